<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>Enlarge</name>
    <message>
        <source>No files added.</source>
        <translation>No se han añadido archivos.</translation>
    </message>
    <message>
        <source>Folder does not exist. Please select another folder.</source>
        <translation>La carpeta no existe. Seleccione otra carpeta.</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Listo.</translation>
    </message>
    <message>
        <source>Processing: %1</source>
        <translation>Procesando: %1</translation>
    </message>
    <message>
        <source>Maximum dimension of result file must be 15,000 pixels or less.</source>
        <translation>El resultado no puede superar los 15.000 píxeles de lado.</translation>
    </message>
    <message>
        <source>The result would replace the original file. Please select another folder.</source>
        <translation>El resultado reemplazaría el archivo original. Seleccione otra carpeta.</translation>
    </message>
    <message>
        <source>A file of this name was already enlarged into this folder in this run.</source>
        <translation>Ya se amplió un archivo con este nombre en esta carpeta durante esta operación.</translation>
    </message>
    <message>
        <source>Cannot enlarge %1.</source>
        <translation>No se puede ampliar %1.</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n file(s) could not be enlarged:</source>
        <translation>
            <numerusform>Archivos no ampliados (%1 de %n):</numerusform>
            <numerusform>Archivos no ampliados (%1 de %n):</numerusform>
        </translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>Progreso</translation>
    </message>
    <message>
        <source>Please wait.. %1</source>
        <translation>Espere… %1</translation>
    </message>
    <message>
        <source>Must be a numeric value.</source>
        <translation>Debe ser un valor numérico.</translation>
    </message>
    <message>
        <source>the file is damaged or incomplete</source>
        <translation>el archivo está dañado o incompleto</translation>
    </message>
    <message>
        <source>not a picture format this program reads</source>
        <translation>formato de imagen que este programa no lee</translation>
    </message>
    <message>
        <source>the picture or its result is too large</source>
        <translation>la imagen o su resultado es demasiado grande</translation>
    </message>
    <message>
        <source>the result could not be written</source>
        <translation>no se pudo escribir el resultado</translation>
    </message>
    <message>
        <source>an internal error</source>
        <translation>un error interno</translation>
    </message>
    <message>
        <source>the converter could not be started</source>
        <translation>no se pudo iniciar el convertidor</translation>
    </message>
    <message>
        <source>the converter stopped unexpectedly</source>
        <translation>el convertidor se detuvo inesperadamente</translation>
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
        <translation>División por cero</translation>
    </message>
    <message>
        <source>Index out of bounds</source>
        <translation>Índice fuera de los límites</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>Desbordamiento</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>No coinciden los tipos</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>No se encontró el archivo</translation>
    </message>
    <message>
        <source>File already open</source>
        <translation>El archivo ya está abierto</translation>
    </message>
    <message>
        <source>Device I/O error</source>
        <translation>Error de E/S en el dispositivo</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Disco lleno</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Permiso denegado</translation>
    </message>
    <message>
        <source>Path/File access error</source>
        <translation>Error de acceso a la ruta o al archivo</translation>
    </message>
    <message>
        <source>Path not found</source>
        <translation>No se encontró la ruta</translation>
    </message>
    <message>
        <source>Invalid picture</source>
        <translation>Imagen no válida</translation>
    </message>
    <message>
        <source>The FileName buffer is too small to store the selected file name(s).</source>
        <translation>El búfer es demasiado pequeño para guardar los nombres de los archivos seleccionados.</translation>
    </message>
    <message>
        <source>Application-defined or object-defined error</source>
        <translation>Error definido por la aplicación o por el objeto</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Error de la aplicación</translation>
    </message>
    <message>
        <source>Please email screenshot of this message to %1</source>
        <translation>Envíe una captura de pantalla de este mensaje a %1</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Memoria insuficiente</translation>
    </message>
</context>
<context>
    <name>OpenFiles</name>
    <message>
        <source>Add File(s) - Hold Ctrl or Shift to select multiple files</source>
        <translation>Añadir archivos: mantenga pulsada Ctrl o Mayús para seleccionar varios</translation>
    </message>
    <message>
        <source>All Pictures (%1)</source>
        <translation>Todas las imágenes (%1)</translation>
    </message>
    <message>
        <source>You&apos;ve selected too many files to add.<byte value="xd"/><byte value="xd"/>Please try adding via the &quot;Add All&quot; button.</source>
        <translation>Ha seleccionado demasiados archivos.<byte value="xd"/><byte value="xd"/>Pruebe a añadirlos con el botón «Añadir una carpeta entera».</translation>
    </message>
</context>
<context>
    <name>SampleFiles</name>
    <message>
        <source>Would you like this software to open the folder where these sample files are stored (so that you can view them before working with them)?</source>
        <translation>¿Desea abrir la carpeta donde están guardados estos archivos de ejemplo (para verlos antes de trabajar con ellos)?</translation>
    </message>
</context>
<context>
    <name>quorvel::FolderController</name>
    <message>
        <source>Please select folder:</source>
        <translation>Seleccione una carpeta:</translation>
    </message>
    <message>
        <source>Enter file extension to load:<byte value="xd"/><byte value="xd"/>(* for all files, txt for all txt files, doc for all doc files, etc.)</source>
        <translation>Escriba la extensión de los archivos que desea cargar:<byte value="xd"/><byte value="xd"/>(* para todos los archivos, txt para todos los archivos txt, doc para todos los archivos doc, etc.)</translation>
    </message>
    <message>
        <source>This software currently supports the following image formats: jpg, bmp, gif, png, webp, tif, avif.<byte value="xd"/>
<byte value="xd"/>
If you need more formats added, please contact Team Bramwick at %1</source>
        <translation>Este programa admite actualmente los siguientes formatos de imagen: jpg, bmp, gif, png, webp, tif, avif.<byte value="xd"/>
<byte value="xd"/>
Si necesita más formatos, póngase en contacto con el equipo de Bramwick en %1</translation>
    </message>
</context>
<context>
    <name>quorvel::Form1</name>
    <message>
        <source>Help</source>
        <translation>Ayuda</translation>
    </message>
    <message>
        <source>Drag and drop files here. Double-click item to remove it. Move | line to right and out of window to reveal full names.</source>
        <translation>Arrastre y suelte archivos aquí. Haga doble clic en un elemento para quitarlo. Mueva la línea | hacia la derecha, fuera de la ventana, para ver los nombres completos.</translation>
    </message>
    <message>
        <source>Add Image File(s)</source>
        <translation>Añadir imágenes</translation>
    </message>
    <message>
        <source>Add All File(s) In Folder</source>
        <translation>Añadir una carpeta entera</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>Vaciar la lista</translation>
    </message>
    <message>
        <source>Load Sample/Example Files</source>
        <translation>Cargar archivos de ejemplo</translation>
    </message>
    <message>
        <source>Resize Options</source>
        <translation>Ampliación</translation>
    </message>
    <message>
        <source>Zoom 2x</source>
        <translation>Ampliar 2 veces</translation>
    </message>
    <message>
        <source>Zoom 3x</source>
        <translation>Ampliar 3 veces</translation>
    </message>
    <message>
        <source>Zoom 4x</source>
        <translation>Ampliar 4 veces</translation>
    </message>
    <message>
        <source>Zoom          x</source>
        <extracomment>The spaces leave room for the factor box, drawn over them; keep the text before them short and the spaces in place.</extracomment>
        <translation>                    veces</translation>
    </message>
    <message>
        <source>Save Image(s) To This Folder</source>
        <translation>Guardar las imágenes en esta carpeta</translation>
    </message>
    <message>
        <source>Start Enlarging</source>
        <translation>Iniciar la ampliación</translation>
    </message>
    <message>
        <source>Image File(s)</source>
        <translation>Archivos de imagen</translation>
    </message>
</context>
</TS>
