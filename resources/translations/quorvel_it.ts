<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it">
<context>
    <name>Enlarge</name>
    <message>
        <source>No files added.</source>
        <translation>Nessun file aggiunto.</translation>
    </message>
    <message>
        <source>Folder does not exist. Please select another folder.</source>
        <translation>La cartella non esiste. Seleziona un’altra cartella.</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Fatto.</translation>
    </message>
    <message>
        <source>Processing: %1</source>
        <translation>Elaborazione: %1</translation>
    </message>
    <message>
        <source>Maximum dimension of result file must be 15,000 pixels or less.</source>
        <translation>Il risultato non può superare i 15.000 pixel per lato.</translation>
    </message>
    <message>
        <source>The result would replace the original file. Please select another folder.</source>
        <translation>Il risultato sostituirebbe il file originale. Seleziona un’altra cartella.</translation>
    </message>
    <message>
        <source>A file of this name was already enlarged into this folder in this run.</source>
        <translation>Un file con questo nome è già stato ingrandito in questa cartella durante questa operazione.</translation>
    </message>
    <message>
        <source>Cannot enlarge %1.</source>
        <translation>Impossibile ingrandire %1.</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n file(s) could not be enlarged:</source>
        <translation>
            <numerusform>File non ingranditi (%1 su %n):</numerusform>
            <numerusform>File non ingranditi (%1 su %n):</numerusform>
        </translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>Avanzamento</translation>
    </message>
    <message>
        <source>Please wait.. %1</source>
        <translation>Attendere… %1</translation>
    </message>
    <message>
        <source>Must be a numeric value.</source>
        <translation>Deve essere un valore numerico.</translation>
    </message>
    <message>
        <source>the file is damaged or incomplete</source>
        <translation>il file è danneggiato o incompleto</translation>
    </message>
    <message>
        <source>not a picture format this program reads</source>
        <translation>formato di immagine che questo programma non legge</translation>
    </message>
    <message>
        <source>the picture or its result is too large</source>
        <translation>l’immagine o il suo risultato è troppo grande</translation>
    </message>
    <message>
        <source>the result could not be written</source>
        <translation>non è stato possibile scrivere il risultato</translation>
    </message>
    <message>
        <source>an internal error</source>
        <translation>un errore interno</translation>
    </message>
    <message>
        <source>the converter could not be started</source>
        <translation>non è stato possibile avviare il convertitore</translation>
    </message>
    <message>
        <source>the converter stopped unexpectedly</source>
        <translation>il convertitore si è interrotto in modo imprevisto</translation>
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
        <translation>Divisione per zero</translation>
    </message>
    <message>
        <source>Index out of bounds</source>
        <translation>Indice fuori dai limiti</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>Overflow</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>Tipo non corrispondente</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>File non trovato</translation>
    </message>
    <message>
        <source>File already open</source>
        <translation>File già aperto</translation>
    </message>
    <message>
        <source>Device I/O error</source>
        <translation>Errore di I/O sul dispositivo</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Disco pieno</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Autorizzazione negata</translation>
    </message>
    <message>
        <source>Path/File access error</source>
        <translation>Errore di accesso al percorso o al file</translation>
    </message>
    <message>
        <source>Path not found</source>
        <translation>Percorso non trovato</translation>
    </message>
    <message>
        <source>Invalid picture</source>
        <translation>Immagine non valida</translation>
    </message>
    <message>
        <source>The FileName buffer is too small to store the selected file name(s).</source>
        <translation>Il buffer è troppo piccolo per contenere i nomi dei file selezionati.</translation>
    </message>
    <message>
        <source>Application-defined or object-defined error</source>
        <translation>Errore definito dall’applicazione o dall’oggetto</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Errore dell’applicazione</translation>
    </message>
    <message>
        <source>Please email screenshot of this message to %1</source>
        <translation>Invia uno screenshot di questo messaggio a %1</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Memoria esaurita</translation>
    </message>
</context>
<context>
    <name>OpenFiles</name>
    <message>
        <source>Add File(s) - Hold Ctrl or Shift to select multiple files</source>
        <translation>Aggiungi file – tieni premuto Ctrl o Maiusc per selezionarne più di uno</translation>
    </message>
    <message>
        <source>All Pictures (%1)</source>
        <translation>Tutte le immagini (%1)</translation>
    </message>
    <message>
        <source>You&apos;ve selected too many files to add.<byte value="xd"/><byte value="xd"/>Please try adding via the &quot;Add All&quot; button.</source>
        <translation>Hai selezionato troppi file da aggiungere.<byte value="xd"/><byte value="xd"/>Prova ad aggiungerli con il pulsante “Aggiungi un’intera cartella”.</translation>
    </message>
</context>
<context>
    <name>SampleFiles</name>
    <message>
        <source>Would you like this software to open the folder where these sample files are stored (so that you can view them before working with them)?</source>
        <translation>Vuoi aprire la cartella in cui si trovano questi file di esempio (per vederli prima di usarli)?</translation>
    </message>
</context>
<context>
    <name>quorvel::FolderController</name>
    <message>
        <source>Please select folder:</source>
        <translation>Seleziona una cartella:</translation>
    </message>
    <message>
        <source>Enter file extension to load:<byte value="xd"/><byte value="xd"/>(* for all files, txt for all txt files, doc for all doc files, etc.)</source>
        <translation>Inserisci l’estensione dei file da caricare:<byte value="xd"/><byte value="xd"/>(* per tutti i file, txt per tutti i file txt, doc per tutti i file doc e così via)</translation>
    </message>
    <message>
        <source>This software currently supports the following image formats: jpg, bmp, gif, png, webp, tif, avif.<byte value="xd"/>
<byte value="xd"/>
If you need more formats added, please contact Team Bramwick at %1</source>
        <translation>Questo programma supporta attualmente i seguenti formati di immagine: jpg, bmp, gif, png, webp, tif, avif.<byte value="xd"/>
<byte value="xd"/>
Se ti servono altri formati, contatta il team Bramwick all’indirizzo %1</translation>
    </message>
</context>
<context>
    <name>quorvel::Form1</name>
    <message>
        <source>Help</source>
        <translation>Guida</translation>
    </message>
    <message>
        <source>Drag and drop files here. Double-click item to remove it. Move | line to right and out of window to reveal full names.</source>
        <translation>Trascina qui i file. Fai doppio clic su un elemento per rimuoverlo. Sposta la linea | a destra, fuori dalla finestra, per vedere i nomi completi.</translation>
    </message>
    <message>
        <source>Add Image File(s)</source>
        <translation>Aggiungi immagini</translation>
    </message>
    <message>
        <source>Add All File(s) In Folder</source>
        <translation>Aggiungi un’intera cartella</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>Svuota l’elenco</translation>
    </message>
    <message>
        <source>Load Sample/Example Files</source>
        <translation>Carica file di esempio</translation>
    </message>
    <message>
        <source>Resize Options</source>
        <translation>Ingrandimento</translation>
    </message>
    <message>
        <source>Zoom 2x</source>
        <translation>Ingrandisci 2 volte</translation>
    </message>
    <message>
        <source>Zoom 3x</source>
        <translation>Ingrandisci 3 volte</translation>
    </message>
    <message>
        <source>Zoom 4x</source>
        <translation>Ingrandisci 4 volte</translation>
    </message>
    <message>
        <source>Zoom          x</source>
        <extracomment>The spaces leave room for the factor box, drawn over them; keep the text before them short and the spaces in place.</extracomment>
        <translation>                    volte</translation>
    </message>
    <message>
        <source>Save Image(s) To This Folder</source>
        <translation>Salva le immagini in questa cartella</translation>
    </message>
    <message>
        <source>Start Enlarging</source>
        <translation>Avvia l’ingrandimento</translation>
    </message>
    <message>
        <source>Image File(s)</source>
        <translation>File immagine</translation>
    </message>
</context>
</TS>
