<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name>Enlarge</name>
    <message>
        <source>No files added.</source>
        <translation>Nenhum arquivo adicionado.</translation>
    </message>
    <message>
        <source>Folder does not exist. Please select another folder.</source>
        <translation>A pasta não existe. Selecione outra pasta.</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Concluído.</translation>
    </message>
    <message>
        <source>Processing: %1</source>
        <translation>Processando: %1</translation>
    </message>
    <message>
        <source>Maximum dimension of result file must be 15,000 pixels or less.</source>
        <translation>O resultado não pode passar de 15.000 pixels de lado.</translation>
    </message>
    <message>
        <source>The result would replace the original file. Please select another folder.</source>
        <translation>O resultado substituiria o arquivo original. Selecione outra pasta.</translation>
    </message>
    <message>
        <source>A file of this name was already enlarged into this folder in this run.</source>
        <translation>Um arquivo com este nome já foi ampliado nesta pasta nesta operação.</translation>
    </message>
    <message>
        <source>Cannot enlarge %1.</source>
        <translation>Não é possível ampliar %1.</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n file(s) could not be enlarged:</source>
        <translation>
            <numerusform>Arquivos não ampliados (%1 de %n):</numerusform>
            <numerusform>Arquivos não ampliados (%1 de %n):</numerusform>
        </translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>Progresso</translation>
    </message>
    <message>
        <source>Please wait.. %1</source>
        <translation>Aguarde… %1</translation>
    </message>
    <message>
        <source>Must be a numeric value.</source>
        <translation>Deve ser um valor numérico.</translation>
    </message>
    <message>
        <source>the file is damaged or incomplete</source>
        <translation>o arquivo está danificado ou incompleto</translation>
    </message>
    <message>
        <source>not a picture format this program reads</source>
        <translation>formato de imagem que este programa não lê</translation>
    </message>
    <message>
        <source>the picture or its result is too large</source>
        <translation>a imagem ou o resultado é grande demais</translation>
    </message>
    <message>
        <source>the result could not be written</source>
        <translation>não foi possível gravar o resultado</translation>
    </message>
    <message>
        <source>an internal error</source>
        <translation>um erro interno</translation>
    </message>
    <message>
        <source>the converter could not be started</source>
        <translation>não foi possível iniciar o conversor</translation>
    </message>
    <message>
        <source>the converter stopped unexpectedly</source>
        <translation>o conversor parou inesperadamente</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>ErrorBox</name>
    <message>
        <source>Division by zero</source>
        <translation>Divisão por zero</translation>
    </message>
    <message>
        <source>Index out of bounds</source>
        <translation>Índice fora dos limites</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>Estouro</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>Tipos incompatíveis</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>Arquivo não encontrado</translation>
    </message>
    <message>
        <source>File already open</source>
        <translation>Arquivo já aberto</translation>
    </message>
    <message>
        <source>Device I/O error</source>
        <translation>Erro de E/S no dispositivo</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Disco cheio</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Permissão negada</translation>
    </message>
    <message>
        <source>Path/File access error</source>
        <translation>Erro de acesso ao caminho/arquivo</translation>
    </message>
    <message>
        <source>Path not found</source>
        <translation>Caminho não encontrado</translation>
    </message>
    <message>
        <source>Invalid picture</source>
        <translation>Imagem inválida</translation>
    </message>
    <message>
        <source>The FileName buffer is too small to store the selected file name(s).</source>
        <translation>O buffer é pequeno demais para guardar os nomes dos arquivos selecionados.</translation>
    </message>
    <message>
        <source>Application-defined or object-defined error</source>
        <translation>Erro definido pelo aplicativo ou pelo objeto</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Erro do aplicativo</translation>
    </message>
    <message>
        <source>Please email screenshot of this message to %1</source>
        <translation>Envie uma captura de tela desta mensagem para %1</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Memória insuficiente</translation>
    </message>
</context>
<context>
    <name>OpenFiles</name>
    <message>
        <source>Add File(s) - Hold Ctrl or Shift to select multiple files</source>
        <translation>Adicionar arquivos – segure Ctrl ou Shift para selecionar vários</translation>
    </message>
    <message>
        <source>All Pictures (%1)</source>
        <translation>Todas as imagens (%1)</translation>
    </message>
    <message>
        <source>You&apos;ve selected too many files to add.<byte value="xd"/><byte value="xd"/>Please try adding via the &quot;Add All&quot; button.</source>
        <translation>Você selecionou arquivos demais para adicionar.<byte value="xd"/><byte value="xd"/>Tente adicioná-los pelo botão “Adicionar pasta inteira”.</translation>
    </message>
</context>
<context>
    <name>SampleFiles</name>
    <message>
        <source>Would you like this software to open the folder where these sample files are stored (so that you can view them before working with them)?</source>
        <translation>Deseja abrir a pasta onde estão esses arquivos de exemplo (para vê-los antes de trabalhar com eles)?</translation>
    </message>
</context>
<context>
    <name>quorvel::FolderController</name>
    <message>
        <source>Please select folder:</source>
        <translation>Selecione uma pasta:</translation>
    </message>
    <message>
        <source>Enter file extension to load:<byte value="xd"/><byte value="xd"/>(* for all files, txt for all txt files, doc for all doc files, etc.)</source>
        <translation>Digite a extensão dos arquivos a carregar:<byte value="xd"/><byte value="xd"/>(* para todos os arquivos, txt para todos os arquivos txt, doc para todos os arquivos doc etc.)</translation>
    </message>
    <message>
        <source>This software currently supports the following image formats: jpg, bmp, gif, png, webp, tif, avif.<byte value="xd"/>
<byte value="xd"/>
If you need more formats added, please contact Team Bramwick at %1</source>
        <translation>Este programa suporta atualmente os seguintes formatos de imagem: jpg, bmp, gif, png, webp, tif, avif.<byte value="xd"/>
<byte value="xd"/>
Se precisar de mais formatos, entre em contato com a equipe Bramwick em %1</translation>
    </message>
</context>
<context>
    <name>quorvel::Form1</name>
    <message>
        <source>Help</source>
        <translation>Ajuda</translation>
    </message>
    <message>
        <source>Drag and drop files here. Double-click item to remove it. Move | line to right and out of window to reveal full names.</source>
        <translation>Arraste e solte arquivos aqui. Clique duas vezes em um item para removê-lo. Mova a linha | para a direita, para fora da janela, para ver os nomes completos.</translation>
    </message>
    <message>
        <source>Add Image File(s)</source>
        <translation>Adicionar imagens</translation>
    </message>
    <message>
        <source>Add All File(s) In Folder</source>
        <translation>Adicionar pasta inteira</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>Limpar lista</translation>
    </message>
    <message>
        <source>Load Sample/Example Files</source>
        <translation>Carregar arquivos de exemplo</translation>
    </message>
    <message>
        <source>Resize Options</source>
        <translation>Ampliação</translation>
    </message>
    <message>
        <source>Zoom 2x</source>
        <translation>Ampliar 2 vezes</translation>
    </message>
    <message>
        <source>Zoom 3x</source>
        <translation>Ampliar 3 vezes</translation>
    </message>
    <message>
        <source>Zoom 4x</source>
        <translation>Ampliar 4 vezes</translation>
    </message>
    <message>
        <source>Zoom          x</source>
        <extracomment>The spaces leave room for the factor box, drawn over them; keep the text before them short and the spaces in place.</extracomment>
        <translation>                    vezes</translation>
    </message>
    <message>
        <source>Save Image(s) To This Folder</source>
        <translation>Salvar as imagens nesta pasta</translation>
    </message>
    <message>
        <source>Start Enlarging</source>
        <translation>Iniciar ampliação</translation>
    </message>
    <message>
        <source>Image File(s)</source>
        <translation>Arquivos de imagem</translation>
    </message>
</context>
</TS>
