<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Enlarge</name>
    <message>
        <source>No files added.</source>
        <translation>未添加任何文件。</translation>
    </message>
    <message>
        <source>Folder does not exist. Please select another folder.</source>
        <translation>文件夹不存在。请选择其他文件夹。</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>完成。</translation>
    </message>
    <message>
        <source>Processing: %1</source>
        <translation>正在处理：%1</translation>
    </message>
    <message>
        <source>Maximum dimension of result file must be 15,000 pixels or less.</source>
        <translation>结果文件的宽度和高度不能超过 15,000 像素。</translation>
    </message>
    <message>
        <source>The result would replace the original file. Please select another folder.</source>
        <translation>结果将替换原始文件。请选择其他文件夹。</translation>
    </message>
    <message>
        <source>A file of this name was already enlarged into this folder in this run.</source>
        <translation>本次运行中已有同名文件放大到此文件夹。</translation>
    </message>
    <message>
        <source>Cannot enlarge %1.</source>
        <translation>无法放大 %1。</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n file(s) could not be enlarged:</source>
        <translation>
            <numerusform>%n 个文件中有 %1 个无法放大：</numerusform>
        </translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>进度</translation>
    </message>
    <message>
        <source>Please wait.. %1</source>
        <translation>请稍候… %1</translation>
    </message>
    <message>
        <source>Must be a numeric value.</source>
        <translation>必须是数值。</translation>
    </message>
    <message>
        <source>the file is damaged or incomplete</source>
        <translation>文件已损坏或不完整</translation>
    </message>
    <message>
        <source>not a picture format this program reads</source>
        <translation>不是本程序能读取的图片格式</translation>
    </message>
    <message>
        <source>the picture or its result is too large</source>
        <translation>图片或其结果过大</translation>
    </message>
    <message>
        <source>the result could not be written</source>
        <translation>无法写入结果</translation>
    </message>
    <message>
        <source>an internal error</source>
        <translation>内部错误</translation>
    </message>
    <message>
        <source>the converter could not be started</source>
        <translation>无法启动转换器</translation>
    </message>
    <message>
        <source>the converter stopped unexpectedly</source>
        <translation>转换器意外停止</translation>
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
        <translation>除数为零</translation>
    </message>
    <message>
        <source>Index out of bounds</source>
        <translation>索引超出范围</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>溢出</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>类型不匹配</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>找不到文件</translation>
    </message>
    <message>
        <source>File already open</source>
        <translation>文件已打开</translation>
    </message>
    <message>
        <source>Device I/O error</source>
        <translation>设备 I/O 错误</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>磁盘已满</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>权限被拒绝</translation>
    </message>
    <message>
        <source>Path/File access error</source>
        <translation>路径/文件访问错误</translation>
    </message>
    <message>
        <source>Path not found</source>
        <translation>找不到路径</translation>
    </message>
    <message>
        <source>Invalid picture</source>
        <translation>无效的图片</translation>
    </message>
    <message>
        <source>The FileName buffer is too small to store the selected file name(s).</source>
        <translation>缓冲区太小，无法存储所选的文件名。</translation>
    </message>
    <message>
        <source>Application-defined or object-defined error</source>
        <translation>应用程序定义或对象定义的错误</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>应用程序错误</translation>
    </message>
    <message>
        <source>Please email screenshot of this message to %1</source>
        <translation>请将此消息的屏幕截图通过电子邮件发送至 %1</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>内存不足</translation>
    </message>
</context>
<context>
    <name>OpenFiles</name>
    <message>
        <source>Add File(s) - Hold Ctrl or Shift to select multiple files</source>
        <translation>添加文件 - 按住 Ctrl 或 Shift 键可选择多个文件</translation>
    </message>
    <message>
        <source>All Pictures (%1)</source>
        <translation>所有图片 (%1)</translation>
    </message>
    <message>
        <source>You&apos;ve selected too many files to add.<byte value="xd"/><byte value="xd"/>Please try adding via the &quot;Add All&quot; button.</source>
        <translation>选择的文件太多，无法添加。<byte value="xd"/><byte value="xd"/>请尝试使用“添加文件夹中的所有文件”按钮添加。</translation>
    </message>
</context>
<context>
    <name>SampleFiles</name>
    <message>
        <source>Would you like this software to open the folder where these sample files are stored (so that you can view them before working with them)?</source>
        <translation>是否打开存放这些示例文件的文件夹（以便在处理前查看它们）？</translation>
    </message>
</context>
<context>
    <name>quorvel::FolderController</name>
    <message>
        <source>Please select folder:</source>
        <translation>请选择文件夹：</translation>
    </message>
    <message>
        <source>Enter file extension to load:<byte value="xd"/><byte value="xd"/>(* for all files, txt for all txt files, doc for all doc files, etc.)</source>
        <translation>输入要加载的文件扩展名：<byte value="xd"/><byte value="xd"/>（* 表示所有文件，txt 表示所有 txt 文件，doc 表示所有 doc 文件，依此类推）</translation>
    </message>
    <message>
        <source>This software currently supports the following image formats: jpg, bmp, gif, png, webp, tif, avif.<byte value="xd"/>
<byte value="xd"/>
If you need more formats added, please contact Team Bramwick at %1</source>
        <translation>本软件目前支持以下图像格式：jpg、bmp、gif、png、webp、tif、avif。<byte value="xd"/>
<byte value="xd"/>
如需添加更多格式，请联系 Bramwick 团队：%1</translation>
    </message>
</context>
<context>
    <name>quorvel::Form1</name>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Drag and drop files here. Double-click item to remove it. Move | line to right and out of window to reveal full names.</source>
        <translation>将文件拖放到此处。双击项目可将其移除。将 | 线向右拖出窗口即可显示完整名称。</translation>
    </message>
    <message>
        <source>Add Image File(s)</source>
        <translation>添加图像文件</translation>
    </message>
    <message>
        <source>Add All File(s) In Folder</source>
        <translation>添加文件夹中的所有文件</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>清空列表</translation>
    </message>
    <message>
        <source>Load Sample/Example Files</source>
        <translation>加载示例文件</translation>
    </message>
    <message>
        <source>Resize Options</source>
        <translation>放大选项</translation>
    </message>
    <message>
        <source>Zoom 2x</source>
        <translation>放大 2 倍</translation>
    </message>
    <message>
        <source>Zoom 3x</source>
        <translation>放大 3 倍</translation>
    </message>
    <message>
        <source>Zoom 4x</source>
        <translation>放大 4 倍</translation>
    </message>
    <message>
        <source>Zoom          x</source>
        <extracomment>The spaces leave room for the factor box, drawn over them; keep the text before them short and the spaces in place.</extracomment>
        <translation>放大              倍</translation>
    </message>
    <message>
        <source>Save Image(s) To This Folder</source>
        <translation>图像保存到此文件夹</translation>
    </message>
    <message>
        <source>Start Enlarging</source>
        <translation>开始放大</translation>
    </message>
    <message>
        <source>Image File(s)</source>
        <translation>图像文件</translation>
    </message>
</context>
</TS>
