// SPDX-License-Identifier: GPL-3.0-or-later
// The command table on its own: the enabling rules for each game state, the groups, and the suspension.
#include "CommandGuard.h"
#include "CommandTable.h"
#include "FakeDialogs.h"
#include "UserError.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

using namespace quorra;

Q_DECLARE_METATYPE(GameState)

namespace {

QStringList enabledNames(const CommandTable &table)
{
    QStringList names;
    for (const QAction *action : table.actions())
        if (action->isEnabled())
            names << action->objectName();
    names.sort();
    return names;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

const QStringList Always = {"NewAction",  "OpenAction",  "ExitAction",        "AutoBestFitAction",
                            "HelpAction", "AboutAction", "ShowAtStartAction", "FullScreenAction"};

} // namespace

class TestCommandTable : public QObject
{
    Q_OBJECT

private slots:
    void enablingRules_data();
    void enablingRules();
    void choosingChecksOneOfItsGroup();
    void keysTriggerTheirCommands_data();
    void keysTriggerTheirCommands();
    void everyMenuOpensWithAltAndItsOwnLetter();
    void menusAndToolBarHoldTheirCommands_data();
    void menusAndToolBarHoldTheirCommands();
    void storedCheckMarksKeepTheFileOrder();
    void suspensionSwitchesEverythingOff();
    void guardReportsAndCountsItsHandlers();
};

void TestCommandTable::enablingRules_data()
{
    QTest::addColumn<GameState>("state");
    QTest::addColumn<bool>("autoFit");
    QTest::addColumn<QStringList>("extra");

    GameState play;
    play.hasPuzzle = true;
    QTest::newRow("nothing to zoom") << play << false
                                     << QStringList{"SaveAsAction", "SendByEMailAction", "SaveAsWebPageAction",
                                                    "BestFitAction"};
    GameState zoomable = play;
    zoomable.canZoomIn = zoomable.canZoomOut = zoomable.canActualSize = true;
    // Actual Size is kept out of sight, and a hidden action never counts as enabled.
    QTest::newRow("room to zoom") << zoomable << false
                                  << QStringList{"SaveAsAction",  "SendByEMailAction", "SaveAsWebPageAction",
                                                 "BestFitAction", "ZoomInAction",      "ZoomOutAction"};
    QTest::newRow("room to zoom, auto fit")
        << zoomable << true << QStringList{"SaveAsAction", "SendByEMailAction", "SaveAsWebPageAction", "ZoomOutAction"};
    GameState undoable = play;
    undoable.canUndo = undoable.canRedo = true;
    QTest::newRow("moves to undo and redo")
        << undoable << false << QStringList{"SaveAsAction",  "SendByEMailAction", "SaveAsWebPageAction",
                                            "BestFitAction", "UndoMoveAction",    "RedoMoveAction"};
    GameState restartable = play;
    restartable.canRestart = true;
    QTest::newRow("a move to restart from")
        << restartable << false
        << QStringList{"SaveAsAction", "SendByEMailAction", "SaveAsWebPageAction", "BestFitAction", "RestartAction"};
    // A game gone on from one kept before had no fresh tangle: Tangle offers one in the middle of play.
    GameState continued = restartable;
    continued.continued = true;
    QTest::newRow("a kept game gone on") << continued << false
                                         << QStringList{"SaveAsAction",  "SendByEMailAction", "SaveAsWebPageAction",
                                                        "BestFitAction", "RestartAction",     "TangleAction"};
    GameState mailing = play;
    mailing.mailUnderWay = true;
    QTest::newRow("a mail under way") << mailing << false << QStringList{"SaveAsAction", "BestFitAction"};
    GameState modified = play;
    modified.modified = true;
    QTest::newRow("modified") << modified << false << QStringList{"SaveAsAction", "BestFitAction"};
    // The rules trust the state: without a puzzle nothing about one is offered, whatever else it says.
    GameState none = zoomable;
    none.canUndo = none.canRedo = none.canRestart = none.continued = true;
    none.hasPuzzle = false;
    QTest::newRow("no puzzle") << none << false << QStringList();
}

void TestCommandTable::enablingRules()
{
    QFETCH(GameState, state);
    QFETCH(bool, autoFit);
    QFETCH(QStringList, extra);

    QMainWindow window;
    CommandTable table(&window);
    table.action(Command::AutoBestFit)->setChecked(autoFit);
    table.update(state);
    QCOMPARE(enabledNames(table), sorted(Always + extra));
}

void TestCommandTable::keysTriggerTheirCommands_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("keys"); // as the menus show them, every sequence the command answers to

    QTest::newRow("New") << int(Command::New) << "Ctrl+N";
    QTest::newRow("Open") << int(Command::Open) << "Ctrl+O";
    QTest::newRow("Save As") << int(Command::SaveAs) << "Ctrl+S";
    QTest::newRow("Exit") << int(Command::Exit) << "Ctrl+Q";
    QTest::newRow("Help Content") << int(Command::Help) << "F1";
    QTest::newRow("Zoom In") << int(Command::ZoomIn) << "Ctrl++; Ctrl+=";
    QTest::newRow("Zoom Out") << int(Command::ZoomOut) << "Ctrl+-";
    QTest::newRow("Best Fit") << int(Command::BestFit) << "Ctrl+0";
    QTest::newRow("Undo Move") << int(Command::UndoMove) << "Ctrl+Z";
    QTest::newRow("Redo Move") << int(Command::RedoMove) << "Ctrl+Shift+Z; Ctrl+Y";
    QTest::newRow("Restart") << int(Command::Restart) << "Ctrl+R";
    QTest::newRow("Full Screen") << int(Command::FullScreen) << "F11";
}

void TestCommandTable::keysTriggerTheirCommands()
{
    QFETCH(int, command);
    QFETCH(QString, keys);

    QMainWindow window;
    CommandTable table(&window);
    QAction *action = table.action(Command(command));
    QCOMPARE(QKeySequence::listToString(action->shortcuts()), keys);

    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    for (const QKeySequence &sequence : action->shortcuts()) {
        QSignalSpy triggered(action, &QAction::triggered);
        QTest::keySequence(&window, sequence);
        QCOMPARE(triggered.count(), 1);
    }
}

void TestCommandTable::everyMenuOpensWithAltAndItsOwnLetter()
{
    QMainWindow window;
    CommandTable table(&window);
    QSet<QChar> letters;
    for (const QAction *menu : window.menuBar()->actions()) {
        const QString title = menu->text();
        const qsizetype amp = title.indexOf(QLatin1Char('&'));
        QVERIFY2(amp >= 0 && amp + 1 < title.size(), qPrintable(title));
        const QChar letter = title.at(amp + 1).toLower();
        QVERIFY2(!letters.contains(letter), qPrintable(title));
        letters.insert(letter);
    }
    QCOMPARE(letters.size(), 7);
}

void TestCommandTable::menusAndToolBarHoldTheirCommands_data()
{
    QTest::addColumn<QString>("bar");       // a menu's object name, or the tool bar's
    QTest::addColumn<QStringList>("items"); // object names, "-" for a separator

    QTest::newRow("Puzzle") << "mPuzzle"
                            << QStringList{"NewAction",
                                           "OpenAction",
                                           "-",
                                           "SaveAsAction",
                                           "SaveImageAsAction",
                                           "SaveAsWebPageAction",
                                           "-",
                                           "SendByEMailAction",
                                           "-",
                                           "UndoMoveAction",
                                           "RedoMoveAction",
                                           "TangleAction",
                                           "RestartAction",
                                           "-",
                                           "ExitAction"};
    QTest::newRow("View") << "mView" << QStringList{"ZoomInAction",
                                                    "ZoomOutAction",
                                                    "-",
                                                    "ActualSizeAction",
                                                    "BestFitAction",
                                                    "-",
                                                    "AutoBestFitAction",
                                                    "-",
                                                    "FullScreenAction"};
    QTest::newRow("Split") << "mSplit"
                           << QStringList{"Action2x2", "Action3x2", "Action4x2", "-",         "Action2x3", "Action3x3",
                                          "Action4x3", "-",         "Action2x4", "Action3x4", "Action4x4"};
    QTest::newRow("Effect") << "mEffect"
                            << QStringList{"ObscureAction", "DarkAction",      "TransparentAction",  "NegativeAction",
                                           "HiddenAction",  "TopSecretAction", "LowResolutionAction"};
    QTest::newRow("Edit") << "mEdit"
                          << QStringList{"-", "EmptyRowAction", "EmptyColumnAction", "-", "SemiEffectAction", "-"};
    QTest::newRow("Options") << "mOptions" << QStringList{"mSound"};
    QTest::newRow("Help") << "mHelp" << QStringList{"HelpAction", "-", "mShowexampe", "-", "AboutAction"};
    QTest::newRow("tool bar") << "ToolBar1"
                              << QStringList{
                                     "NewAction",         "OpenAction",   "-", "SaveAsAction", "SaveImageAsAction",
                                     "SendByEMailAction", "TangleAction", "-", "ZoomInAction", "ZoomOutAction"};
}

void TestCommandTable::menusAndToolBarHoldTheirCommands()
{
    QFETCH(QString, bar);
    QFETCH(QStringList, items);

    QMainWindow window;
    CommandTable table(&window);
    const QWidget *holder = window.findChild<QWidget *>(bar);
    QVERIFY(holder);
    QStringList names;
    for (const QAction *action : holder->actions())
        names << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
    QCOMPARE(names, items);
    QCOMPARE(window.menuBar()->actions().size(), 7);
}

void TestCommandTable::storedCheckMarksKeepTheFileOrder()
{
    // Earlier runs wrote these keys in this order, each mark at its default until a person changed it.
    const QStringList expected = {"AutoBestFitAction=0",
                                  "DarkAction=0",
                                  "EmptyColumnAction=0",
                                  "EmptyRowAction=0",
                                  "TransparentAction=0",
                                  "NegativeAction=0",
                                  "ObscureAction=0",
                                  "SemiEffectAction=0",
                                  "HiddenAction=1",
                                  "TopSecretAction=0",
                                  "mSound=1",
                                  "Action2x2=1",
                                  "Action2x3=0",
                                  "Action2x4=0",
                                  "Action3x2=0",
                                  "Action3x3=0",
                                  "Action3x4=0",
                                  "Action4x2=0",
                                  "Action4x3=0",
                                  "Action4x4=0",
                                  "ShowAtStartAction=1",
                                  "LowResolutionAction=0"};
    QMainWindow window;
    CommandTable table(&window);
    QStringList marks;
    for (const QAction *action : table.storedCheckMarks()) {
        QVERIFY2(action->isCheckable(), qPrintable(action->objectName()));
        marks << action->objectName() + QLatin1Char('=') + QString::number(action->isChecked());
    }
    QCOMPARE(marks, expected);
    for (const QAction *action : table.storedCheckMarks())
        QCOMPARE(table.checkMarkAction(action->objectName()), action);
}

void TestCommandTable::choosingChecksOneOfItsGroup()
{
    QMainWindow window;
    CommandTable table(&window);
    QCOMPARE(table.currentEffect(), 0);
    table.update(GameState());
    QCOMPARE(table.currentEffect(), table.tag(table.action(Command::Hidden)));

    // The split is the command's own, whatever its caption says in another language.
    table.action(Command::Split4x3)->setText(QStringLiteral("vier mal drei"));
    table.choose(table.action(Command::Split4x3));
    QCOMPARE(table.split().rows, 4);
    QCOMPARE(table.split().columns, 3);
    QVERIFY(!table.isChecked(Command::Split2x2));
    // Another group's marks stay as they were.
    QVERIFY(table.isChecked(Command::Hidden));

    table.choose(table.action(Command::Negative));
    QCOMPARE(table.currentEffect(), table.tag(table.action(Command::Negative)));
    QVERIFY(!table.isChecked(Command::Hidden));
    QVERIFY(table.isChecked(Command::Split4x3));

    // A new puzzle is set up as the commands say, the edit options included.
    table.action(Command::EmptyColumn)->setChecked(true);
    const PuzzleSetup setup = table.puzzleSetup();
    QCOMPARE(setup.effect, table.tag(table.action(Command::Negative)));
    QCOMPARE(setup.split.rows, 4);
    QCOMPARE(setup.split.columns, 3);
    QVERIFY(!setup.semiEffect && !setup.emptyRow && setup.emptyColumn);
}

void TestCommandTable::suspensionSwitchesEverythingOff()
{
    QMainWindow window;
    CommandTable table(&window);
    table.update(GameState());
    table.suspend();
    QVERIFY(enabledNames(table).isEmpty());
    QVERIFY(!table.soundItem()->isEnabled());
    QVERIFY(!table.showExampleItem()->isEnabled());
    // Resuming gives the menu items back; the commands wait for the next update.
    table.resume();
    QVERIFY(table.soundItem()->isEnabled());
    QVERIFY(table.showExampleItem()->isEnabled());
    QVERIFY(enabledNames(table).isEmpty());
    table.update(GameState());
    QCOMPARE(enabledNames(table), sorted(Always));
}

void TestCommandTable::guardReportsAndCountsItsHandlers()
{
    FakeDialogs dialogs;
    int freed = 0;
    CommandGuard guard(dialogs, [&freed] { ++freed; });
    bool innerRunning = false;
    guard.run([&] {
        guard.run([&] { innerRunning = guard.isRunning(); });
        throw UserError(QStringLiteral("Stream read error"));
    });
    QVERIFY(innerRunning);
    QVERIFY(!guard.isRunning());
    QVERIFY(!guard.reported([] { throw std::bad_alloc(); }));
    QVERIFY(guard.reported([] {}));
    QCOMPARE(dialogs.errors(), QStringList({QStringLiteral("Stream read error"),
                                            QStringLiteral("There is not enough memory to complete this command.")}));
    // The pointer is let go before each report.
    QCOMPARE(freed, 2);
}

QTEST_MAIN(TestCommandTable)
#include "TestCommandTable.moc"
