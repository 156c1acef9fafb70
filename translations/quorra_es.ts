<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>BoardDescription</name>
    <message>
        <source>Grid of %1 rows and %2 columns.</source>
        <translation>Cuadrícula de %1 filas y %2 columnas.</translation>
    </message>
    <message>
        <source> Selected: row %1, column %2.</source>
        <translation> Seleccionada: fila %1, columna %2.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Quorra: a photo puzzle to pass on to a friend.</source>
        <translation>Quorra: un puzle fotográfico para pasárselo a un amigo.</translation>
    </message>
    <message>
        <source>Displays this help.</source>
        <translation>Muestra esta ayuda.</translation>
    </message>
    <message>
        <source>Displays version information.</source>
        <translation>Muestra la información de la versión.</translation>
    </message>
    <message>
        <source>Writes the puzzle as a web page that plays it in any browser, and exits.</source>
        <translation>Escribe el puzle como una página web que lo juega en cualquier navegador y termina.</translation>
    </message>
    <message>
        <source>The puzzle file (.nbq) to open.</source>
        <translation>El archivo de puzle (.nbq) que abrir.</translation>
    </message>
    <message>
        <source>--export-web needs a puzzle file and the page to write.</source>
        <translation>--export-web necesita un archivo de puzle y la página que escribir.</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>&amp;Obscure</source>
        <translation>&amp;Oscurecer</translation>
    </message>
    <message>
        <source>Obscure</source>
        <translation>Oscurecer</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Acercar</translation>
    </message>
    <message>
        <source>New...</source>
        <translation>Nuevo...</translation>
    </message>
    <message>
        <source>New Puzzle</source>
        <translation>Nuevo puzle</translation>
    </message>
    <message>
        <source>Actual &amp;Size</source>
        <translation>Tamaño &amp;real</translation>
    </message>
    <message>
        <source>Show actual size</source>
        <translation>Mostrar el tamaño real</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>Alejar</translation>
    </message>
    <message>
        <source>Best Fit</source>
        <translation>Ajustar</translation>
    </message>
    <message>
        <source>Auto Best Fit</source>
        <translation>Ajustar automáticamente</translation>
    </message>
    <message>
        <source>Empty &amp;Row</source>
        <translation>Fila &amp;vacía</translation>
    </message>
    <message>
        <source>Empty row</source>
        <translation>Fila vacía</translation>
    </message>
    <message>
        <source>Empty &amp;Column</source>
        <translation>&amp;Columna vacía</translation>
    </message>
    <message>
        <source>Empty column</source>
        <translation>Columna vacía</translation>
    </message>
    <message>
        <source>&amp;Dark</source>
        <translation>Os&amp;curo</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Oscuro</translation>
    </message>
    <message>
        <source>&amp;Transparent</source>
        <translation>&amp;Transparente</translation>
    </message>
    <message>
        <source>Transparent</source>
        <translation>Transparente</translation>
    </message>
    <message>
        <source>N&amp;egative</source>
        <translation>&amp;Negativo</translation>
    </message>
    <message>
        <source>Negative</source>
        <translation>Negativo</translation>
    </message>
    <message>
        <source>&amp;Hidden</source>
        <translation>Ocu&amp;lto</translation>
    </message>
    <message>
        <source>Hidden</source>
        <translation>Oculto</translation>
    </message>
    <message>
        <source>Top &amp;Secret</source>
        <translation>&amp;Alto secreto</translation>
    </message>
    <message>
        <source>&amp;SemiEffect</source>
        <translation>Efecto &amp;parcial</translation>
    </message>
    <message>
        <source>Do not apply the effect for selected cells</source>
        <translation>No aplicar el efecto a las casillas seleccionadas</translation>
    </message>
    <message>
        <source>About..</source>
        <translation>Acerca de..</translation>
    </message>
    <message>
        <source>Content...</source>
        <translation>Contenido...</translation>
    </message>
    <message>
        <source>&amp;Low Resolution</source>
        <translation>&amp;Baja resolución</translation>
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
        <translation>Mostrar al inicio</translation>
    </message>
    <message>
        <source>Show At Start</source>
        <translation>Mostrar al inicio</translation>
    </message>
    <message>
        <source>Open...</source>
        <translation>Abrir...</translation>
    </message>
    <message>
        <source>Open Puzzle</source>
        <translation>Abrir puzle</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Guardar como...</translation>
    </message>
    <message>
        <source>Save Puzzle</source>
        <translation>Guardar puzle</translation>
    </message>
    <message>
        <source>Save Image As...</source>
        <translation>Guardar imagen como...</translation>
    </message>
    <message>
        <source>Save Image</source>
        <translation>Guardar imagen</translation>
    </message>
    <message>
        <source>Send by E-Mail...</source>
        <translation>Enviar por correo...</translation>
    </message>
    <message>
        <source>Send by E-Mail</source>
        <translation>Enviar por correo</translation>
    </message>
    <message>
        <source>Tangle</source>
        <translation>Mezclar</translation>
    </message>
    <message>
        <source>Tangle Puzzle</source>
        <translation>Mezclar el puzle</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>Undo Move</source>
        <translation>Deshacer movimiento</translation>
    </message>
    <message>
        <source>Take the last move back</source>
        <translation>Deshacer el último movimiento</translation>
    </message>
    <message>
        <source>Redo Move</source>
        <translation>Rehacer movimiento</translation>
    </message>
    <message>
        <source>Make the move taken back again</source>
        <translation>Volver a hacer el movimiento deshecho</translation>
    </message>
    <message>
        <source>Save as Web Page...</source>
        <translation>Guardar como página web...</translation>
    </message>
    <message>
        <source>Save the puzzle as a web page that plays it in any browser</source>
        <translation>Guardar el puzle como una página web que lo juega en cualquier navegador</translation>
    </message>
    <message>
        <source>Full Screen</source>
        <translation>Pantalla completa</translation>
    </message>
    <message>
        <source>Show the window on the whole screen, or as before</source>
        <translation>Mostrar la ventana en toda la pantalla, o como antes</translation>
    </message>
    <message>
        <source>Restart</source>
        <translation>Reiniciar</translation>
    </message>
    <message>
        <source>Put the tangle back as it was when this game began</source>
        <translation>Devolver la mezcla a como estaba al empezar esta partida</translation>
    </message>
    <message>
        <source>&amp;Puzzle</source>
        <translation>&amp;Puzle</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ver</translation>
    </message>
    <message>
        <source>&amp;Split</source>
        <translation>&amp;División</translation>
    </message>
    <message>
        <source>E&amp;ffect</source>
        <translation>E&amp;fecto</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Edición</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Opciones</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Ayuda</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Sonido</translation>
    </message>
    <message>
        <source>Show Example...</source>
        <translation>Mostrar el ejemplo...</translation>
    </message>
    <message>
        <source>ToolBar1</source>
        <translation>Barra de herramientas</translation>
    </message>
</context>
<context>
    <name>IniFile</name>
    <message>
        <source>Unable to write to %1</source>
        <translation>No se puede escribir en %1</translation>
    </message>
</context>
<context>
    <name>Mail</name>
    <message>
        <source>Photo Puzzle</source>
        <translation>Puzle de foto</translation>
    </message>
    <message>
        <source>Hello!
I created for you puzzle that contain picture! If you
want to see the real picture, you should solve the puzzle!
To solve the puzzle, you will need the Quorra
program. You can download it for free:</source>
        <translation>¡Hola!
¡He creado para ti un puzle que esconde una imagen! Si
quieres ver la imagen real, ¡tienes que resolver el puzle!
Para resolverlo necesitarás el programa
Quorra. Puedes descargarlo gratis:</translation>
    </message>
    <message>
        <source>After you install the program, open the attached file
by double clicking it. With this software you will be
able to create new puzzles for your friends as well
as to solve the puzzles that were made for you!</source>
        <translation>Después de instalar el programa, abre el archivo adjunto
con un doble clic. Con este programa también podrás
crear puzles nuevos para tus amigos y resolver
los puzles que otros hayan hecho para ti.</translation>
    </message>
    <message>
        <source>No mail program could be started to send the puzzle.
Please attach the puzzle file to a message yourself:
%1</source>
        <translation>No se pudo iniciar ningún programa de correo para enviar el puzle.
Adjunte usted mismo el archivo del puzle a un mensaje:
%1</translation>
    </message>
    <message>
        <source>The puzzle file could not be read, so it was not sent:
%1</source>
        <translation>No se pudo leer el archivo del puzle, así que no se envió:
%1</translation>
    </message>
    <message>
        <source>The puzzle file cannot be handed to the mail program under its name.
Please attach the puzzle file to a message yourself:
%1</source>
        <translation>El archivo del puzle no se puede pasar al programa de correo con su nombre.
Adjunte usted mismo el archivo del puzle a un mensaje:
%1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a valid mail address.</source>
        <translation>«%1» no es una dirección de correo válida.</translation>
    </message>
</context>
<context>
    <name>Pictures</name>
    <message>
        <source>Stream read error</source>
        <translation>Error de lectura del flujo</translation>
    </message>
    <message>
        <source>Unknown GIF version</source>
        <translation>Versión de GIF desconocida</translation>
    </message>
    <message>
        <source>Not enough memory to read the GIF picture.</source>
        <translation>No hay memoria suficiente para leer la imagen GIF.</translation>
    </message>
    <message>
        <source>GIF encoded data is corrupt</source>
        <translation>Los datos GIF están dañados</translation>
    </message>
    <message>
        <source>GIF code size not in range 2 to 9</source>
        <translation>Tamaño de código GIF fuera del intervalo de 2 a 9</translation>
    </message>
    <message>
        <source>The picture is too large (%1 x %2 pixels).</source>
        <translation>La imagen es demasiado grande (%1 x %2 píxeles).</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>No se puede abrir el archivo «%1». %2</translation>
    </message>
    <message>
        <source>Bitmap image is not valid</source>
        <translation>La imagen de mapa de bits no es válida</translation>
    </message>
    <message>
        <source>%1 pictures cannot be read: Qt&apos;s image format plugins (qt6-image-formats-plugins) are not installed.</source>
        <translation>No se pueden leer imágenes %1: los complementos de formatos de imagen de Qt (qt6-image-formats-plugins) no están instalados.</translation>
    </message>
    <message>
        <source>%1 image is not valid</source>
        <translation>La imagen %1 no es válida</translation>
    </message>
    <message>
        <source>has more than %1 scans.</source>
        <translation>tiene más de %1 barridos.</translation>
    </message>
    <message>
        <source>has more than %1 MB of data besides its pixels.</source>
        <translation>tiene más de %1 MB de datos además de sus píxeles.</translation>
    </message>
    <message>
        <source>The picture takes more than %1 ms to decode.</source>
        <translation>Descodificar la imagen lleva más de %1 ms.</translation>
    </message>
    <message>
        <source>JPEG error #%1</source>
        <translation>Error JPEG n.º %1</translation>
    </message>
    <message>
        <source>Not enough memory for a picture of %1 x %2 pixels.</source>
        <translation>No hay memoria suficiente para una imagen de %1 x %2 píxeles.</translation>
    </message>
    <message>
        <source>The picture is damaged: it %1</source>
        <translation>La imagen está dañada: %1</translation>
    </message>
    <message>
        <source>This picture is too large: it needs more than 1 GB of memory.</source>
        <translation>Esta imagen es demasiado grande: necesita más de 1 GB de memoria.</translation>
    </message>
    <message>
        <source>It is a named pipe, not a file.</source>
        <translation>Es una tubería con nombre, no un archivo.</translation>
    </message>
    <message>
        <source>It is a socket, not a file.</source>
        <translation>Es un socket, no un archivo.</translation>
    </message>
    <message>
        <source>It is a device, not a file.</source>
        <translation>Es un dispositivo, no un archivo.</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>No es un archivo normal.</translation>
    </message>
    <message>
        <source>There is not enough memory to open this picture.</source>
        <translation>No hay memoria suficiente para abrir esta imagen.</translation>
    </message>
</context>
<context>
    <name>ProgramResources</name>
    <message>
        <source>No web browser could be started to show the help.
You can open the help file yourself:
%1</source>
        <translation>No se pudo iniciar ningún navegador web para mostrar la ayuda.
Puede abrir el archivo de ayuda usted mismo:
%1</translation>
    </message>
</context>
<context>
    <name>Puzzle</name>
    <message>
        <source>Edit</source>
        <translation>Modo</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>edición</translation>
    </message>
</context>
<context>
    <name>PuzzleArgument</name>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>No se puede abrir el archivo «%1». %2</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>No es un archivo normal.</translation>
    </message>
    <message>
        <source>Its name is not valid UTF-8; please rename it.</source>
        <translation>Su nombre no es UTF-8 válido; cámbiele el nombre.</translation>
    </message>
</context>
<context>
    <name>PuzzleFiles</name>
    <message>
        <source>The puzzle file &quot;%1&quot; is damaged: %2</source>
        <translation>El archivo de puzle «%1» está dañado: %2</translation>
    </message>
    <message>
        <source>it ends before its header is complete.</source>
        <translation>termina antes de que su cabecera esté completa.</translation>
    </message>
    <message>
        <source>its grid is not one that Quorra makes.</source>
        <translation>su cuadrícula no es de las que crea Quorra.</translation>
    </message>
    <message>
        <source>its picture </source>
        <translation>su imagen </translation>
    </message>
    <message>
        <source>JPEG error #%1</source>
        <translation>Error JPEG n.º %1</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>No se puede crear el archivo «%1». %2</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>No se puede abrir el archivo «%1». %2</translation>
    </message>
</context>
<context>
    <name>QFileDialog</name>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 ya existe.
¿Desea reemplazarlo?</translation>
    </message>
</context>
<context>
    <name>WebPageExport</name>
    <message>
        <source>The web page player is missing from this build of Quorra.</source>
        <translation>A esta compilación de Quorra le falta el reproductor de páginas web.</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>No se puede abrir el archivo «%1». %2</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>No se puede crear el archivo «%1». %2</translation>
    </message>
</context>
<context>
    <name>WindowTexts</name>
    <message>
        <source>Confirm</source>
        <translation>Confirmar</translation>
    </message>
    <message>
        <source>Save current puzzle?</source>
        <translation>¿Guardar el puzle actual?</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Información</translation>
    </message>
    <message>
        <source>This puzzle requires Quorra version %1 or later.</source>
        <translation>Este puzle requiere Quorra versión %1 o posterior.</translation>
    </message>
    <message>
        <source>The picture &quot;%1&quot; cannot be read.
%2</source>
        <translation>No se puede leer la imagen «%1».
%2</translation>
    </message>
    <message>
        <source>The picture &quot;%1&quot; is too large to open.</source>
        <translation>La imagen «%1» es demasiado grande para abrirla.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a picture Quorra can read.
Choose a BMP, JPEG, GIF, PNG, WebP or TIFF picture (.bmp, .jpg, .gif, .png, .webp or .tif).</source>
        <translation>«%1» no es una imagen que Quorra pueda leer.
Elija una imagen BMP, JPEG, GIF, PNG, WebP o TIFF (.bmp, .jpg, .gif, .png, .webp o .tif).</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be opened by Quorra.
Drop a puzzle file (.nbq) to solve it, or a BMP, JPEG, GIF, PNG, WebP or TIFF picture (.bmp, .jpg, .gif, .png, .webp or .tif) to make a new puzzle.</source>
        <translation>Quorra no puede abrir «%1».
Suelte un archivo de puzle (.nbq) para resolverlo, o una imagen BMP, JPEG, GIF, PNG, WebP o TIFF (.bmp, .jpg, .gif, .png, .webp o .tif) para crear un puzle nuevo.</translation>
    </message>
    <message>
        <source>There is not enough memory to complete this command.</source>
        <translation>No hay memoria suficiente para completar esta orden.</translation>
    </message>
    <message>
        <source>Make a puzzle from a photograph with Puzzle &gt; New..., open one with Puzzle &gt; Open..., or drop either on this window.</source>
        <translation>Cree un puzle a partir de una foto con Puzle &gt; Nuevo..., abra uno con Puzle &gt; Abrir..., o suelte cualquiera de los dos en esta ventana.</translation>
    </message>
    <message>
        <source>Moves: %1    Time: %2</source>
        <translation>Movimientos: %1    Tiempo: %2</translation>
    </message>
    <message>
        <source>Solved in %1 move, %2</source>
        <translation>Resuelto en %1 movimiento, %2</translation>
    </message>
    <message>
        <source>Solved in %1 moves, %2</source>
        <translation>Resuelto en %1 movimientos, %2</translation>
    </message>
    <message>
        <source>Continued: %1 move, %2</source>
        <translation>Continuación: %1 movimiento, %2</translation>
    </message>
    <message>
        <source>Continued: %1 moves, %2</source>
        <translation>Continuación: %1 movimientos, %2</translation>
    </message>
    <message>
        <source>Play Again</source>
        <translation>Jugar otra vez</translation>
    </message>
    <message>
        <source>; best before: %1 move, %2</source>
        <translation>; mejor marca: %1 movimiento, %2</translation>
    </message>
    <message>
        <source>; best before: %1 moves, %2</source>
        <translation>; mejor marca: %1 movimientos, %2</translation>
    </message>
    <message>
        <source>Open an Image to Create Puzzle</source>
        <translation>Abrir una imagen para crear un puzle</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Guardar como</translation>
    </message>
    <message>
        <source>Save Image As</source>
        <translation>Guardar imagen como</translation>
    </message>
    <message>
        <source>Save as Web Page</source>
        <translation>Guardar como página web</translation>
    </message>
    <message>
        <source>All (*.gif;*.jpg;*.bmp;*.png;*.webp;*.tif)|*.gif;*.jpg;*.jpeg;*.jpe;*.jfif;*.bmp;*.png;*.webp;*.tif;*.tiff|CompuServe GIF Image (*.gif)|*.gif|JPEG Image File (*.jpg)|*.jpg;*.jpeg;*.jpe;*.jfif|Bitmaps (*.bmp)|*.bmp|PNG Image (*.png)|*.png|WebP Image (*.webp)|*.webp|TIFF Image (*.tif)|*.tif;*.tiff</source>
        <translation>Todas (*.gif;*.jpg;*.bmp;*.png;*.webp;*.tif)|*.gif;*.jpg;*.jpeg;*.jpe;*.jfif;*.bmp;*.png;*.webp;*.tif;*.tiff|Imagen GIF de CompuServe (*.gif)|*.gif|Archivo de imagen JPEG (*.jpg)|*.jpg;*.jpeg;*.jpe;*.jfif|Mapas de bits (*.bmp)|*.bmp|Imagen PNG (*.png)|*.png|Imagen WebP (*.webp)|*.webp|Imagen TIFF (*.tif)|*.tif;*.tiff</translation>
    </message>
    <message>
        <source>Nimbrel (*.nbq)|*.nbq</source>
        <translation>Nimbrel (*.nbq)|*.nbq</translation>
    </message>
    <message>
        <source>JPEG Image File (*.jpg)|*.jpg</source>
        <translation>Archivo de imagen JPEG (*.jpg)|*.jpg</translation>
    </message>
    <message>
        <source>Web Page (*.html)|*.html;*.htm</source>
        <translation>Página web (*.html)|*.html;*.htm</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>About Crypsel</source>
        <translation>Acerca de Crypsel</translation>
    </message>
    <message>
        <source>Copyright © 2024 the Quorra developers.</source>
        <translation>Copyright © 2024 los desarrolladores de Quorra.</translation>
    </message>
    <message>
        <source>Show at Start</source>
        <translation>Mostrar al inicio</translation>
    </message>
    <message>
        <source>Unknown error code</source>
        <translation>Código de error desconocido</translation>
    </message>
</context>
<context>
    <name>quorra::AboutDialog</name>
    <message>
        <source>Version %1</source>
        <translation>Versión %1</translation>
    </message>
    <message>
        <source>No web browser could be started to show the web page.
You can open it yourself:
%1</source>
        <translation>No se pudo iniciar ningún navegador web para mostrar la página web.
Puede abrirla usted mismo:
%1</translation>
    </message>
</context>
</TS>
