<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Enlarge</name>
    <message>
        <source>No files added.</source>
        <translation>Aucun fichier ajouté.</translation>
    </message>
    <message>
        <source>Folder does not exist. Please select another folder.</source>
        <translation>Le dossier n’existe pas. Veuillez choisir un autre dossier.</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Terminé.</translation>
    </message>
    <message>
        <source>Processing: %1</source>
        <translation>Traitement : %1</translation>
    </message>
    <message>
        <source>Maximum dimension of result file must be 15,000 pixels or less.</source>
        <translation>Le résultat ne doit pas dépasser 15 000 pixels de côté.</translation>
    </message>
    <message>
        <source>The result would replace the original file. Please select another folder.</source>
        <translation>Le résultat remplacerait le fichier d’origine. Veuillez choisir un autre dossier.</translation>
    </message>
    <message>
        <source>A file of this name was already enlarged into this folder in this run.</source>
        <translation>Un fichier de ce nom a déjà été agrandi dans ce dossier au cours de cette opération.</translation>
    </message>
    <message>
        <source>Cannot enlarge %1.</source>
        <translation>Impossible d’agrandir %1.</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n file(s) could not be enlarged:</source>
        <translation>
            <numerusform>Fichiers non agrandis (%1 sur %n) :</numerusform>
            <numerusform>Fichiers non agrandis (%1 sur %n) :</numerusform>
        </translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>Progression</translation>
    </message>
    <message>
        <source>Please wait.. %1</source>
        <translation>Veuillez patienter… %1</translation>
    </message>
    <message>
        <source>Must be a numeric value.</source>
        <translation>La valeur doit être un nombre.</translation>
    </message>
    <message>
        <source>the file is damaged or incomplete</source>
        <translation>le fichier est endommagé ou incomplet</translation>
    </message>
    <message>
        <source>not a picture format this program reads</source>
        <translation>format d’image que ce programme ne lit pas</translation>
    </message>
    <message>
        <source>the picture or its result is too large</source>
        <translation>l’image ou son résultat est trop grand</translation>
    </message>
    <message>
        <source>the result could not be written</source>
        <translation>le résultat n’a pas pu être enregistré</translation>
    </message>
    <message>
        <source>an internal error</source>
        <translation>une erreur interne</translation>
    </message>
    <message>
        <source>the converter could not be started</source>
        <translation>le convertisseur n’a pas pu être lancé</translation>
    </message>
    <message>
        <source>the converter stopped unexpectedly</source>
        <translation>le convertisseur s’est arrêté de manière inattendue</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
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
        <translation>Division par zéro</translation>
    </message>
    <message>
        <source>Index out of bounds</source>
        <translation>Index hors limites</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>Dépassement de capacité</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>Incompatibilité de type</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>Fichier introuvable</translation>
    </message>
    <message>
        <source>File already open</source>
        <translation>Fichier déjà ouvert</translation>
    </message>
    <message>
        <source>Device I/O error</source>
        <translation>Erreur d’entrée/sortie du périphérique</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Disque plein</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Permission refusée</translation>
    </message>
    <message>
        <source>Path/File access error</source>
        <translation>Erreur d’accès au chemin ou au fichier</translation>
    </message>
    <message>
        <source>Path not found</source>
        <translation>Chemin introuvable</translation>
    </message>
    <message>
        <source>Invalid picture</source>
        <translation>Image non valide</translation>
    </message>
    <message>
        <source>The FileName buffer is too small to store the selected file name(s).</source>
        <translation>La mémoire tampon est trop petite pour contenir les noms des fichiers sélectionnés.</translation>
    </message>
    <message>
        <source>Application-defined or object-defined error</source>
        <translation>Erreur définie par l’application ou par l’objet</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Erreur de l’application</translation>
    </message>
    <message>
        <source>Please email screenshot of this message to %1</source>
        <translation>Veuillez envoyer une capture d’écran de ce message à %1</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Mémoire insuffisante</translation>
    </message>
</context>
<context>
    <name>OpenFiles</name>
    <message>
        <source>Add File(s) - Hold Ctrl or Shift to select multiple files</source>
        <translation>Ajouter des fichiers – maintenez Ctrl ou Maj pour en sélectionner plusieurs</translation>
    </message>
    <message>
        <source>All Pictures (%1)</source>
        <translation>Toutes les images (%1)</translation>
    </message>
    <message>
        <source>You&apos;ve selected too many files to add.<byte value="xd"/><byte value="xd"/>Please try adding via the &quot;Add All&quot; button.</source>
        <translation>Vous avez sélectionné trop de fichiers.<byte value="xd"/><byte value="xd"/>Essayez plutôt le bouton « Ajouter tout un dossier ».</translation>
    </message>
</context>
<context>
    <name>SampleFiles</name>
    <message>
        <source>Would you like this software to open the folder where these sample files are stored (so that you can view them before working with them)?</source>
        <translation>Voulez-vous ouvrir le dossier où sont stockés ces fichiers d’exemple (pour les voir avant de les utiliser) ?</translation>
    </message>
</context>
<context>
    <name>quorvel::FolderController</name>
    <message>
        <source>Please select folder:</source>
        <translation>Veuillez choisir un dossier :</translation>
    </message>
    <message>
        <source>Enter file extension to load:<byte value="xd"/><byte value="xd"/>(* for all files, txt for all txt files, doc for all doc files, etc.)</source>
        <translation>Extension des fichiers à charger :<byte value="xd"/><byte value="xd"/>(* pour tous les fichiers, txt pour tous les fichiers txt, doc pour tous les fichiers doc, etc.)</translation>
    </message>
    <message>
        <source>This software currently supports the following image formats: jpg, bmp, gif, png, webp, tif, avif.<byte value="xd"/>
<byte value="xd"/>
If you need more formats added, please contact Team Bramwick at %1</source>
        <translation>Ce logiciel prend actuellement en charge les formats d’image suivants : jpg, bmp, gif, png, webp, tif, avif.<byte value="xd"/>
<byte value="xd"/>
Si vous avez besoin d’autres formats, contactez l’équipe Bramwick à l’adresse %1</translation>
    </message>
</context>
<context>
    <name>quorvel::Form1</name>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Drag and drop files here. Double-click item to remove it. Move | line to right and out of window to reveal full names.</source>
        <translation>Glissez-déposez des fichiers ici. Double-cliquez sur un élément pour le retirer. Faites glisser le trait | vers la droite, hors de la fenêtre, pour voir les noms complets.</translation>
    </message>
    <message>
        <source>Add Image File(s)</source>
        <translation>Ajouter des images</translation>
    </message>
    <message>
        <source>Add All File(s) In Folder</source>
        <translation>Ajouter tout un dossier</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>Vider la liste</translation>
    </message>
    <message>
        <source>Load Sample/Example Files</source>
        <translation>Charger les exemples</translation>
    </message>
    <message>
        <source>Resize Options</source>
        <translation>Agrandissement</translation>
    </message>
    <message>
        <source>Zoom 2x</source>
        <translation>Agrandir 2 fois</translation>
    </message>
    <message>
        <source>Zoom 3x</source>
        <translation>Agrandir 3 fois</translation>
    </message>
    <message>
        <source>Zoom 4x</source>
        <translation>Agrandir 4 fois</translation>
    </message>
    <message>
        <source>Zoom          x</source>
        <extracomment>The spaces leave room for the factor box, drawn over them; keep the text before them short and the spaces in place.</extracomment>
        <translation>                    fois</translation>
    </message>
    <message>
        <source>Save Image(s) To This Folder</source>
        <translation>Enregistrer les images dans ce dossier</translation>
    </message>
    <message>
        <source>Start Enlarging</source>
        <translation>Lancer l’agrandissement</translation>
    </message>
    <message>
        <source>Image File(s)</source>
        <translation>Fichiers image</translation>
    </message>
</context>
</TS>
