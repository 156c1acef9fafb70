// Every text the window and its dialogs show: command captions and hints, menu titles, questions, messages, the
// status bar, the file dialogs' titles and filters, the about box and the demo window.
#pragma once

#include <QCoreApplication>
#include <QString>

// The person reads these; they keep their exact spelling, accelerators and punctuation included. They are the
// English originals: commands and menus are translated in the context "Commands", all others in "WindowTexts".
namespace WindowTexts {

// One of the constants below (not a command's) in the person's language; the English text when no translation is
// loaded.
inline QString text(const char *english)
{
    return QCoreApplication::translate("WindowTexts", english);
}

// A command's caption and its hint (tool tip and status tip); a command without a hint shows none.
struct CommandText {
    const char *caption;
    const char *hint;
};

// In the order of the command list (see Command in CommandTable.h).
inline constexpr CommandText Commands[] = {
    {QT_TRANSLATE_NOOP("Commands", "&Obscure"), QT_TRANSLATE_NOOP("Commands", "Obscure")},
    {QT_TRANSLATE_NOOP("Commands", "Zoom In"), QT_TRANSLATE_NOOP("Commands", "Zoom In")},
    {QT_TRANSLATE_NOOP("Commands", "New..."), QT_TRANSLATE_NOOP("Commands", "New Puzzle")},
    {QT_TRANSLATE_NOOP("Commands", "Actual &Size"), QT_TRANSLATE_NOOP("Commands", "Show actual size")},
    {QT_TRANSLATE_NOOP("Commands", "Zoom Out"), QT_TRANSLATE_NOOP("Commands", "Zoom Out")},
    {QT_TRANSLATE_NOOP("Commands", "Best Fit"), QT_TRANSLATE_NOOP("Commands", "Best Fit")},
    {QT_TRANSLATE_NOOP("Commands", "Auto Best Fit"), QT_TRANSLATE_NOOP("Commands", "Auto Best Fit")},
    {QT_TRANSLATE_NOOP("Commands", "Empty &Row"), QT_TRANSLATE_NOOP("Commands", "Empty row")},
    {QT_TRANSLATE_NOOP("Commands", "Empty &Column"), QT_TRANSLATE_NOOP("Commands", "Empty column")},
    {QT_TRANSLATE_NOOP("Commands", "&Dark"), QT_TRANSLATE_NOOP("Commands", "Dark")},
    {QT_TRANSLATE_NOOP("Commands", "&Transparent"), QT_TRANSLATE_NOOP("Commands", "Transparent")},
    {QT_TRANSLATE_NOOP("Commands", "N&egative"), QT_TRANSLATE_NOOP("Commands", "Negative")},
    {QT_TRANSLATE_NOOP("Commands", "&Hidden"), QT_TRANSLATE_NOOP("Commands", "Hidden")},
    {QT_TRANSLATE_NOOP("Commands", "Top &Secret"), ""},
    {QT_TRANSLATE_NOOP("Commands", "&SemiEffect"),
     QT_TRANSLATE_NOOP("Commands", "Do not apply the effect for selected cells")},
    {QT_TRANSLATE_NOOP("Commands", "About.."), ""},
    {QT_TRANSLATE_NOOP("Commands", "Content..."), ""},
    {QT_TRANSLATE_NOOP("Commands", "&Low Resolution"), ""},
    {QT_TRANSLATE_NOOP("Commands", "2x2"), ""},
    {QT_TRANSLATE_NOOP("Commands", "3x2"), ""},
    {QT_TRANSLATE_NOOP("Commands", "4x2"), ""},
    {QT_TRANSLATE_NOOP("Commands", "2x3"), ""},
    {QT_TRANSLATE_NOOP("Commands", "3x3"), ""},
    {QT_TRANSLATE_NOOP("Commands", "4x3"), ""},
    {QT_TRANSLATE_NOOP("Commands", "2x4"), ""},
    {QT_TRANSLATE_NOOP("Commands", "3x4"), ""},
    {QT_TRANSLATE_NOOP("Commands", "4x4"), ""},
    {QT_TRANSLATE_NOOP("Commands", "Show at Start"), QT_TRANSLATE_NOOP("Commands", "Show At Start")},
    {QT_TRANSLATE_NOOP("Commands", "Open..."), QT_TRANSLATE_NOOP("Commands", "Open Puzzle")},
    {QT_TRANSLATE_NOOP("Commands", "Save As..."), QT_TRANSLATE_NOOP("Commands", "Save Puzzle")},
    {QT_TRANSLATE_NOOP("Commands", "Save Image As..."), QT_TRANSLATE_NOOP("Commands", "Save Image")},
    {QT_TRANSLATE_NOOP("Commands", "Send by E-Mail..."), QT_TRANSLATE_NOOP("Commands", "Send by E-Mail")},
    {QT_TRANSLATE_NOOP("Commands", "Tangle"), QT_TRANSLATE_NOOP("Commands", "Tangle Puzzle")},
    {QT_TRANSLATE_NOOP("Commands", "Exit"), ""},
    {QT_TRANSLATE_NOOP("Commands", "Undo Move"), QT_TRANSLATE_NOOP("Commands", "Take the last move back")},
    {QT_TRANSLATE_NOOP("Commands", "Redo Move"), QT_TRANSLATE_NOOP("Commands", "Make the move taken back again")},
    {QT_TRANSLATE_NOOP("Commands", "Save as Web Page..."),
     QT_TRANSLATE_NOOP("Commands", "Save the puzzle as a web page that plays it in any browser")},
    {QT_TRANSLATE_NOOP("Commands", "Full Screen"),
     QT_TRANSLATE_NOOP("Commands", "Show the window on the whole screen, or as before")},
    {QT_TRANSLATE_NOOP("Commands", "Restart"),
     QT_TRANSLATE_NOOP("Commands", "Put the tangle back as it was when this game began")},
};

// Menu titles and the two menu items that are not commands.
inline constexpr char PuzzleMenu[] = QT_TRANSLATE_NOOP("Commands", "&Puzzle");
inline constexpr char ViewMenu[] = QT_TRANSLATE_NOOP("Commands", "&View");
inline constexpr char SplitMenu[] = QT_TRANSLATE_NOOP("Commands", "&Split");
inline constexpr char EffectMenu[] = QT_TRANSLATE_NOOP("Commands", "E&ffect");
inline constexpr char EditMenu[] = QT_TRANSLATE_NOOP("Commands", "&Edit");
inline constexpr char OptionsMenu[] = QT_TRANSLATE_NOOP("Commands", "&Options");
inline constexpr char HelpMenu[] = QT_TRANSLATE_NOOP("Commands", "&Help");
inline constexpr char SoundItem[] = QT_TRANSLATE_NOOP("Commands", "Sound");
inline constexpr char ShowExampleItem[] = QT_TRANSLATE_NOOP("Commands", "Show Example...");
inline constexpr char ToolBarTitle[] = QT_TRANSLATE_NOOP("Commands", "ToolBar1");

// Between the program's name and the puzzle's title in the window title.
inline constexpr char TitleSeparator[] = " - ";

// The question before a modified puzzle is given up.
inline constexpr char ConfirmCaption[] = QT_TRANSLATE_NOOP("WindowTexts", "Confirm");
inline constexpr char SaveCurrentPuzzle[] = QT_TRANSLATE_NOOP("WindowTexts", "Save current puzzle?");

inline constexpr char InformationCaption[] = QT_TRANSLATE_NOOP("WindowTexts", "Information");
// %1 is the file's version.
inline constexpr char PuzzleTooNew[] =
    QT_TRANSLATE_NOOP("WindowTexts", "This puzzle requires Quorra version %1 or later.");
// %1 is the picture's path; %2 the reader's own words.
inline constexpr char PictureUnreadable[] = QT_TRANSLATE_NOOP("WindowTexts", "The picture \"%1\" cannot be read.\n%2");
inline constexpr char PictureTooLarge[] = QT_TRANSLATE_NOOP("WindowTexts", "The picture \"%1\" is too large to open.");
inline constexpr char NotAPicture[] = QT_TRANSLATE_NOOP(
    "WindowTexts",
    "\"%1\" is not a picture Quorra can read.\nChoose a BMP, JPEG, GIF, PNG, WebP or TIFF picture (.bmp, .jpg, "
    ".gif, .png, .webp or .tif).");
// %1 is the dropped file's path.
inline constexpr char DropRefused[] = QT_TRANSLATE_NOOP(
    "WindowTexts",
    "\"%1\" cannot be opened by Quorra.\nDrop a puzzle file (.nbq) to solve it, or a BMP, JPEG, GIF, PNG, WebP or "
    "TIFF picture (.bmp, .jpg, .gif, .png, .webp or .tif) to make a new puzzle.");

// An allocation that failed is told in words, never as the library's "std::bad_alloc"; opening a picture says
// so in the readers' own words (notEnoughMemoryText()).
inline constexpr char NoMemoryForCommand[] =
    QT_TRANSLATE_NOOP("WindowTexts", "There is not enough memory to complete this command.");

// On the empty panel while there is no puzzle.
inline constexpr char NoPuzzleHint[] = QT_TRANSLATE_NOOP(
    "WindowTexts",
    "Make a puzzle from a photograph with Puzzle > New..., open one with Puzzle > Open..., or drop either on "
    "this window.");

// The status bar's line about the game on screen. %1 is a number of moves, %2 a time as m:ss or h:mm:ss.
inline constexpr char PlayProgress[] = QT_TRANSLATE_NOOP("WindowTexts", "Moves: %1    Time: %2");
inline constexpr char SolvedInOneMove[] = QT_TRANSLATE_NOOP("WindowTexts", "Solved in %1 move, %2");
inline constexpr char SolvedInMoves[] = QT_TRANSLATE_NOOP("WindowTexts", "Solved in %1 moves, %2");
// A game kept from before, opened again, until its next move.
inline constexpr char ContinuedOneMove[] = QT_TRANSLATE_NOOP("WindowTexts", "Continued: %1 move, %2");
inline constexpr char ContinuedMoves[] = QT_TRANSLATE_NOOP("WindowTexts", "Continued: %1 moves, %2");
// The button over the revealed picture at the victory.
inline constexpr char PlayAgain[] = QT_TRANSLATE_NOOP("WindowTexts", "Play Again");
// Follows the victory's line when the puzzle was solved before on this computer.
inline constexpr char BestBeforeOneMove[] = QT_TRANSLATE_NOOP("WindowTexts", "; best before: %1 move, %2");
inline constexpr char BestBeforeMoves[] = QT_TRANSLATE_NOOP("WindowTexts", "; best before: %1 moves, %2");

// The file dialogs: titles, and filters as "description|patterns" pairs.
inline constexpr char OpenPictureTitle[] = QT_TRANSLATE_NOOP("WindowTexts", "Open an Image to Create Puzzle");
inline constexpr char OpenPuzzleTitle[] = QT_TRANSLATE_NOOP("WindowTexts", "Open");
inline constexpr char SavePuzzleTitle[] = QT_TRANSLATE_NOOP("WindowTexts", "Save As");
inline constexpr char SaveImageTitle[] = QT_TRANSLATE_NOOP("WindowTexts", "Save Image As");
inline constexpr char SaveWebPageTitle[] = QT_TRANSLATE_NOOP("WindowTexts", "Save as Web Page");
// The picture filter lists every extension that readPictureFile reads.
inline constexpr char PictureFilter[] = QT_TRANSLATE_NOOP(
    "WindowTexts",
    "All (*.gif;*.jpg;*.bmp;*.png;*.webp;*.tif)|*.gif;*.jpg;*.jpeg;*.jpe;*.jfif;*.bmp;*.png;*.webp;*.tif;*.tiff|"
    "CompuServe GIF Image (*.gif)|*.gif|JPEG Image File (*.jpg)|*.jpg;*.jpeg;*.jpe;*.jfif|Bitmaps (*.bmp)|*.bmp|"
    "PNG Image (*.png)|*.png|WebP Image (*.webp)|*.webp|TIFF Image (*.tif)|*.tif;*.tiff");
inline constexpr char PuzzleFilter[] = QT_TRANSLATE_NOOP("WindowTexts", "Nimbrel (*.nbq)|*.nbq");
inline constexpr char JpegFilter[] = QT_TRANSLATE_NOOP("WindowTexts", "JPEG Image File (*.jpg)|*.jpg");
inline constexpr char WebPageFilter[] = QT_TRANSLATE_NOOP("WindowTexts", "Web Page (*.html)|*.html;*.htm");

inline constexpr char OkButton[] = QT_TRANSLATE_NOOP("WindowTexts", "OK");

// The about box, besides the program's name, version and web address.
inline constexpr char AboutTitle[] = QT_TRANSLATE_NOOP("WindowTexts", "About Crypsel");
inline constexpr char AboutCopyright[] =
    QT_TRANSLATE_NOOP("WindowTexts", "Copyright \u00A9 2024 the Quorra developers.");

// The demo window.
inline constexpr char DemoTitle[] = "Nimbrel";
inline constexpr char ShowAtStart[] = QT_TRANSLATE_NOOP("WindowTexts", "Show at Start");
// Said when the media layer refuses the video without a word of its own.
inline constexpr char UnknownVideoError[] = QT_TRANSLATE_NOOP("WindowTexts", "Unknown error code");

} // namespace WindowTexts
