// SPDX-License-Identifier: GPL-3.0-or-later
// Playing from the keyboard: the selection over the cells, turning lines, the advice key, and undo and redo
// through their commands, driven the way a person's keys reach the window.
#include "../../PuzzleProbe.h"
#include "PictureView.h"
#include "PlayControllerProbe.h"
#include "PlayStatus.h"
#include "WindowFixture.h"

#include <QAccessible>
#include <QAction>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>

using namespace quorra;

namespace {

// A 300 x 200 picture split 2 x 3; row 1 turned right by one cell and row 2 by two (3 1 2 / 5 6 4).
struct Game {
    WindowFixture f;
    PictureView *image = nullptr;

    Game()
    {
        f.open(f.makePuzzleFile(QStringLiteral("k.nbq"), 300, 200, 2, 3));
        image = f.form->pictureView();
        Puzzle &p = puzzle();
        PuzzleProbe(p).grid().reset();
        PuzzleProbe(p).grid().shift(CellPos(1, 1), CellPos(2, 1));
        PuzzleProbe(p).grid().shift(CellPos(1, 2), CellPos(3, 2));
        PuzzleProbe(p).setSelected(NoCell);
        p.renderAll();
        f.form->updateCommands();
        f.form->activateWindow();
        image->clearFocus();
        image->setFocus(Qt::TabFocusReason);
    }
    Puzzle &puzzle() const { return *f.form->documents().puzzle(); }
    QString rows() const
    {
        QStringList lines;
        for (int r = 1; r <= 2; ++r) {
            QStringList numbers;
            for (int c = 1; c <= 3; ++c)
                numbers << QString::number(puzzle().grid().tileAt(CellPos(c, r)).number);
            lines << numbers.join(' ');
        }
        return lines.join(" / ");
    }
    // What the sound players record for Sounds played in order.
    static QStringList plays(const QStringList &sounds)
    {
        QStringList expected;
        for (const QString &sound : sounds)
            expected << QStringLiteral("Play|") + sound;
        return expected;
    }
    // Keys as QKeySequence spells them, one after the other, each to the widget that has the focus.
    void type(const QString &keys)
    {
        for (const QString &key : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QKeyCombination combination = QKeySequence(key)[0];
            QTest::keyClick(QApplication::focusWidget(), combination.key(), combination.keyboardModifiers());
            f.form->updateCommands();
        }
    }
};

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void keys_data();
    void keys();
    void keyboardGameWithUndoAndRedoReachesVictory();
    void aNewPuzzleTakesTheFocus();
    void keysDuringAnOpeningTangleAreDropped();
    void theSelectionFrameTravelsToItsCell_data();
    void theSelectionFrameTravelsToItsCell();
    void nothingPlaysDuringASlideOrTheAdvice_data();
    void nothingPlaysDuringASlideOrTheAdvice();
    void undoAndRedoFollowTheMovesByThemselves_data();
    void undoAndRedoFollowTheMovesByThemselves();
};

void TestKeyboard::keys_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<CellPos>("selected");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QStringList>("sounds"); // each Move.wav is a move the status bar counts

    const QString start = QStringLiteral("3 1 2 / 5 6 4");
    // Taking the focus selects the top-left cell.
    QTest::newRow("focus") << "" << CellPos(1, 1) << start << QStringList();
    QTest::newRow("arrows walk and wrap") << "Left Left Up Right" << CellPos(3, 2) << start << QStringList();
    QTest::newRow("shift turns the row, wrapping")
        << "Right Right Shift+Right" << CellPos(1, 1) << "2 3 1 / 5 6 4" << QStringList{"Move.wav"};
    QTest::newRow("shift turns the column")
        << "Right Shift+Down" << CellPos(2, 2) << "3 6 2 / 5 1 4" << QStringList{"Move.wav"};
    QTest::newRow("space and the menu key show the advice")
        << "Space Menu" << CellPos(1, 1) << start << QStringList{"Advice.wav", "Advice.wav"};
    QTest::newRow("other modifiers are not play")
        << "Ctrl+Right Alt+Shift+Left" << CellPos(1, 1) << start << QStringList();
    QTest::newRow("undo and redo") << "Shift+Left Shift+Down Ctrl+Z Ctrl+Z Ctrl+Shift+Z" << CellPos(3, 1)
                                   << "1 2 3 / 5 6 4"
                                   << QStringList{"Move.wav", "Move.wav", "Move.wav", "Move.wav", "Move.wav"};
    QTest::newRow("nothing to undo") << "Ctrl+Z Ctrl+Y" << CellPos(1, 1) << start << QStringList();
}

void TestKeyboard::keys()
{
    QFETCH(QString, keys);
    QFETCH(CellPos, selected);
    QFETCH(QString, rows);
    QFETCH(QStringList, sounds);

    Game g;
    QVERIFY(g.image->hasFocus());
    g.type(keys);
    QCOMPARE(g.puzzle().selected(), selected);
    QCOMPARE(g.rows(), rows);
    QCOMPARE(g.f.played(), Game::plays(sounds));
    QCOMPARE(g.f.form->playStatus().clock().moves(), int(sounds.count(QStringLiteral("Move.wav"))));
    QCOMPARE(g.puzzle().dragState(), DragState::Idle);
}

void TestKeyboard::keyboardGameWithUndoAndRedoReachesVictory()
{
    Game g;
    QCOMPARE(g.image->accessibleName(), QStringLiteral("Puzzle"));
    g.type(QStringLiteral("Shift+Left Ctrl+Z"));
    QVERIFY(g.f.form->commands().action(Command::RedoMove)->isEnabled());
    QVERIFY(!g.f.form->commands().action(Command::UndoMove)->isEnabled());
    g.type(QStringLiteral("Ctrl+Y Down"));
    // A screen reader's description follows the selection and, at the end, gives the result.
    QVERIFY2(g.image->accessibleDescription().contains(QStringLiteral("Selected: row 2, column 3.")),
             qPrintable(g.image->accessibleDescription()));
    QVERIFY(g.f.form->commands().action(Command::UndoMove)->isEnabled());
    g.type(QStringLiteral("Shift+Right"));

    Puzzle &p = g.puzzle();
    QVERIFY(p.isSolved());
    QCOMPARE(p.display(), PuzzleProbe(p).plainPicture());
    // Solved, the board is described by its result.
    QCOMPARE(g.image->accessibleDescription(),
             QStringLiteral("Grid of 2 rows and 3 columns. ") + g.f.form->playStatus().text());
    QCOMPARE(g.f.played().last(), QStringLiteral("Play|Victory.wav"));
    // Solved for good: nothing to take back, and the keys no longer play.
    QVERIFY(!g.f.form->commands().action(Command::UndoMove)->isEnabled());
    QVERIFY(!g.f.form->commands().action(Command::RedoMove)->isEnabled());
    g.type(QStringLiteral("Shift+Left Ctrl+Z"));
    QVERIFY(p.grid().isSolved());
}

void TestKeyboard::aNewPuzzleTakesTheFocus()
{
    WindowFixture f;
    f.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
    f.form->setFocus();
    f.open(f.makePuzzleFile(QStringLiteral("o.nbq"), 300, 200));
    QVERIFY(f.form->pictureView()->hasFocus());
    f.form->setFocus();
    f.New(f.makePicture(QStringLiteral("n.bmp"), 400, 300));
    QVERIFY(f.form->pictureView()->hasFocus());
}

void TestKeyboard::keysDuringAnOpeningTangleAreDropped()
{
    // The tangle waits between its steps with the event loop running: turns pressed meanwhile once passed the
    // grid through its solved arrangement and recorded a victory that no one played.
    WindowFixture f;
    f.form->setTangleStepMs(5);
    int steps = 0;
    connect(f.form.get(), &MainWindow::tangleStepped, f.form.get(), [&] {
        if (steps++ > 0)
            return;
        for (const int key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up,
                              Qt::Key_Right, Qt::Key_Down})
            QCoreApplication::postEvent(f.form->pictureView(), new QKeyEvent(QEvent::KeyPress, key, Qt::ShiftModifier));
    });
    f.open(f.makePuzzleFile(QStringLiteral("t.nbq"), 300, 200, 2, 2));
    QVERIFY(steps > 1);

    const Puzzle &p = *f.form->documents().puzzle();
    QVERIFY(!p.isSolved());
    QVERIFY(!p.canUndo());
    QCOMPARE(f.played(), QStringList());
    QCOMPARE(f.form->playStatus().clock().moves(), 0);
}

void TestKeyboard::nothingPlaysDuringASlideOrTheAdvice_data()
{
    QTest::addColumn<QString>("first"); // starts the slide or the advice
    QTest::addColumn<QString>("during");
    QTest::addColumn<bool>("zoomDuring");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QStringList>("sounds");

    const QString start = QStringLiteral("3 1 2 / 5 6 4");
    QTest::newRow("turns and advice during a slide")
        << "Shift+Right"
        << "Shift+Right Shift+Down Space" << false << "2 3 1 / 5 6 4" << QStringList{"Move.wav"};
    QTest::newRow("a turn and undo during the advice")
        << "Space"
        << "Shift+Right Ctrl+Z" << false << start << QStringList{"Advice.wav"};
    QTest::newRow("a zoom during a slide") << "Shift+Right"
                                           << "" << true << "2 3 1 / 5 6 4" << QStringList{"Move.wav"};
}

// The window runs while a line slides or the advice flashes: what a person does meanwhile must not reach the
// puzzle under it, and a close asked for then comes once it has ended.
void TestKeyboard::nothingPlaysDuringASlideOrTheAdvice()
{
    QFETCH(QString, first);
    QFETCH(QString, during);
    QFETCH(bool, zoomDuring);
    QFETCH(QString, rows);
    QFETCH(QStringList, sounds);

    Game g;
    g.f.form->setSlideFrameMs(100);
    g.f.form->setAdviceMs(500);
    g.type(first);
    QVERIFY(g.puzzle().isAnimating());
    const double scale = g.puzzle().scale();
    g.type(during);
    if (zoomDuring)
        g.f.form->commands().action(Command::ZoomOut)->trigger();
    QVERIFY(!g.f.form->close());
    QVERIFY(g.puzzle().isAnimating()); // all of the above came while it ran
    QCOMPARE(g.puzzle().scale(), scale);
    QTRY_VERIFY(!g.f.form->isVisible());

    QVERIFY(!g.puzzle().isAnimating());
    QCOMPARE(g.rows(), rows);
    QCOMPARE(g.f.played(), Game::plays(sounds));
    QCOMPARE(g.f.form->playStatus().clock().moves(), int(sounds.count(QStringLiteral("Move.wav"))));
    QCOMPARE(g.puzzle().dragState(), DragState::Idle);
}

void TestKeyboard::theSelectionFrameTravelsToItsCell_data()
{
    QTest::addColumn<QString>("during");
    QTest::addColumn<bool>("landsAtOnce");
    QTest::newRow("left to itself") << "" << false;
    QTest::newRow("another arrow") << "Down" << false;
    QTest::newRow("a turn") << "Shift+Down" << true;
    QTest::newRow("a zoom") << "Ctrl+-" << true;
}

// The frame travels over the picture while its cell wears none, and nothing it passes keeps a trace of it.
void TestKeyboard::theSelectionFrameTravelsToItsCell()
{
    QFETCH(QString, during);
    QFETCH(bool, landsAtOnce);
    Game g;
    SelectionSlide &slide = PlayControllerProbe(g.f.form->play()).selectionSlide();
    slide.setDurationMs(400);
    g.type(QStringLiteral("Right"));
    const QImage &display = *g.image->bitmap();
    const auto framed = [&] {
        const QRect cell = g.puzzle().cellRect(g.puzzle().selected());
        return display.pixel(cell.topLeft()) == qRgb(0, 0, 0)
               && display.pixel(cell.topLeft() + QPoint(1, 1)) == qRgb(255, 255, 255);
    };
    QVERIFY(slide.frame());
    QVERIFY(!framed());
    g.type(QStringLiteral("Right"));
    QTRY_VERIFY(slide.frame() && slide.frame()->left() > g.puzzle().cellRect(CellPos(2, 1)).left());
    g.type(during);
    if (landsAtOnce)
        QVERIFY(!slide.isRunning());
    QTRY_VERIFY(!slide.isRunning());
    QVERIFY(framed());
    QCOMPARE(g.puzzle().selected().x(), 3);
}

void TestKeyboard::undoAndRedoFollowTheMovesByThemselves_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("undo");
    QTest::addColumn<bool>("redo");
    QTest::newRow("a move") << "Right Shift+Right" << true << false;
    QTest::newRow("an undo") << "Right Shift+Right Ctrl+Z" << false << true;
    QTest::newRow("a redo") << "Right Shift+Right Ctrl+Z Ctrl+Shift+Z" << true << false;
}

void TestKeyboard::undoAndRedoFollowTheMovesByThemselves()
{
    QFETCH(QString, keys);
    QFETCH(bool, undo);
    QFETCH(bool, redo);
    Game g;
    QVERIFY(!g.f.form->commands().action(Command::UndoMove)->isEnabled());
    // No explicit pass between the keys or after them: each move's end is a change the commands follow.
    for (const QString &key : keys.split(QLatin1Char(' '))) {
        const QKeyCombination combination = QKeySequence(key)[0];
        QTest::keyClick(QApplication::focusWidget(), combination.key(), combination.keyboardModifiers());
        QCoreApplication::processEvents();
    }
    QTRY_COMPARE(g.f.form->commands().action(Command::UndoMove)->isEnabled(), undo);
    QTRY_COMPARE(g.f.form->commands().action(Command::RedoMove)->isEnabled(), redo);
}

QTEST_MAIN(TestKeyboard)
#include "TestKeyboard.moc"
