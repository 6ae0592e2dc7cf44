<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>Enlarge</name>
    <message>
        <source>No files added.</source>
        <translation>ファイルが追加されていません。</translation>
    </message>
    <message>
        <source>Folder does not exist. Please select another folder.</source>
        <translation>フォルダーが存在しません。別のフォルダーを選択してください。</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>完了しました。</translation>
    </message>
    <message>
        <source>Processing: %1</source>
        <translation>処理中: %1</translation>
    </message>
    <message>
        <source>Maximum dimension of result file must be 15,000 pixels or less.</source>
        <translation>結果の幅と高さは 15,000 ピクセル以下にする必要があります。</translation>
    </message>
    <message>
        <source>The result would replace the original file. Please select another folder.</source>
        <translation>結果が元のファイルを置き換えてしまいます。別のフォルダーを選択してください。</translation>
    </message>
    <message>
        <source>A file of this name was already enlarged into this folder in this run.</source>
        <translation>この名前のファイルは、今回の処理で既にこのフォルダーに拡大済みです。</translation>
    </message>
    <message>
        <source>Cannot enlarge %1.</source>
        <translation>%1 を拡大できません。</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n file(s) could not be enlarged:</source>
        <translation>
            <numerusform>%n 個中 %1 個のファイルを拡大できませんでした:</numerusform>
        </translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>進行状況</translation>
    </message>
    <message>
        <source>Please wait.. %1</source>
        <translation>お待ちください… %1</translation>
    </message>
    <message>
        <source>Must be a numeric value.</source>
        <translation>数値を入力してください。</translation>
    </message>
    <message>
        <source>the file is damaged or incomplete</source>
        <translation>ファイルが破損しているか不完全です</translation>
    </message>
    <message>
        <source>not a picture format this program reads</source>
        <translation>このプログラムが読み込めない画像形式です</translation>
    </message>
    <message>
        <source>the picture or its result is too large</source>
        <translation>画像またはその結果が大きすぎます</translation>
    </message>
    <message>
        <source>the result could not be written</source>
        <translation>結果を書き込めませんでした</translation>
    </message>
    <message>
        <source>an internal error</source>
        <translation>内部エラー</translation>
    </message>
    <message>
        <source>the converter could not be started</source>
        <translation>変換ツールを起動できませんでした</translation>
    </message>
    <message>
        <source>the converter stopped unexpectedly</source>
        <translation>変換ツールが予期せず停止しました</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1（%2）</translation>
    </message>
</context>
<context>
    <name>ErrorBox</name>
    <message>
        <source>Division by zero</source>
        <translation>0 で除算しました</translation>
    </message>
    <message>
        <source>Index out of bounds</source>
        <translation>インデックスが範囲外です</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>オーバーフローしました</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>型が一致しません</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>ファイルが見つかりません</translation>
    </message>
    <message>
        <source>File already open</source>
        <translation>ファイルは既に開かれています</translation>
    </message>
    <message>
        <source>Device I/O error</source>
        <translation>デバイス I/O エラー</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>ディスクがいっぱいです</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>アクセスが拒否されました</translation>
    </message>
    <message>
        <source>Path/File access error</source>
        <translation>パスまたはファイルへのアクセス エラー</translation>
    </message>
    <message>
        <source>Path not found</source>
        <translation>パスが見つかりません</translation>
    </message>
    <message>
        <source>Invalid picture</source>
        <translation>無効な画像です</translation>
    </message>
    <message>
        <source>The FileName buffer is too small to store the selected file name(s).</source>
        <translation>選択したファイル名を格納するにはバッファーが小さすぎます。</translation>
    </message>
    <message>
        <source>Application-defined or object-defined error</source>
        <translation>アプリケーション定義またはオブジェクト定義のエラーです</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>アプリケーション エラー</translation>
    </message>
    <message>
        <source>Please email screenshot of this message to %1</source>
        <translation>このメッセージのスクリーンショットを %1 までメールでお送りください</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>メモリが不足しています</translation>
    </message>
</context>
<context>
    <name>OpenFiles</name>
    <message>
        <source>Add File(s) - Hold Ctrl or Shift to select multiple files</source>
        <translation>ファイルの追加 - Ctrl キーまたは Shift キーを押しながら複数選択できます</translation>
    </message>
    <message>
        <source>All Pictures (%1)</source>
        <translation>すべての画像 (%1)</translation>
    </message>
    <message>
        <source>You&apos;ve selected too many files to add.<byte value="xd"/><byte value="xd"/>Please try adding via the &quot;Add All&quot; button.</source>
        <translation>選択したファイルが多すぎます。<byte value="xd"/><byte value="xd"/>「フォルダー内をすべて追加」ボタンで追加してください。</translation>
    </message>
</context>
<context>
    <name>SampleFiles</name>
    <message>
        <source>Would you like this software to open the folder where these sample files are stored (so that you can view them before working with them)?</source>
        <translation>これらのサンプル ファイルが保存されているフォルダーを開きますか? (作業の前に内容を確認できます)</translation>
    </message>
</context>
<context>
    <name>quorvel::FolderController</name>
    <message>
        <source>Please select folder:</source>
        <translation>フォルダーを選択してください:</translation>
    </message>
    <message>
        <source>Enter file extension to load:<byte value="xd"/><byte value="xd"/>(* for all files, txt for all txt files, doc for all doc files, etc.)</source>
        <translation>読み込むファイルの拡張子を入力してください:<byte value="xd"/><byte value="xd"/>(* はすべてのファイル、txt はすべての txt ファイル、doc はすべての doc ファイル、など)</translation>
    </message>
    <message>
        <source>This software currently supports the following image formats: jpg, bmp, gif, png, webp, tif, avif.<byte value="xd"/>
<byte value="xd"/>
If you need more formats added, please contact Team Bramwick at %1</source>
        <translation>このソフトウェアが現在対応している画像形式: jpg、bmp、gif、png、webp、tif、avif。<byte value="xd"/>
<byte value="xd"/>
ほかの形式が必要な場合は、Team Bramwick までご連絡ください: %1</translation>
    </message>
</context>
<context>
    <name>quorvel::Form1</name>
    <message>
        <source>Help</source>
        <translation>ヘルプ</translation>
    </message>
    <message>
        <source>Drag and drop files here. Double-click item to remove it. Move | line to right and out of window to reveal full names.</source>
        <translation>ここにファイルをドラッグ アンド ドロップします。項目をダブルクリックすると削除されます。| の線を右へウィンドウの外まで動かすと、名前全体が表示されます。</translation>
    </message>
    <message>
        <source>Add Image File(s)</source>
        <translation>画像ファイルを追加</translation>
    </message>
    <message>
        <source>Add All File(s) In Folder</source>
        <translation>フォルダー内をすべて追加</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>リストをクリア</translation>
    </message>
    <message>
        <source>Load Sample/Example Files</source>
        <translation>サンプル ファイルを読み込む</translation>
    </message>
    <message>
        <source>Resize Options</source>
        <translation>拡大の設定</translation>
    </message>
    <message>
        <source>Zoom 2x</source>
        <translation>2 倍に拡大</translation>
    </message>
    <message>
        <source>Zoom 3x</source>
        <translation>3 倍に拡大</translation>
    </message>
    <message>
        <source>Zoom 4x</source>
        <translation>4 倍に拡大</translation>
    </message>
    <message>
        <source>Zoom          x</source>
        <extracomment>The spaces leave room for the factor box, drawn over them; keep the text before them short and the spaces in place.</extracomment>
        <translation>                    倍に拡大</translation>
    </message>
    <message>
        <source>Save Image(s) To This Folder</source>
        <translation>画像の保存先フォルダー</translation>
    </message>
    <message>
        <source>Start Enlarging</source>
        <translation>拡大を開始</translation>
    </message>
    <message>
        <source>Image File(s)</source>
        <translation>画像ファイル</translation>
    </message>
</context>
</TS>
