<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>Enlarge</name>
    <message>
        <source>No files added.</source>
        <translation>Keine Dateien hinzugefügt.</translation>
    </message>
    <message>
        <source>Folder does not exist. Please select another folder.</source>
        <translation>Der Ordner existiert nicht. Bitte wählen Sie einen anderen Ordner.</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Fertig.</translation>
    </message>
    <message>
        <source>Processing: %1</source>
        <translation>Wird verarbeitet: %1</translation>
    </message>
    <message>
        <source>Maximum dimension of result file must be 15,000 pixels or less.</source>
        <translation>Das Ergebnis darf höchstens 15.000 Pixel breit und hoch sein.</translation>
    </message>
    <message>
        <source>The result would replace the original file. Please select another folder.</source>
        <translation>Das Ergebnis würde die Originaldatei ersetzen. Bitte wählen Sie einen anderen Ordner.</translation>
    </message>
    <message>
        <source>A file of this name was already enlarged into this folder in this run.</source>
        <translation>Eine Datei mit diesem Namen wurde in diesem Durchgang bereits in diesen Ordner vergrößert.</translation>
    </message>
    <message>
        <source>Cannot enlarge %1.</source>
        <translation>%1 kann nicht vergrößert werden.</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n file(s) could not be enlarged:</source>
        <translation>
            <numerusform>Nicht vergrößerte Dateien (%1 von %n):</numerusform>
            <numerusform>Nicht vergrößerte Dateien (%1 von %n):</numerusform>
        </translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Please wait.. %1</source>
        <translation>Bitte warten … %1</translation>
    </message>
    <message>
        <source>Must be a numeric value.</source>
        <translation>Der Wert muss eine Zahl sein.</translation>
    </message>
    <message>
        <source>the file is damaged or incomplete</source>
        <translation>die Datei ist beschädigt oder unvollständig</translation>
    </message>
    <message>
        <source>not a picture format this program reads</source>
        <translation>kein Bildformat, das dieses Programm liest</translation>
    </message>
    <message>
        <source>the picture or its result is too large</source>
        <translation>das Bild oder sein Ergebnis ist zu groß</translation>
    </message>
    <message>
        <source>the result could not be written</source>
        <translation>das Ergebnis konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>an internal error</source>
        <translation>ein interner Fehler</translation>
    </message>
    <message>
        <source>the converter could not be started</source>
        <translation>der Konverter konnte nicht gestartet werden</translation>
    </message>
    <message>
        <source>the converter stopped unexpectedly</source>
        <translation>der Konverter wurde unerwartet beendet</translation>
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
        <translation>Division durch Null</translation>
    </message>
    <message>
        <source>Index out of bounds</source>
        <translation>Index außerhalb des gültigen Bereichs</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>Überlauf</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>Typen unverträglich</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>Datei nicht gefunden</translation>
    </message>
    <message>
        <source>File already open</source>
        <translation>Datei bereits geöffnet</translation>
    </message>
    <message>
        <source>Device I/O error</source>
        <translation>Fehler beim Lesen oder Schreiben des Geräts</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Datenträger voll</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Zugriff verweigert</translation>
    </message>
    <message>
        <source>Path/File access error</source>
        <translation>Fehler beim Zugriff auf Pfad/Datei</translation>
    </message>
    <message>
        <source>Path not found</source>
        <translation>Pfad nicht gefunden</translation>
    </message>
    <message>
        <source>Invalid picture</source>
        <translation>Ungültiges Bild</translation>
    </message>
    <message>
        <source>The FileName buffer is too small to store the selected file name(s).</source>
        <translation>Der Puffer ist zu klein für die Namen der ausgewählten Dateien.</translation>
    </message>
    <message>
        <source>Application-defined or object-defined error</source>
        <translation>Anwendungs- oder objektdefinierter Fehler</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Anwendungsfehler</translation>
    </message>
    <message>
        <source>Please email screenshot of this message to %1</source>
        <translation>Bitte senden Sie ein Bildschirmfoto dieser Meldung an %1</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Nicht genügend Arbeitsspeicher</translation>
    </message>
</context>
<context>
    <name>OpenFiles</name>
    <message>
        <source>Add File(s) - Hold Ctrl or Shift to select multiple files</source>
        <translation>Dateien hinzufügen – mit Strg oder Umschalt mehrere Dateien auswählen</translation>
    </message>
    <message>
        <source>All Pictures (%1)</source>
        <translation>Alle Bilder (%1)</translation>
    </message>
    <message>
        <source>You&apos;ve selected too many files to add.<byte value="xd"/><byte value="xd"/>Please try adding via the &quot;Add All&quot; button.</source>
        <translation>Sie haben zu viele Dateien zum Hinzufügen ausgewählt.<byte value="xd"/><byte value="xd"/>Bitte fügen Sie sie über die Schaltfläche „Ganzen Ordner hinzufügen“ hinzu.</translation>
    </message>
</context>
<context>
    <name>SampleFiles</name>
    <message>
        <source>Would you like this software to open the folder where these sample files are stored (so that you can view them before working with them)?</source>
        <translation>Soll der Ordner mit den Beispieldateien geöffnet werden, damit Sie sie vor der Bearbeitung ansehen können?</translation>
    </message>
</context>
<context>
    <name>quorvel::FolderController</name>
    <message>
        <source>Please select folder:</source>
        <translation>Bitte wählen Sie einen Ordner:</translation>
    </message>
    <message>
        <source>Enter file extension to load:<byte value="xd"/><byte value="xd"/>(* for all files, txt for all txt files, doc for all doc files, etc.)</source>
        <translation>Dateiendung der zu ladenden Dateien:<byte value="xd"/><byte value="xd"/>(* für alle Dateien, txt für alle txt-Dateien, doc für alle doc-Dateien usw.)</translation>
    </message>
    <message>
        <source>This software currently supports the following image formats: jpg, bmp, gif, png, webp, tif, avif.<byte value="xd"/>
<byte value="xd"/>
If you need more formats added, please contact Team Bramwick at %1</source>
        <translation>Dieses Programm unterstützt derzeit die folgenden Bildformate: jpg, bmp, gif, png, webp, tif, avif.<byte value="xd"/>
<byte value="xd"/>
Wenn Sie weitere Formate benötigen, wenden Sie sich bitte an Team Bramwick unter %1</translation>
    </message>
</context>
<context>
    <name>quorvel::Form1</name>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Drag and drop files here. Double-click item to remove it. Move | line to right and out of window to reveal full names.</source>
        <translation>Dateien hierher ziehen und ablegen. Doppelklick auf einen Eintrag entfernt ihn. Die Linie | nach rechts aus dem Fenster ziehen, um die vollständigen Namen zu sehen.</translation>
    </message>
    <message>
        <source>Add Image File(s)</source>
        <translation>Bilddateien hinzufügen</translation>
    </message>
    <message>
        <source>Add All File(s) In Folder</source>
        <translation>Ganzen Ordner hinzufügen</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>Liste leeren</translation>
    </message>
    <message>
        <source>Load Sample/Example Files</source>
        <translation>Beispieldateien laden</translation>
    </message>
    <message>
        <source>Resize Options</source>
        <translation>Vergrößerung</translation>
    </message>
    <message>
        <source>Zoom 2x</source>
        <translation>2-fach vergrößern</translation>
    </message>
    <message>
        <source>Zoom 3x</source>
        <translation>3-fach vergrößern</translation>
    </message>
    <message>
        <source>Zoom 4x</source>
        <translation>4-fach vergrößern</translation>
    </message>
    <message>
        <source>Zoom          x</source>
        <extracomment>The spaces leave room for the factor box, drawn over them; keep the text before them short and the spaces in place.</extracomment>
        <translation>                    -fach vergrößern</translation>
    </message>
    <message>
        <source>Save Image(s) To This Folder</source>
        <translation>Bilder in diesem Ordner speichern</translation>
    </message>
    <message>
        <source>Start Enlarging</source>
        <translation>Vergrößern starten</translation>
    </message>
    <message>
        <source>Image File(s)</source>
        <translation>Bilddateien</translation>
    </message>
</context>
</TS>
