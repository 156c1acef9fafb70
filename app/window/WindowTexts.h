// SPDX-License-Identifier: GPL-3.0-or-later
// Every text the window and its dialogs show: questions, messages, the status bar, the file dialogs' titles and
// filters, the about box and the demo window. The commands' captions and hints and the menus' titles are in their
// rows of the command list (CommandList.cpp).
#pragma once

#include <QCoreApplication>
#include <QString>

namespace quorra {

// The person reads these; they keep their exact spelling, accelerators and punctuation included. They are the
// English originals: commands and menus are translated in the context "Commands", all others in "WindowTexts".
namespace WindowTexts {

// One of the constants below (not a command's) in the person's language; the English text when no translation is
// loaded.
inline QString text(const char *english)
{
    return QCoreApplication::translate("WindowTexts", english);
}

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

} // namespace quorra
