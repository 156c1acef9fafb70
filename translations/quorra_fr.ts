<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>BoardDescription</name>
    <message>
        <source>Grid of %1 rows and %2 columns.</source>
        <translation>Grille de %1 lignes et %2 colonnes.</translation>
    </message>
    <message>
        <source> Selected: row %1, column %2.</source>
        <translation> Sélection : ligne %1, colonne %2.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Quorra: a photo puzzle to pass on to a friend.</source>
        <translation>Quorra : un puzzle photo à transmettre à un ami.</translation>
    </message>
    <message>
        <source>Displays this help.</source>
        <translation>Affiche cette aide.</translation>
    </message>
    <message>
        <source>Displays version information.</source>
        <translation>Affiche les informations de version.</translation>
    </message>
    <message>
        <source>Writes the puzzle as a web page that plays it in any browser, and exits.</source>
        <translation>Écrit le puzzle sous forme de page web qui le fait jouer dans n&apos;importe quel navigateur, puis quitte.</translation>
    </message>
    <message>
        <source>The puzzle file (.nbq) to open.</source>
        <translation>Le fichier de puzzle (.nbq) à ouvrir.</translation>
    </message>
    <message>
        <source>--export-web needs a puzzle file and the page to write.</source>
        <translation>--export-web a besoin d&apos;un fichier de puzzle et de la page à écrire.</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>&amp;Obscure</source>
        <translation>&amp;Obscurcir</translation>
    </message>
    <message>
        <source>Obscure</source>
        <translation>Obscurcir</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Zoom avant</translation>
    </message>
    <message>
        <source>New...</source>
        <translation>Nouveau...</translation>
    </message>
    <message>
        <source>New Puzzle</source>
        <translation>Nouveau puzzle</translation>
    </message>
    <message>
        <source>Actual &amp;Size</source>
        <translation>Taille ré&amp;elle</translation>
    </message>
    <message>
        <source>Show actual size</source>
        <translation>Afficher la taille réelle</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>Zoom arrière</translation>
    </message>
    <message>
        <source>Best Fit</source>
        <translation>Ajuster</translation>
    </message>
    <message>
        <source>Auto Best Fit</source>
        <translation>Ajuster automatiquement</translation>
    </message>
    <message>
        <source>Empty &amp;Row</source>
        <translation>Ligne &amp;vide</translation>
    </message>
    <message>
        <source>Empty row</source>
        <translation>Ligne vide</translation>
    </message>
    <message>
        <source>Empty &amp;Column</source>
        <translation>Colonne vi&amp;de</translation>
    </message>
    <message>
        <source>Empty column</source>
        <translation>Colonne vide</translation>
    </message>
    <message>
        <source>&amp;Dark</source>
        <translation>&amp;Sombre</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Sombre</translation>
    </message>
    <message>
        <source>&amp;Transparent</source>
        <translation>&amp;Transparent</translation>
    </message>
    <message>
        <source>Transparent</source>
        <translation>Transparent</translation>
    </message>
    <message>
        <source>N&amp;egative</source>
        <translation>&amp;Négatif</translation>
    </message>
    <message>
        <source>Negative</source>
        <translation>Négatif</translation>
    </message>
    <message>
        <source>&amp;Hidden</source>
        <translation>&amp;Caché</translation>
    </message>
    <message>
        <source>Hidden</source>
        <translation>Caché</translation>
    </message>
    <message>
        <source>Top &amp;Secret</source>
        <translation>T&amp;rès secret</translation>
    </message>
    <message>
        <source>&amp;SemiEffect</source>
        <translation>Effet &amp;partiel</translation>
    </message>
    <message>
        <source>Do not apply the effect for selected cells</source>
        <translation>Ne pas appliquer l&apos;effet aux cases sélectionnées</translation>
    </message>
    <message>
        <source>About..</source>
        <translation>À propos..</translation>
    </message>
    <message>
        <source>Content...</source>
        <translation>Sommaire...</translation>
    </message>
    <message>
        <source>&amp;Low Resolution</source>
        <translation>&amp;Basse résolution</translation>
    </message>
    <message>
        <source>2x2</source>
        <translation>2x2</translation>
    </message>
    <message>
        <source>3x2</source>
        <translation>3x2</translation>
    </message>
    <message>
        <source>4x2</source>
        <translation>4x2</translation>
    </message>
    <message>
        <source>2x3</source>
        <translation>2x3</translation>
    </message>
    <message>
        <source>3x3</source>
        <translation>3x3</translation>
    </message>
    <message>
        <source>4x3</source>
        <translation>4x3</translation>
    </message>
    <message>
        <source>2x4</source>
        <translation>2x4</translation>
    </message>
    <message>
        <source>3x4</source>
        <translation>3x4</translation>
    </message>
    <message>
        <source>4x4</source>
        <translation>4x4</translation>
    </message>
    <message>
        <source>Show at Start</source>
        <translation>Afficher au démarrage</translation>
    </message>
    <message>
        <source>Show At Start</source>
        <translation>Afficher au démarrage</translation>
    </message>
    <message>
        <source>Open...</source>
        <translation>Ouvrir...</translation>
    </message>
    <message>
        <source>Open Puzzle</source>
        <translation>Ouvrir un puzzle</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Enregistrer sous...</translation>
    </message>
    <message>
        <source>Save Puzzle</source>
        <translation>Enregistrer le puzzle</translation>
    </message>
    <message>
        <source>Save Image As...</source>
        <translation>Enregistrer l&apos;image sous...</translation>
    </message>
    <message>
        <source>Save Image</source>
        <translation>Enregistrer l&apos;image</translation>
    </message>
    <message>
        <source>Send by E-Mail...</source>
        <translation>Envoyer par courriel...</translation>
    </message>
    <message>
        <source>Send by E-Mail</source>
        <translation>Envoyer par courriel</translation>
    </message>
    <message>
        <source>Tangle</source>
        <translation>Mélanger</translation>
    </message>
    <message>
        <source>Tangle Puzzle</source>
        <translation>Mélanger le puzzle</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Undo Move</source>
        <translation>Annuler le coup</translation>
    </message>
    <message>
        <source>Take the last move back</source>
        <translation>Annuler le dernier coup</translation>
    </message>
    <message>
        <source>Redo Move</source>
        <translation>Rétablir le coup</translation>
    </message>
    <message>
        <source>Make the move taken back again</source>
        <translation>Rejouer le coup annulé</translation>
    </message>
    <message>
        <source>Save as Web Page...</source>
        <translation>Enregistrer comme page web...</translation>
    </message>
    <message>
        <source>Save the puzzle as a web page that plays it in any browser</source>
        <translation>Enregistrer le puzzle comme page web qui le fait jouer dans n&apos;importe quel navigateur</translation>
    </message>
    <message>
        <source>Full Screen</source>
        <translation>Plein écran</translation>
    </message>
    <message>
        <source>Show the window on the whole screen, or as before</source>
        <translation>Afficher la fenêtre sur tout l&apos;écran, ou comme avant</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>Recommencer</translation>
    </message>
    <message>
        <source>Put the tangle back as it was when this game began</source>
        <translation>Remettre le mélange tel qu&apos;il était au début de cette partie</translation>
    </message>
    <message>
        <source>&amp;Puzzle</source>
        <translation>&amp;Puzzle</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>Affic&amp;hage</translation>
    </message>
    <message>
        <source>&amp;Split</source>
        <translation>Découpa&amp;ge</translation>
    </message>
    <message>
        <source>E&amp;ffect</source>
        <translation>E&amp;ffet</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>É&amp;dition</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Son</translation>
    </message>
    <message>
        <source>Show Example...</source>
        <translation>Montrer l&apos;exemple...</translation>
    </message>
    <message>
        <source>ToolBar1</source>
        <translation>Barre d&apos;outils</translation>
    </message>
</context>
<context>
    <name>IniFile</name>
    <message>
        <source>Unable to write to %1</source>
        <translation>Impossible d&apos;écrire dans %1</translation>
    </message>
</context>
<context>
    <name>Mail</name>
    <message>
        <source>Photo Puzzle</source>
        <translation>Puzzle photo</translation>
    </message>
    <message>
        <source>Hello!
I created for you puzzle that contain picture! If you
want to see the real picture, you should solve the puzzle!
To solve the puzzle, you will need the Quorra
program. You can download it for free:</source>
        <translation>Bonjour !
J&apos;ai créé pour toi un puzzle qui cache une image ! Si tu
veux voir la vraie image, il faut résoudre le puzzle !
Pour résoudre le puzzle, il te faut le programme
Quorra. Tu peux le télécharger gratuitement :</translation>
    </message>
    <message>
        <source>After you install the program, open the attached file
by double clicking it. With this software you will be
able to create new puzzles for your friends as well
as to solve the puzzles that were made for you!</source>
        <translation>Une fois le programme installé, ouvre le fichier joint
en double-cliquant dessus. Avec ce logiciel, tu pourras
aussi créer de nouveaux puzzles pour tes amis et
résoudre ceux qu&apos;on a faits pour toi !</translation>
    </message>
    <message>
        <source>No mail program could be started to send the puzzle.
Please attach the puzzle file to a message yourself:
%1</source>
        <translation>Aucun programme de messagerie n&apos;a pu être lancé pour envoyer le puzzle.
Veuillez joindre vous-même le fichier du puzzle à un message :
%1</translation>
    </message>
    <message>
        <source>The puzzle file could not be read, so it was not sent:
%1</source>
        <translation>Le fichier du puzzle n&apos;a pas pu être lu ; il n&apos;a donc pas été envoyé :
%1</translation>
    </message>
    <message>
        <source>The puzzle file cannot be handed to the mail program under its name.
Please attach the puzzle file to a message yourself:
%1</source>
        <translation>Le fichier du puzzle ne peut pas être transmis au programme de messagerie sous ce nom.
Veuillez joindre vous-même le fichier du puzzle à un message :
%1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a valid mail address.</source>
        <translation>« %1 » n&apos;est pas une adresse électronique valide.</translation>
    </message>
</context>
<context>
    <name>Pictures</name>
    <message>
        <source>Stream read error</source>
        <translation>Erreur de lecture du flux</translation>
    </message>
    <message>
        <source>Unknown GIF version</source>
        <translation>Version GIF inconnue</translation>
    </message>
    <message>
        <source>Not enough memory to read the GIF picture.</source>
        <translation>Pas assez de mémoire pour lire l&apos;image GIF.</translation>
    </message>
    <message>
        <source>GIF encoded data is corrupt</source>
        <translation>Les données GIF sont corrompues</translation>
    </message>
    <message>
        <source>GIF code size not in range 2 to 9</source>
        <translation>Taille de code GIF hors de la plage 2 à 9</translation>
    </message>
    <message>
        <source>The picture is too large (%1 x %2 pixels).</source>
        <translation>L&apos;image est trop grande (%1 x %2 pixels).</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Impossible d&apos;ouvrir le fichier « %1 ». %2</translation>
    </message>
    <message>
        <source>Bitmap image is not valid</source>
        <translation>L&apos;image bitmap n&apos;est pas valide</translation>
    </message>
    <message>
        <source>%1 pictures cannot be read: Qt&apos;s image format plugins (qt6-image-formats-plugins) are not installed.</source>
        <translation>Les images %1 ne peuvent pas être lues : les modules de formats d&apos;image de Qt (qt6-image-formats-plugins) ne sont pas installés.</translation>
    </message>
    <message>
        <source>%1 image is not valid</source>
        <translation>L&apos;image %1 n&apos;est pas valide</translation>
    </message>
    <message>
        <source>has more than %1 scans.</source>
        <translation>a plus de %1 passes.</translation>
    </message>
    <message>
        <source>has more than %1 MB of data besides its pixels.</source>
        <translation>a plus de %1 Mo de données en plus de ses pixels.</translation>
    </message>
    <message>
        <source>The picture takes more than %1 ms to decode.</source>
        <translation>Le décodage de l&apos;image prend plus de %1 ms.</translation>
    </message>
    <message>
        <source>JPEG error #%1</source>
        <translation>Erreur JPEG n° %1</translation>
    </message>
    <message>
        <source>Not enough memory for a picture of %1 x %2 pixels.</source>
        <translation>Pas assez de mémoire pour une image de %1 x %2 pixels.</translation>
    </message>
    <message>
        <source>The picture is damaged: it %1</source>
        <translation>L&apos;image est endommagée : elle %1</translation>
    </message>
    <message>
        <source>This picture is too large: it needs more than 1 GB of memory.</source>
        <translation>Cette image est trop grande : elle demande plus de 1 Go de mémoire.</translation>
    </message>
    <message>
        <source>It is a named pipe, not a file.</source>
        <translation>C&apos;est un tube nommé, pas un fichier.</translation>
    </message>
    <message>
        <source>It is a socket, not a file.</source>
        <translation>C&apos;est un socket, pas un fichier.</translation>
    </message>
    <message>
        <source>It is a device, not a file.</source>
        <translation>C&apos;est un périphérique, pas un fichier.</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>Ce n&apos;est pas un fichier ordinaire.</translation>
    </message>
    <message>
        <source>There is not enough memory to open this picture.</source>
        <translation>Il n&apos;y a pas assez de mémoire pour ouvrir cette image.</translation>
    </message>
</context>
<context>
    <name>ProgramResources</name>
    <message>
        <source>No web browser could be started to show the help.
You can open the help file yourself:
%1</source>
        <translation>Aucun navigateur web n&apos;a pu être lancé pour afficher l&apos;aide.
Vous pouvez ouvrir le fichier d&apos;aide vous-même :
%1</translation>
    </message>
</context>
<context>
    <name>Puzzle</name>
    <message>
        <source>Edit</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>édition</translation>
    </message>
</context>
<context>
    <name>PuzzleArgument</name>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Impossible d&apos;ouvrir le fichier « %1 ». %2</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>Ce n&apos;est pas un fichier ordinaire.</translation>
    </message>
    <message>
        <source>Its name is not valid UTF-8; please rename it.</source>
        <translation>Son nom n&apos;est pas en UTF-8 valide ; veuillez le renommer.</translation>
    </message>
</context>
<context>
    <name>PuzzleFiles</name>
    <message>
        <source>The puzzle file &quot;%1&quot; is damaged: %2</source>
        <translation>Le fichier de puzzle « %1 » est endommagé : %2</translation>
    </message>
    <message>
        <source>it ends before its header is complete.</source>
        <translation>il se termine avant que son en-tête soit complet.</translation>
    </message>
    <message>
        <source>its grid is not one that Quorra makes.</source>
        <translation>sa grille n&apos;est pas de celles que fait Quorra.</translation>
    </message>
    <message>
        <source>its picture </source>
        <translation>son image </translation>
    </message>
    <message>
        <source>JPEG error #%1</source>
        <translation>Erreur JPEG n° %1</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Impossible de créer le fichier « %1 ». %2</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Impossible d&apos;ouvrir le fichier « %1 ». %2</translation>
    </message>
</context>
<context>
    <name>QFileDialog</name>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 existe déjà.
Voulez-vous le remplacer ?</translation>
    </message>
</context>
<context>
    <name>WebPageExport</name>
    <message>
        <source>The web page player is missing from this build of Quorra.</source>
        <translation>Le lecteur de page web manque dans cette version de Quorra.</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Impossible d&apos;ouvrir le fichier « %1 ». %2</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Impossible de créer le fichier « %1 ». %2</translation>
    </message>
</context>
<context>
    <name>WindowTexts</name>
    <message>
        <source>Confirm</source>
        <translation>Confirmer</translation>
    </message>
    <message>
        <source>Save current puzzle?</source>
        <translation>Enregistrer le puzzle en cours ?</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>This puzzle requires Quorra version %1 or later.</source>
        <translation>Ce puzzle nécessite Quorra version %1 ou ultérieure.</translation>
    </message>
    <message>
        <source>The picture &quot;%1&quot; cannot be read.
%2</source>
        <translation>L&apos;image « %1 » ne peut pas être lue.
%2</translation>
    </message>
    <message>
        <source>The picture &quot;%1&quot; is too large to open.</source>
        <translation>L&apos;image « %1 » est trop grande pour être ouverte.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a picture Quorra can read.
Choose a BMP, JPEG, GIF, PNG, WebP or TIFF picture (.bmp, .jpg, .gif, .png, .webp or .tif).</source>
        <translation>« %1 » n&apos;est pas une image que Quorra sait lire.
Choisissez une image BMP, JPEG, GIF, PNG, WebP ou TIFF (.bmp, .jpg, .gif, .png, .webp ou .tif).</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be opened by Quorra.
Drop a puzzle file (.nbq) to solve it, or a BMP, JPEG, GIF, PNG, WebP or TIFF picture (.bmp, .jpg, .gif, .png, .webp or .tif) to make a new puzzle.</source>
        <translation>Quorra ne peut pas ouvrir « %1 ».
Déposez un fichier de puzzle (.nbq) pour le résoudre, ou une image BMP, JPEG, GIF, PNG, WebP ou TIFF (.bmp, .jpg, .gif, .png, .webp ou .tif) pour créer un nouveau puzzle.</translation>
    </message>
    <message>
        <source>There is not enough memory to complete this command.</source>
        <translation>Il n&apos;y a pas assez de mémoire pour terminer cette commande.</translation>
    </message>
    <message>
        <source>Make a puzzle from a photograph with Puzzle &gt; New..., open one with Puzzle &gt; Open..., or drop either on this window.</source>
        <translation>Créez un puzzle à partir d&apos;une photo avec Puzzle &gt; Nouveau..., ouvrez-en un avec Puzzle &gt; Ouvrir..., ou déposez l&apos;un ou l&apos;autre sur cette fenêtre.</translation>
    </message>
    <message>
        <source>Moves: %1    Time: %2</source>
        <translation>Coups : %1    Temps : %2</translation>
    </message>
    <message>
        <source>Solved in %1 move, %2</source>
        <translation>Résolu en %1 coup, %2</translation>
    </message>
    <message>
        <source>Solved in %1 moves, %2</source>
        <translation>Résolu en %1 coups, %2</translation>
    </message>
    <message>
        <source>Continued: %1 move, %2</source>
        <translation>Reprise : %1 coup, %2</translation>
    </message>
    <message>
        <source>Continued: %1 moves, %2</source>
        <translation>Reprise : %1 coups, %2</translation>
    </message>
    <message>
        <source>Play Again</source>
        <translation>Rejouer</translation>
    </message>
    <message>
        <source>; best before: %1 move, %2</source>
        <translation> ; meilleur score : %1 coup, %2</translation>
    </message>
    <message>
        <source>; best before: %1 moves, %2</source>
        <translation> ; meilleur score : %1 coups, %2</translation>
    </message>
    <message>
        <source>Open an Image to Create Puzzle</source>
        <translation>Ouvrir une image pour créer un puzzle</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Enregistrer sous</translation>
    </message>
    <message>
        <source>Save Image As</source>
        <translation>Enregistrer l&apos;image sous</translation>
    </message>
    <message>
        <source>Save as Web Page</source>
        <translation>Enregistrer comme page web</translation>
    </message>
    <message>
        <source>All (*.gif;*.jpg;*.bmp;*.png;*.webp;*.tif)|*.gif;*.jpg;*.jpeg;*.jpe;*.jfif;*.bmp;*.png;*.webp;*.tif;*.tiff|CompuServe GIF Image (*.gif)|*.gif|JPEG Image File (*.jpg)|*.jpg;*.jpeg;*.jpe;*.jfif|Bitmaps (*.bmp)|*.bmp|PNG Image (*.png)|*.png|WebP Image (*.webp)|*.webp|TIFF Image (*.tif)|*.tif;*.tiff</source>
        <translation>Toutes (*.gif;*.jpg;*.bmp;*.png;*.webp;*.tif)|*.gif;*.jpg;*.jpeg;*.jpe;*.jfif;*.bmp;*.png;*.webp;*.tif;*.tiff|Image GIF CompuServe (*.gif)|*.gif|Fichier image JPEG (*.jpg)|*.jpg;*.jpeg;*.jpe;*.jfif|Bitmaps (*.bmp)|*.bmp|Image PNG (*.png)|*.png|Image WebP (*.webp)|*.webp|Image TIFF (*.tif)|*.tif;*.tiff</translation>
    </message>
    <message>
        <source>Nimbrel (*.nbq)|*.nbq</source>
        <translation>Nimbrel (*.nbq)|*.nbq</translation>
    </message>
    <message>
        <source>JPEG Image File (*.jpg)|*.jpg</source>
        <translation>Fichier image JPEG (*.jpg)|*.jpg</translation>
    </message>
    <message>
        <source>Web Page (*.html)|*.html;*.htm</source>
        <translation>Page web (*.html)|*.html;*.htm</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>About Crypsel</source>
        <translation>À propos de Crypsel</translation>
    </message>
    <message>
        <source>Copyright © 2024 the Quorra developers.</source>
        <translation>Copyright © 2024 les développeurs de Quorra.</translation>
    </message>
    <message>
        <source>Show at Start</source>
        <translation>Afficher au démarrage</translation>
    </message>
    <message>
        <source>Unknown error code</source>
        <translation>Code d&apos;erreur inconnu</translation>
    </message>
</context>
<context>
    <name>quorra::AboutDialog</name>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>No web browser could be started to show the web page.
You can open it yourself:
%1</source>
        <translation>Aucun navigateur web n&apos;a pu être lancé pour afficher la page web.
Vous pouvez l&apos;ouvrir vous-même :
%1</translation>
    </message>
</context>
</TS>
