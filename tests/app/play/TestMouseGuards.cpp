// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the mouse around a drag: the advice, the victory, a picture closed to the mouse, and the pointer freed
// by a busy handler, a leave, a menu, an error or a lost focus.
#include "MouseGame.h"
#include "PicturePanel.h"
#include "PlayControllerProbe.h"

#include <QAction>
#include <QMenu>
#include <QStandardPaths>
#include <QTest>

using namespace quorra;

class TestMouseGuards : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void rightClickFlashesTheHome_data();
    void rightClickFlashesTheHome();
    void solvingMoveRunsTheVictorySequenceOnce_data();
    void solvingMoveRunsTheVictorySequenceOnce();
    void pictureIgnoresTheMouse_data();
    void pictureIgnoresTheMouse();
    void busyHandlersDoNothingButAReleaseFreesThePointer();
    void leavingThePictureDeselectsAndFrees();
    void menusAndErrorsFreeThePointer();
    void losingTheFocusFreesThePointer();
};

void TestMouseGuards::rightClickFlashesTheHome_data()
{
    QTest::addColumn<bool>("emptyRow");
    QTest::addColumn<CellPos>("clicked"); // grid positions
    QTest::addColumn<CellPos>("home");

    // Row 1 is 3 1 2: the 3 at (1,1) belongs at (3,1).
    QTest::newRow("a piece away from home") << false << CellPos(1, 1) << CellPos(3, 1);
    QTest::newRow("a piece at home") << false << CellPos(1, 2) << CellPos(1, 2);
    QTest::newRow("an empty cell: the first empty place") << true << CellPos(2, 3) << CellPos(1, 3);
}

void TestMouseGuards::rightClickFlashesTheHome()
{
    QFETCH(bool, emptyRow);
    QFETCH(CellPos, clicked);
    QFETCH(CellPos, home);
    Game G(1, 0);
    if (emptyRow) {
        // A new 2 x 2 puzzle with an empty row, tangled and then set to a known arrangement.
        G.f.form->commands().action(Command::EmptyRow)->setChecked(true);
        G.f.New(G.f.makePicture(QStringLiteral("e.bmp"), 300, 200));
        G.f.run(G.f.form->commands().action(Command::Tangle));
        Puzzle &p = G.puzzle();
        QCOMPARE(p.grid().totalRows(), 3);
        PuzzleProbe(p).grid().reset();
        PuzzleProbe(p).grid().shift(CellPos(1, 1), CellPos(2, 1));
        PuzzleProbe(p).setSolved(false);
        p.renderAll();
        G.f.form->updateCommands();
        QVERIFY(p.grid().isEmpty(CellPos(2, 3)));
    }

    const int w = G.puzzle().cellWidth();
    const int h = G.puzzle().cellHeight();
    const QPoint click((clicked.x() - 1) * w + w / 3, (clicked.y() - 1) * h + h / 3);
    const QRect flash((home.x() - 1) * w, (home.y() - 1) * h, w, h);
    QList<QRect> changes;
    QImage During;
    // Beside the window's own connection, which repaints.
    QObject::connect(&G.puzzle(), &Puzzle::displayChanged, &G.puzzle(), [&](const QRect &rect) {
        if (changes.isEmpty())
            During = G.puzzle().display();
        changes << rect;
    });
    const QImage before = G.puzzle().display();
    G.press(click, Qt::RightButton);
    G.release(click, Qt::RightButton);

    QCOMPARE(G.f.played(), QStringList({QStringLiteral("Play|Advice.wav")}));
    QVERIFY(changes.size() >= 2);
    QCOMPARE(changes.first(), flash);
    // The flash inverts a frame inside the home cell and nothing outside it; the whole picture is redrawn after.
    QVERIFY(During.copy(flash) != before.copy(flash));
    QImage outside = During;
    QImage original = before;
    for (QImage *picture : {&outside, &original})
        for (int y = flash.top(); y <= flash.bottom(); ++y)
            std::memset(picture->scanLine(y) + flash.left() * 3, 0, size_t(flash.width()) * 3);
    QCOMPARE(outside, original);
    QCOMPARE(changes.last(), G.puzzle().display().rect());
    QCOMPARE(G.puzzle().display(), before);
    QCOMPARE(G.puzzle().dragState(), DragState::Idle);
    QVERIFY(!G.f.pointer->isConfined());
}

void TestMouseGuards::solvingMoveRunsTheVictorySequenceOnce_data()
{
    QTest::addColumn<bool>("byRelease");
    QTest::newRow("snap") << false;
    QTest::newRow("release") << true;
}

void TestMouseGuards::solvingMoveRunsTheVictorySequenceOnce()
{
    QFETCH(bool, byRelease);
    Game g(1, 0); // row 1 is 3 1 2: carrying the 1 one cell left solves it
    g.press(QPoint(150, 50));
    g.drag(QPoint(130, 50));
    if (byRelease) {
        g.drag(QPoint(80, 50));
        g.release(QPoint(80, 50));
    } else {
        g.drag(QPoint(60, 50));
        // Further events change nothing: the picture no longer listens.
        g.drag(QPoint(150, 50));
        g.release(QPoint(150, 50));
    }

    Puzzle &p = g.puzzle();
    QVERIFY(p.isSolved());
    QCOMPARE(g.f.played(), QStringList({QStringLiteral("Play|Move.wav"), QStringLiteral("Play|Victory.wav")}));
    QVERIFY(!PlayControllerProbe(g.f.form->play()).isMouseAttached());
    QCOMPARE(p.dragState(), DragState::Idle);
    QCOMPARE(p.selected(), NoCell);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!g.f.pointer->isConfined());
    QCOMPARE(g.image->cursor().shape(), Qt::PointingHandCursor);
    // The plain photograph, without grid lines or frames.
    QCOMPARE(p.display(), PuzzleProbe(p).plainPicture());
    g.f.form->updateCommands();
    QVERIFY(g.f.form->commands().action(Command::SaveImageAs)->isEnabled());
    QVERIFY(g.f.form->commands().action(Command::Tangle)->isEnabled());
}

void TestMouseGuards::pictureIgnoresTheMouse_data()
{
    QTest::addColumn<bool>("solved");
    QTest::newRow("edit mode") << false;
    QTest::newRow("after victory") << true;
}

void TestMouseGuards::pictureIgnoresTheMouse()
{
    QFETCH(bool, solved);
    Game g;
    if (solved) {
        g.press(QPoint(50, 50));
        g.drag(QPoint(70, 50));
        g.release(QPoint(250, 50)); // row 1: 3 1 2 -> 1 2 3
        g.press(QPoint(50, 150));
        g.drag(QPoint(70, 150));
        g.release(QPoint(250, 150)); // row 2: 6 4 5 -> 4 5 6
        QVERIFY(g.puzzle().isSolved());
    } else {
        g.f.New(g.f.makePicture(QStringLiteral("e.bmp"), 300, 200));
        QVERIFY(g.puzzle().isEditMode());
    }
    g.f.sounds.clear();
    g.f.pointer->moves.clear();
    const QImage before = g.puzzle().display();

    g.hover(QPoint(150, 50));
    g.press(QPoint(150, 50));
    g.drag(QPoint(250, 50));
    g.release(QPoint(250, 50));
    g.press(QPoint(150, 50), Qt::RightButton);
    // Even called directly, the handlers leave such a puzzle alone.
    g.f.form->play().press(Qt::LeftButton, {}, 150, 50);
    g.f.form->play().move(Qt::LeftButton, {}, 250, 50);
    g.f.form->play().release(Qt::LeftButton, {}, 250, 50);

    QCOMPARE(g.puzzle().selected(), NoCell);
    QCOMPARE(g.puzzle().dragState(), DragState::Idle);
    QCOMPARE(g.puzzle().display(), before);
    QVERIFY(g.f.sounds.isEmpty());
    QVERIFY(g.f.pointer->moves.isEmpty());
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(g.image->cursor().shape(), Qt::PointingHandCursor);
}

void TestMouseGuards::busyHandlersDoNothingButAReleaseFreesThePointer()
{
    Game g;
    g.press(QPoint(150, 50));
    g.drag(QPoint(170, 50));
    PlayControllerProbe(g.f.form->play()).setBusy(true);
    g.drag(QPoint(250, 50));
    g.press(QPoint(50, 50), Qt::RightButton);
    QCOMPARE(g.row(1), QList<int>({3, 1, 2}));
    QVERIFY(g.f.played().isEmpty());
    QVERIFY(g.f.pointer->isConfined());
    g.release(QPoint(250, 50));
    QVERIFY(!g.f.pointer->isConfined());
    QCOMPARE(g.row(1), QList<int>({3, 1, 2}));
    QVERIFY(PlayControllerProbe(g.f.form->play()).isBusy());
    PlayControllerProbe(g.f.form->play()).setBusy(false);
    // The drag goes on from where it was when the window is free again.
    g.drag(QPoint(250, 50));
    QCOMPARE(g.row(1), QList<int>({2, 3, 1}));
}

void TestMouseGuards::leavingThePictureDeselectsAndFrees()
{
    Game g;
    g.hover(QPoint(250, 150));
    QCOMPARE(g.puzzle().selected(), CellPos(3, 2));
    const int releases = g.f.pointer->releases;
    g.send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, QPoint(2, 2), g.f.form->picturePanel());
    QCOMPARE(g.puzzle().selected(), NoCell);
    QVERIFY(g.f.pointer->releases > releases);

    // While a handler is at work the selection stays.
    g.hover(QPoint(250, 150));
    PlayControllerProbe(g.f.form->play()).setBusy(true);
    g.send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, QPoint(2, 2), g.f.form->picturePanel());
    QCOMPARE(g.puzzle().selected(), CellPos(3, 2));
    PlayControllerProbe(g.f.form->play()).setBusy(false);
}

void TestMouseGuards::menusAndErrorsFreeThePointer()
{
    Game g;
    g.press(QPoint(150, 50));
    g.drag(QPoint(170, 50));
    QVERIFY(g.f.pointer->isConfined());
    emit g.f.form->commands().menu(WindowMenu::Puzzle)->aboutToShow();
    QVERIFY(!g.f.pointer->isConfined());

    g.drag(QPoint(180, 50));
    g.f.pointer->confine(g.globalRect(0, 50, 300, 1), nullptr);
    g.f.form->guarded([] { throw std::runtime_error("disk gone"); });
    QVERIFY(!g.f.pointer->isConfined());
    QCOMPARE(g.f.dialogs->errors(), QStringList({QStringLiteral("disk gone")}));
    g.release(QPoint(180, 50));
}

void TestMouseGuards::losingTheFocusFreesThePointer()
{
    Game g;
    QApplication::setActiveWindow(g.f.form.get());
    QTRY_VERIFY(g.f.form->isActiveWindow());
    g.press(QPoint(150, 50));
    g.drag(QPoint(170, 50));
    QVERIFY(g.f.pointer->isConfined());
    QWidget other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    QApplication::setActiveWindow(&other);
    QTRY_VERIFY(!g.f.form->isActiveWindow());
    QVERIFY(!g.f.pointer->isConfined());
    g.release(QPoint(170, 50));
}

QTEST_MAIN(TestMouseGuards)
#include "TestMouseGuards.moc"
