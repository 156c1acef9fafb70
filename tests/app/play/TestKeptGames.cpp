// SPDX-License-Identifier: GPL-3.0-or-later
// A game left in the middle and come back to: each way of leaving keeps it, opening the puzzle again continues it
// with its moves, time, undo and redo, and a won, restarted or tangled game or a damaged record gives a fresh
// tangle. Restart, and the victory's band with its Play Again.
#include "../../PuzzleProbe.h"
#include "GameKeeper.h"
#include "PictureView.h"
#include "PlayStatus.h"
#include "PuzzleDocument.h"
#include "ResultBook.h"
#include "VictoryBanner.h"
#include "WindowFixture.h"

#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

using namespace quorra;

namespace {

// The kept game's time: 1:42.
constexpr qint64 PlayedMs = 102'000;

Puzzle &puzzleOf(WindowFixture &f)
{
    return *f.form->documents().puzzle();
}

QByteArray keyOf(WindowFixture &f)
{
    const PuzzleDocument &document = *f.form->documents().document();
    return ResultBook::puzzleKey(document.pictureStream(), document.puzzle().grid());
}

bool isEnabled(WindowFixture &f, Command command)
{
    f.form->updateCommands();
    return f.form->commands().action(command)->isEnabled();
}

void turn(WindowFixture &f, CellPos cell, Qt::Key key)
{
    puzzleOf(f).select(cell);
    QTest::keyClick(f.form->pictureView(), key, Qt::ShiftModifier);
    f.form->updateCommands();
}

// Two lines out of place on a 3 x 3 grid: row 3 turned right, then column 1 turned down. No one move solves it.
TileGrid twoLinesOut()
{
    TileGrid grid;
    grid.init(3, 3, false, false);
    grid.shift(CellPos(1, 3), CellPos(2, 3));
    grid.shift(CellPos(1, 1), CellPos(1, 2));
    return grid;
}

// A game begun at twoLinesOut: column 3 turned down twice and once taken back, 1:42 into it. Three moves count.
void playSomeMoves(WindowFixture &f, qint64 &now)
{
    PuzzleProbe(puzzleOf(f)).beginAt(twoLinesOut());
    puzzleOf(f).renderAll();
    f.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
    f.form->updateCommands();
    QVERIFY(!isEnabled(f, Command::Restart));
    turn(f, CellPos(3, 1), Qt::Key_Down);
    turn(f, CellPos(3, 2), Qt::Key_Down);
    f.form->commands().action(Command::UndoMove)->trigger();
    f.form->updateCommands();
    QTRY_VERIFY(f.form->playStatus().clock().isRunning());
    now += PlayedMs;
    QCOMPARE(f.form->playStatus().clock().moves(), 3);
}

// The winning moves from twoLinesOut, whatever column 3 went through: column 3 and column 1 back up, row 3 left.
void win(WindowFixture &f)
{
    while (f.form->commands().action(Command::UndoMove)->isEnabled()) {
        f.form->commands().action(Command::UndoMove)->trigger();
        f.form->updateCommands();
    }
    turn(f, CellPos(1, 1), Qt::Key_Up);
    turn(f, CellPos(1, 3), Qt::Key_Left);
    QVERIFY(puzzleOf(f).isSolved());
}

} // namespace

class TestKeptGames : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void leftAndComeBackTo_data();
    void leftAndComeBackTo();
    void restartPutsTheTangleBack();
    void theVictoryInvitesTheNextGame();
};

void TestKeptGames::leftAndComeBackTo_data()
{
    QTest::addColumn<QString>("leave");
    // Done to the game that went on, before it is left once more.
    QTest::addColumn<QString>("then");
    QTest::addColumn<bool>("continued");

    QTest::newRow("Exit, and the program started again") << "exit"
                                                         << "" << true;
    QTest::newRow("the session's end") << "session end"
                                       << "" << true;
    QTest::newRow("Open of another puzzle") << "open another"
                                            << "" << true;
    QTest::newRow("New") << "new"
                         << "" << true;
    QTest::newRow("a dropped puzzle") << "drop"
                                      << "" << true;
    QTest::newRow("opened again over itself") << "open itself"
                                              << "" << true;
    QTest::newRow("restarted") << "open itself"
                               << "restart" << false;
    QTest::newRow("tangled anew") << "open itself"
                                  << "tangle" << false;
    QTest::newRow("won") << "open itself"
                         << "win" << false;
    QTest::newRow("a damaged record") << "open itself"
                                      << "damage" << false;
}

void TestKeptGames::leftAndComeBackTo()
{
    QFETCH(QString, leave);
    QFETCH(QString, then);
    QFETCH(bool, continued);

    auto f = std::make_unique<WindowFixture>();
    qint64 now = 0;
    f->form->playStatus().setTimeSource([&now] { return now; });
    const QString path = f->makePuzzleFile(QStringLiteral("kept.nbq"), 300, 300, 3, 3);
    const QString other = f->makePuzzleFile(QStringLiteral("other.nbq"), 200, 300, 2, 2);
    f->open(path);
    playSomeMoves(*f, now);
    const TileGrid arrangement = puzzleOf(*f).grid();
    const QByteArray key = keyOf(*f);
    const KeptGames store = f->form->gameKeeper().store();
    QVERIFY(!store.find(key));

    // The window the puzzle is opened in again: a program started anew after the first two.
    std::unique_ptr<WindowFixture> g;
    if (leave == QLatin1String("exit")) {
        QVERIFY(f->form->close());
    } else if (leave == QLatin1String("session end")) {
        QVERIFY(QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection));
    } else if (leave == QLatin1String("open another")) {
        f->open(other);
    } else if (leave == QLatin1String("new")) {
        f->New(f->makePicture(QStringLiteral("new.bmp"), 300, 200));
    } else if (leave == QLatin1String("drop")) {
        f->form->documents().dropFile(other);
        QVERIFY(f->waitForLoad());
    }
    QCOMPARE(store.find(key).has_value(), leave != QLatin1String("open itself"));
    if (leave == QLatin1String("exit") || leave == QLatin1String("session end")) {
        g = std::make_unique<WindowFixture>();
        g->form->gameKeeper().setStore(store);
        g->form->playStatus().setTimeSource([&now] { return now; });
        f->form.reset();
    }
    WindowFixture &w = g ? *g : *f;
    // The new puzzle being set up is the person's work: it is given up without a save.
    if (leave == QLatin1String("new"))
        w.dialogs->confirmAnswers << ConfirmAnswer::No;
    w.open(path);

    QCOMPARE(puzzleOf(w).grid().record(), arrangement.record());
    QCOMPARE(w.form->playStatus().text(), QStringLiteral("Continued: 3 moves, 1:42"));
    QCOMPARE(w.form->playStatus().clock().elapsedMs(), PlayedMs);
    QVERIFY(isEnabled(w, Command::UndoMove));
    QVERIFY(isEnabled(w, Command::RedoMove));
    QVERIFY(isEnabled(w, Command::Restart));
    QVERIFY(isEnabled(w, Command::Tangle));

    if (then == QLatin1String("restart"))
        w.run(w.form->commands().action(Command::Restart));
    else if (then == QLatin1String("tangle"))
        w.run(w.form->commands().action(Command::Tangle));
    else if (then == QLatin1String("win"))
        win(w);
    if (!then.isEmpty() && then != QLatin1String("damage"))
        QVERIFY(!store.find(key));
    // Left once more with no move since: a game that went on is kept again, one that ended keeps nothing.
    w.open(other);
    if (then == QLatin1String("damage")) {
        QFile record(store.filePath(key));
        QVERIFY(record.open(QIODevice::ReadWrite));
        QVERIFY(record.seek(record.size() - 30));
        QVERIFY(record.write("damaged") == 7);
    }
    w.open(path);
    QCOMPARE(w.form->playStatus().text().startsWith(QLatin1String("Continued: ")), continued);
    if (!continued) {
        QCOMPARE(w.form->playStatus().text(), QStringLiteral("Moves: 0    Time: 0:00"));
        QVERIFY(!isEnabled(w, Command::Tangle));
        QVERIFY(!isEnabled(w, Command::Restart));
    }
    QVERIFY(w.dialogs->errors().isEmpty());
}

void TestKeptGames::restartPutsTheTangleBack()
{
    WindowFixture f;
    qint64 now = 0;
    f.form->playStatus().setTimeSource([&now] { return now; });
    f.open(f.makePuzzleFile(QStringLiteral("r.nbq"), 300, 300, 3, 3));
    playSomeMoves(f, now);
    QVERIFY(isEnabled(f, Command::Restart));

    f.run(f.form->commands().action(Command::Restart));
    QCOMPARE(puzzleOf(f).grid().record(), twoLinesOut().record());
    QCOMPARE(f.form->playStatus().text(), QStringLiteral("Moves: 0    Time: 0:00"));
    QVERIFY(!isEnabled(f, Command::UndoMove));
    QVERIFY(!isEnabled(f, Command::RedoMove));
    QVERIFY(!isEnabled(f, Command::Restart));
    // Played on from there, it restarts from the same place again.
    turn(f, CellPos(2, 2), Qt::Key_Right);
    QVERIFY(isEnabled(f, Command::Restart));
    f.run(f.form->commands().action(Command::Restart));
    QCOMPARE(puzzleOf(f).grid().record(), twoLinesOut().record());
    // A game being set up or won has no tangle to go back to.
    win(f);
    QVERIFY(!isEnabled(f, Command::Restart));
}

void TestKeptGames::theVictoryInvitesTheNextGame()
{
    WindowFixture f;
    qint64 now = 0;
    f.form->playStatus().setTimeSource([&now] { return now; });
    f.open(f.makePuzzleFile(QStringLiteral("v.nbq"), 300, 300, 3, 3));
    VictoryBanner *banner = f.form->victoryBanner();
    QVERIFY(!banner->isVisible());

    struct Ending {
        const char *name;
        std::function<void()> dismiss;
        bool tangled;
    };
    const Ending endings[] = {
        {"a key", [&] { QTest::keyClick(f.form->pictureView(), Qt::Key_Escape); }, false},
        {"a click on the picture", [&] { QTest::mouseClick(f.form->pictureView(), Qt::LeftButton); }, false},
        {"Play Again", [&] { QTest::mouseClick(banner->playAgainButton(), Qt::LeftButton); }, true},
    };
    for (const Ending &ending : endings) {
        playSomeMoves(f, now);
        win(f);
        // Over the picture's lower edge, the status bar's own line, and the line stays when the band goes.
        QVERIFY(banner->isVisible());
        QCOMPARE(banner->line(), f.form->playStatus().text());
        QVERIFY(banner->line().startsWith(QLatin1String("Solved in ")));
        const QRect picture = f.form->pictureView()->geometry();
        QCOMPARE(banner->geometry().bottom(), picture.bottom());
        QVERIFY(banner->geometry().top() > picture.top());
        ending.dismiss();
        QVERIFY2(!banner->isVisible(), ending.name);
        QVERIFY(f.waitForLoad());
        QCOMPARE(puzzleOf(f).isSolved(), !ending.tangled);
        if (ending.tangled)
            continue;
        QVERIFY(f.form->playStatus().text().startsWith(QLatin1String("Solved in ")));
        f.run(f.form->commands().action(Command::Tangle));
    }
    QVERIFY(f.dialogs->errors().isEmpty());
}

QTEST_MAIN(TestKeptGames)
#include "TestKeptGames.moc"
