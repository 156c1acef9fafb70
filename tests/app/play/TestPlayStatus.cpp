// SPDX-License-Identifier: GPL-3.0-or-later
// The status bar's game line: its wording, and a game played in the window with the clock, a pause, the victory
// and the best earlier result.
#include "../../PuzzleProbe.h"
#include "PlayStatus.h"
#include "WindowFixture.h"

#include <QStandardPaths>
#include <QTest>

using namespace quorra;

class TestPlayStatus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void victoryText_data();
    void victoryText();
    void gamesInTheWindow();
};

void TestPlayStatus::victoryText_data()
{
    QTest::addColumn<int>("moves");
    QTest::addColumn<qint64>("milliseconds");
    // -1: no earlier result.
    QTest::addColumn<int>("bestMoves");
    QTest::addColumn<qint64>("bestMilliseconds");
    QTest::addColumn<QString>("text");

    QTest::newRow("first solve") << 23 << 102'000LL << -1 << 0LL << "Solved in 23 moves, 1:42";
    QTest::newRow("one move") << 1 << 7'999LL << -1 << 0LL << "Solved in 1 move, 0:07";
    QTest::newRow("just under an hour") << 40 << 3'599'999LL << -1 << 0LL << "Solved in 40 moves, 59:59";
    QTest::newRow("an hour") << 40 << 3'600'000LL << -1 << 0LL << "Solved in 40 moves, 1:00:00";
    QTest::newRow("ten hours") << 2 << 36'123'000LL << -1 << 0LL << "Solved in 2 moves, 10:02:03";
    QTest::newRow("with the best before")
        << 23 << 102'000LL << 19 << 70'000LL << "Solved in 23 moves, 1:42; best before: 19 moves, 1:10";
    QTest::newRow("best before in one move")
        << 3 << 5'000LL << 1 << 3'000LL << "Solved in 3 moves, 0:05; best before: 1 move, 0:03";
}

void TestPlayStatus::victoryText()
{
    QFETCH(int, moves);
    QFETCH(qint64, milliseconds);
    QFETCH(int, bestMoves);
    QFETCH(qint64, bestMilliseconds);
    QFETCH(QString, text);

    std::optional<ResultBook::Result> best;
    if (bestMoves >= 0)
        best = ResultBook::Result{bestMoves, bestMilliseconds};
    QCOMPARE(PlayStatus::victoryText({moves, milliseconds}, best), text);
}

void TestPlayStatus::gamesInTheWindow()
{
    WindowFixture f;
    PlayStatus &status = f.form->playStatus();
    qint64 now = 0;
    status.setTimeSource([&now] { return now; });
    status.setPictureStream([] { return QByteArray("the picture's stream"); });
    f.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
    // At its narrowest the window has less room than the longest line needs.
    f.form->resize(f.form->minimumSize());
    QTRY_COMPARE(f.form->size(), f.form->minimumSize());

    // A puzzle being set up is not played: no line, no time, no timer.
    f.New(f.makePicture(QStringLiteral("p.bmp"), 300, 200));
    QCOMPARE(status.text(), QString());
    QVERIFY(!status.clock().isRunning());

    struct Game {
        int secondsBefore;
        int secondsMinimised;
        int secondsAfter;
        const char *line;
    };
    const Game games[] = {{2, 60, 3, "Solved in 1 move, 0:05"},
                          {1, 60, 2, "Solved in 1 move, 0:03; best before: 1 move, 0:05"},
                          {5, 0, 5, "Solved in 1 move, 0:10; best before: 1 move, 0:03"}};
    for (const Game &game : games) {
        f.run(f.form->commands().action(Command::Tangle));
        QCOMPARE(status.text(), QStringLiteral("Moves: 0    Time: 0:00"));
        QVERIFY(status.clock().isRunning());
        // Row 1 of a 2 x 2 grid turned by one: a cell carried one cell over solves it.
        Puzzle &puzzle = *f.form->documents().puzzle();
        PuzzleProbe(puzzle).grid().reset();
        PuzzleProbe(puzzle).grid().shift(CellPos(1, 1), CellPos(2, 1));
        now += game.secondsBefore * 1000;
        f.form->showMinimized();
        QTRY_VERIFY(!status.clock().isRunning());
        now += game.secondsMinimised * 1000;
        f.form->showNormal();
        f.form->activateWindow();
        QTRY_VERIFY(status.clock().isRunning());
        now += game.secondsAfter * 1000;

        const QPoint from = puzzle.cellCentre(CellPos(1, 1));
        const QPoint to = puzzle.cellCentre(CellPos(2, 1));
        f.form->play().press(Qt::LeftButton, {}, from.x(), from.y());
        f.form->play().move(Qt::LeftButton, {}, from.x() + puzzle.dragThreshold() + 1, from.y());
        f.form->play().release(Qt::LeftButton, {}, to.x(), to.y());
        QVERIFY(puzzle.isSolved());
        QVERIFY(!status.clock().isRunning());
        QCOMPARE(status.text(), QString::fromLatin1(game.line));
    }
    // A long line is cut short rather than widening the window, which would draw the picture anew.
    QTest::qWait(50);
    QCOMPARE(f.form->size(), f.form->minimumSize());
}

QTEST_MAIN(TestPlayStatus)
#include "TestPlayStatus.moc"
