<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>BoardDescription</name>
    <message>
        <source>Grid of %1 rows and %2 columns.</source>
        <translation>Raster aus %1 Zeilen und %2 Spalten.</translation>
    </message>
    <message>
        <source> Selected: row %1, column %2.</source>
        <translation> Ausgewählt: Zeile %1, Spalte %2.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Quorra: a photo puzzle to pass on to a friend.</source>
        <translation>Quorra: ein Fotopuzzle zum Weitergeben an Freunde.</translation>
    </message>
    <message>
        <source>Displays this help.</source>
        <translation>Zeigt diese Hilfe an.</translation>
    </message>
    <message>
        <source>Displays version information.</source>
        <translation>Zeigt die Versionsinformationen an.</translation>
    </message>
    <message>
        <source>Writes the puzzle as a web page that plays it in any browser, and exits.</source>
        <translation>Schreibt das Puzzle als Webseite, die es in jedem Browser spielt, und beendet sich.</translation>
    </message>
    <message>
        <source>The puzzle file (.nbq) to open.</source>
        <translation>Die zu öffnende Puzzledatei (.nbq).</translation>
    </message>
    <message>
        <source>--export-web needs a puzzle file and the page to write.</source>
        <translation>--export-web braucht eine Puzzledatei und die zu schreibende Seite.</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>&amp;Obscure</source>
        <translation>&amp;Verschleiern</translation>
    </message>
    <message>
        <source>Obscure</source>
        <translation>Verschleiern</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Vergrößern</translation>
    </message>
    <message>
        <source>New...</source>
        <translation>Neu...</translation>
    </message>
    <message>
        <source>New Puzzle</source>
        <translation>Neues Puzzle</translation>
    </message>
    <message>
        <source>Actual &amp;Size</source>
        <translation>&amp;Originalgröße</translation>
    </message>
    <message>
        <source>Show actual size</source>
        <translation>Originalgröße anzeigen</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <source>Best Fit</source>
        <translation>Einpassen</translation>
    </message>
    <message>
        <source>Auto Best Fit</source>
        <translation>Automatisch einpassen</translation>
    </message>
    <message>
        <source>Empty &amp;Row</source>
        <translation>Leere &amp;Zeile</translation>
    </message>
    <message>
        <source>Empty row</source>
        <translation>Leere Zeile</translation>
    </message>
    <message>
        <source>Empty &amp;Column</source>
        <translation>Leere &amp;Spalte</translation>
    </message>
    <message>
        <source>Empty column</source>
        <translation>Leere Spalte</translation>
    </message>
    <message>
        <source>&amp;Dark</source>
        <translation>&amp;Dunkel</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Dunkel</translation>
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
        <translation>N&amp;egativ</translation>
    </message>
    <message>
        <source>Negative</source>
        <translation>Negativ</translation>
    </message>
    <message>
        <source>&amp;Hidden</source>
        <translation>Verbor&amp;gen</translation>
    </message>
    <message>
        <source>Hidden</source>
        <translation>Verborgen</translation>
    </message>
    <message>
        <source>Top &amp;Secret</source>
        <translation>&amp;Streng geheim</translation>
    </message>
    <message>
        <source>&amp;SemiEffect</source>
        <translation>&amp;Teileffekt</translation>
    </message>
    <message>
        <source>Do not apply the effect for selected cells</source>
        <translation>Den Effekt auf ausgewählte Felder nicht anwenden</translation>
    </message>
    <message>
        <source>About..</source>
        <translation>Über..</translation>
    </message>
    <message>
        <source>Content...</source>
        <translation>Inhalt...</translation>
    </message>
    <message>
        <source>&amp;Low Resolution</source>
        <translation>Niedrige &amp;Auflösung</translation>
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
        <translation>Beim Start zeigen</translation>
    </message>
    <message>
        <source>Show At Start</source>
        <translation>Beim Start zeigen</translation>
    </message>
    <message>
        <source>Open...</source>
        <translation>Öffnen...</translation>
    </message>
    <message>
        <source>Open Puzzle</source>
        <translation>Puzzle öffnen</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Speichern unter...</translation>
    </message>
    <message>
        <source>Save Puzzle</source>
        <translation>Puzzle speichern</translation>
    </message>
    <message>
        <source>Save Image As...</source>
        <translation>Bild speichern unter...</translation>
    </message>
    <message>
        <source>Save Image</source>
        <translation>Bild speichern</translation>
    </message>
    <message>
        <source>Send by E-Mail...</source>
        <translation>Per E-Mail senden...</translation>
    </message>
    <message>
        <source>Send by E-Mail</source>
        <translation>Per E-Mail senden</translation>
    </message>
    <message>
        <source>Tangle</source>
        <translation>Mischen</translation>
    </message>
    <message>
        <source>Tangle Puzzle</source>
        <translation>Puzzle mischen</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Undo Move</source>
        <translation>Zug zurücknehmen</translation>
    </message>
    <message>
        <source>Take the last move back</source>
        <translation>Den letzten Zug zurücknehmen</translation>
    </message>
    <message>
        <source>Redo Move</source>
        <translation>Zug wiederholen</translation>
    </message>
    <message>
        <source>Make the move taken back again</source>
        <translation>Den zurückgenommenen Zug wieder ausführen</translation>
    </message>
    <message>
        <source>Save as Web Page...</source>
        <translation>Als Webseite speichern...</translation>
    </message>
    <message>
        <source>Save the puzzle as a web page that plays it in any browser</source>
        <translation>Das Puzzle als Webseite speichern, die es in jedem Browser spielt</translation>
    </message>
    <message>
        <source>Full Screen</source>
        <translation>Vollbild</translation>
    </message>
    <message>
        <source>Show the window on the whole screen, or as before</source>
        <translation>Das Fenster auf dem ganzen Bildschirm zeigen, oder wie zuvor</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>Neu beginnen</translation>
    </message>
    <message>
        <source>Put the tangle back as it was when this game began</source>
        <translation>Die Mischung wiederherstellen, wie sie zu Beginn dieses Spiels war</translation>
    </message>
    <message>
        <source>&amp;Puzzle</source>
        <translation>&amp;Puzzle</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Split</source>
        <translation>&amp;Teilung</translation>
    </message>
    <message>
        <source>E&amp;ffect</source>
        <translation>E&amp;ffekt</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Ton</translation>
    </message>
    <message>
        <source>Show Example...</source>
        <translation>Beispiel zeigen...</translation>
    </message>
    <message>
        <source>ToolBar1</source>
        <translation>Werkzeugleiste</translation>
    </message>
</context>
<context>
    <name>IniFile</name>
    <message>
        <source>Unable to write to %1</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
</context>
<context>
    <name>Mail</name>
    <message>
        <source>Photo Puzzle</source>
        <translation>Fotopuzzle</translation>
    </message>
    <message>
        <source>Hello!
I created for you puzzle that contain picture! If you
want to see the real picture, you should solve the puzzle!
To solve the puzzle, you will need the Quorra
program. You can download it for free:</source>
        <translation>Hallo!
Ich habe dir ein Puzzle mit einem Bild gemacht! Wenn du
das echte Bild sehen willst, musst du das Puzzle lösen!
Zum Lösen brauchst du das Programm
Quorra. Du kannst es kostenlos herunterladen:</translation>
    </message>
    <message>
        <source>After you install the program, open the attached file
by double clicking it. With this software you will be
able to create new puzzles for your friends as well
as to solve the puzzles that were made for you!</source>
        <translation>Wenn du das Programm installiert hast, öffne die angehängte
Datei mit einem Doppelklick. Mit diesem Programm kannst du
auch neue Puzzles für deine Freunde machen und die Puzzles
lösen, die andere für dich gemacht haben!</translation>
    </message>
    <message>
        <source>No mail program could be started to send the puzzle.
Please attach the puzzle file to a message yourself:
%1</source>
        <translation>Es konnte kein E-Mail-Programm gestartet werden, um das Puzzle zu senden.
Bitte hängen Sie die Puzzledatei selbst an eine Nachricht an:
%1</translation>
    </message>
    <message>
        <source>The puzzle file could not be read, so it was not sent:
%1</source>
        <translation>Die Puzzledatei konnte nicht gelesen werden und wurde deshalb nicht gesendet:
%1</translation>
    </message>
    <message>
        <source>The puzzle file cannot be handed to the mail program under its name.
Please attach the puzzle file to a message yourself:
%1</source>
        <translation>Die Puzzledatei kann dem E-Mail-Programm unter ihrem Namen nicht übergeben werden.
Bitte hängen Sie die Puzzledatei selbst an eine Nachricht an:
%1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a valid mail address.</source>
        <translation>„%1“ ist keine gültige E-Mail-Adresse.</translation>
    </message>
</context>
<context>
    <name>Pictures</name>
    <message>
        <source>Stream read error</source>
        <translation>Lesefehler im Datenstrom</translation>
    </message>
    <message>
        <source>Unknown GIF version</source>
        <translation>Unbekannte GIF-Version</translation>
    </message>
    <message>
        <source>Not enough memory to read the GIF picture.</source>
        <translation>Nicht genug Speicher, um das GIF-Bild zu lesen.</translation>
    </message>
    <message>
        <source>GIF encoded data is corrupt</source>
        <translation>Die GIF-Daten sind beschädigt</translation>
    </message>
    <message>
        <source>GIF code size not in range 2 to 9</source>
        <translation>GIF-Codegröße nicht im Bereich 2 bis 9</translation>
    </message>
    <message>
        <source>The picture is too large (%1 x %2 pixels).</source>
        <translation>Das Bild ist zu groß (%1 x %2 Pixel).</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Die Datei „%1“ kann nicht geöffnet werden. %2</translation>
    </message>
    <message>
        <source>Bitmap image is not valid</source>
        <translation>Das Bitmap-Bild ist ungültig</translation>
    </message>
    <message>
        <source>%1 pictures cannot be read: Qt&apos;s image format plugins (qt6-image-formats-plugins) are not installed.</source>
        <translation>%1-Bilder können nicht gelesen werden: Die Bildformat-Plugins von Qt (qt6-image-formats-plugins) sind nicht installiert.</translation>
    </message>
    <message>
        <source>%1 image is not valid</source>
        <translation>Das %1-Bild ist ungültig</translation>
    </message>
    <message>
        <source>has more than %1 scans.</source>
        <translation>hat mehr als %1 Durchläufe.</translation>
    </message>
    <message>
        <source>has more than %1 MB of data besides its pixels.</source>
        <translation>hat neben seinen Pixeln mehr als %1 MB Daten.</translation>
    </message>
    <message>
        <source>The picture takes more than %1 ms to decode.</source>
        <translation>Das Dekodieren des Bildes dauert länger als %1 ms.</translation>
    </message>
    <message>
        <source>JPEG error #%1</source>
        <translation>JPEG-Fehler #%1</translation>
    </message>
    <message>
        <source>Not enough memory for a picture of %1 x %2 pixels.</source>
        <translation>Nicht genug Speicher für ein Bild von %1 x %2 Pixeln.</translation>
    </message>
    <message>
        <source>The picture is damaged: it %1</source>
        <translation>Das Bild ist beschädigt: Es %1</translation>
    </message>
    <message>
        <source>This picture is too large: it needs more than 1 GB of memory.</source>
        <translation>Dieses Bild ist zu groß: Es braucht mehr als 1 GB Speicher.</translation>
    </message>
    <message>
        <source>It is a named pipe, not a file.</source>
        <translation>Es ist eine benannte Pipe, keine Datei.</translation>
    </message>
    <message>
        <source>It is a socket, not a file.</source>
        <translation>Es ist ein Socket, keine Datei.</translation>
    </message>
    <message>
        <source>It is a device, not a file.</source>
        <translation>Es ist ein Gerät, keine Datei.</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>Es ist keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>There is not enough memory to open this picture.</source>
        <translation>Es ist nicht genug Speicher vorhanden, um dieses Bild zu öffnen.</translation>
    </message>
</context>
<context>
    <name>ProgramResources</name>
    <message>
        <source>No web browser could be started to show the help.
You can open the help file yourself:
%1</source>
        <translation>Es konnte kein Webbrowser gestartet werden, um die Hilfe anzuzeigen.
Sie können die Hilfedatei selbst öffnen:
%1</translation>
    </message>
</context>
<context>
    <name>Puzzle</name>
    <message>
        <source>Edit</source>
        <translation>Bearbeitungs-</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>modus</translation>
    </message>
</context>
<context>
    <name>PuzzleArgument</name>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Die Datei „%1“ kann nicht geöffnet werden. %2</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>Es ist keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>Its name is not valid UTF-8; please rename it.</source>
        <translation>Ihr Name ist kein gültiges UTF-8; bitte benennen Sie sie um.</translation>
    </message>
</context>
<context>
    <name>PuzzleFiles</name>
    <message>
        <source>The puzzle file &quot;%1&quot; is damaged: %2</source>
        <translation>Die Puzzledatei „%1“ ist beschädigt: %2</translation>
    </message>
    <message>
        <source>it ends before its header is complete.</source>
        <translation>sie endet, bevor ihr Kopf vollständig ist.</translation>
    </message>
    <message>
        <source>its grid is not one that Quorra makes.</source>
        <translation>ihr Raster ist keines, das Quorra erzeugt.</translation>
    </message>
    <message>
        <source>its picture </source>
        <translation>ihr Bild </translation>
    </message>
    <message>
        <source>JPEG error #%1</source>
        <translation>JPEG-Fehler #%1</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Die Datei „%1“ kann nicht angelegt werden. %2</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Die Datei „%1“ kann nicht geöffnet werden. %2</translation>
    </message>
</context>
<context>
    <name>QFileDialog</name>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 existiert bereits.
Soll die Datei ersetzt werden?</translation>
    </message>
</context>
<context>
    <name>WebPageExport</name>
    <message>
        <source>The web page player is missing from this build of Quorra.</source>
        <translation>Der Webseiten-Spieler fehlt in diesem Build von Quorra.</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Die Datei „%1“ kann nicht geöffnet werden. %2</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Die Datei „%1“ kann nicht angelegt werden. %2</translation>
    </message>
</context>
<context>
    <name>WindowTexts</name>
    <message>
        <source>Confirm</source>
        <translation>Bestätigen</translation>
    </message>
    <message>
        <source>Save current puzzle?</source>
        <translation>Aktuelles Puzzle speichern?</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>This puzzle requires Quorra version %1 or later.</source>
        <translation>Dieses Puzzle erfordert Quorra Version %1 oder neuer.</translation>
    </message>
    <message>
        <source>The picture &quot;%1&quot; cannot be read.
%2</source>
        <translation>Das Bild „%1“ kann nicht gelesen werden.
%2</translation>
    </message>
    <message>
        <source>The picture &quot;%1&quot; is too large to open.</source>
        <translation>Das Bild „%1“ ist zu groß zum Öffnen.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a picture Quorra can read.
Choose a BMP, JPEG, GIF, PNG, WebP or TIFF picture (.bmp, .jpg, .gif, .png, .webp or .tif).</source>
        <translation>„%1“ ist kein Bild, das Quorra lesen kann.
Wählen Sie ein BMP-, JPEG-, GIF-, PNG-, WebP- oder TIFF-Bild (.bmp, .jpg, .gif, .png, .webp oder .tif).</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be opened by Quorra.
Drop a puzzle file (.nbq) to solve it, or a BMP, JPEG, GIF, PNG, WebP or TIFF picture (.bmp, .jpg, .gif, .png, .webp or .tif) to make a new puzzle.</source>
        <translation>„%1“ kann von Quorra nicht geöffnet werden.
Ziehen Sie eine Puzzledatei (.nbq) hierher, um sie zu lösen, oder ein BMP-, JPEG-, GIF-, PNG-, WebP- oder TIFF-Bild (.bmp, .jpg, .gif, .png, .webp oder .tif), um ein neues Puzzle zu machen.</translation>
    </message>
    <message>
        <source>There is not enough memory to complete this command.</source>
        <translation>Es ist nicht genug Speicher vorhanden, um diesen Befehl auszuführen.</translation>
    </message>
    <message>
        <source>Make a puzzle from a photograph with Puzzle &gt; New..., open one with Puzzle &gt; Open..., or drop either on this window.</source>
        <translation>Machen Sie mit Puzzle &gt; Neu... ein Puzzle aus einem Foto, öffnen Sie eines mit Puzzle &gt; Öffnen..., oder ziehen Sie eins von beiden auf dieses Fenster.</translation>
    </message>
    <message>
        <source>Moves: %1    Time: %2</source>
        <translation>Züge: %1    Zeit: %2</translation>
    </message>
    <message>
        <source>Solved in %1 move, %2</source>
        <translation>Gelöst mit %1 Zug, %2</translation>
    </message>
    <message>
        <source>Solved in %1 moves, %2</source>
        <translation>Gelöst mit %1 Zügen, %2</translation>
    </message>
    <message>
        <source>Continued: %1 move, %2</source>
        <translation>Fortgesetzt: %1 Zug, %2</translation>
    </message>
    <message>
        <source>Continued: %1 moves, %2</source>
        <translation>Fortgesetzt: %1 Züge, %2</translation>
    </message>
    <message>
        <source>Play Again</source>
        <translation>Noch einmal</translation>
    </message>
    <message>
        <source>; best before: %1 move, %2</source>
        <translation>; bisher am besten: %1 Zug, %2</translation>
    </message>
    <message>
        <source>; best before: %1 moves, %2</source>
        <translation>; bisher am besten: %1 Züge, %2</translation>
    </message>
    <message>
        <source>Open an Image to Create Puzzle</source>
        <translation>Bild öffnen, um ein Puzzle zu erstellen</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>Save Image As</source>
        <translation>Bild speichern unter</translation>
    </message>
    <message>
        <source>Save as Web Page</source>
        <translation>Als Webseite speichern</translation>
    </message>
    <message>
        <source>All (*.gif;*.jpg;*.bmp;*.png;*.webp;*.tif)|*.gif;*.jpg;*.jpeg;*.jpe;*.jfif;*.bmp;*.png;*.webp;*.tif;*.tiff|CompuServe GIF Image (*.gif)|*.gif|JPEG Image File (*.jpg)|*.jpg;*.jpeg;*.jpe;*.jfif|Bitmaps (*.bmp)|*.bmp|PNG Image (*.png)|*.png|WebP Image (*.webp)|*.webp|TIFF Image (*.tif)|*.tif;*.tiff</source>
        <translation>Alle (*.gif;*.jpg;*.bmp;*.png;*.webp;*.tif)|*.gif;*.jpg;*.jpeg;*.jpe;*.jfif;*.bmp;*.png;*.webp;*.tif;*.tiff|CompuServe-GIF-Bild (*.gif)|*.gif|JPEG-Bilddatei (*.jpg)|*.jpg;*.jpeg;*.jpe;*.jfif|Bitmaps (*.bmp)|*.bmp|PNG-Bild (*.png)|*.png|WebP-Bild (*.webp)|*.webp|TIFF-Bild (*.tif)|*.tif;*.tiff</translation>
    </message>
    <message>
        <source>Nimbrel (*.nbq)|*.nbq</source>
        <translation>Nimbrel (*.nbq)|*.nbq</translation>
    </message>
    <message>
        <source>JPEG Image File (*.jpg)|*.jpg</source>
        <translation>JPEG-Bilddatei (*.jpg)|*.jpg</translation>
    </message>
    <message>
        <source>Web Page (*.html)|*.html;*.htm</source>
        <translation>Webseite (*.html)|*.html;*.htm</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>About Crypsel</source>
        <translation>Über Crypsel</translation>
    </message>
    <message>
        <source>Copyright © 2024 the Quorra developers.</source>
        <translation>Copyright © 2024 die Quorra-Entwickler.</translation>
    </message>
    <message>
        <source>Show at Start</source>
        <translation>Beim Start zeigen</translation>
    </message>
    <message>
        <source>Unknown error code</source>
        <translation>Unbekannter Fehlercode</translation>
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
        <translation>Es konnte kein Webbrowser gestartet werden, um die Webseite anzuzeigen.
Sie können sie selbst öffnen:
%1</translation>
    </message>
</context>
</TS>
