// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of the main window: which are enabled in each state, the Split and Effect groups, the tangle with
// everything switched off, the error report, and the update after each change of state that keeps it all in step.
#include "../../PuzzleProbe.h"
#include "PictureView.h"
#include "PlayControllerProbe.h"
#include "UserError.h"
#include "WindowFixture.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QStandardPaths>
#include <QTest>

#include <ctime>

using namespace quorra;

namespace {

const QStringList Always = {"NewAction",  "OpenAction",  "ExitAction",        "AutoBestFitAction",
                            "HelpAction", "AboutAction", "ShowAtStartAction", "FullScreenAction"};
const QStringList Splits = {"Action2x2", "Action3x2", "Action4x2", "Action2x3", "Action3x3",
                            "Action4x3", "Action2x4", "Action3x4", "Action4x4"};
const QStringList Effects = {"ObscureAction", "DarkAction",      "TransparentAction",  "NegativeAction",
                             "HiddenAction",  "TopSecretAction", "LowResolutionAction"};
const QStringList EditOptions = {"EmptyRowAction", "EmptyColumnAction", "SemiEffectAction"};

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void enablingByState_data();
    void enablingByState();
    void commandsOffDuringTangle();
    void tangleIsPacedWithoutSpinning();
    void getSplit_data();
    void getSplit();
    void splitGroupChecksOnlyTheChosenAndResplits();
    void effectGroupSetsTheCurrentEffect();
    void noEffectCheckedKeepsTheCurrentEffect();
    void emptyColumnToggleResplitsOnlyInEditMode();
    void commandErrorIsReportedAndTheProgramGoesOn_data();
    void commandErrorIsReportedAndTheProgramGoesOn();
    void idlePassFollowsTheStateAndThenSleeps();
    void windowResizedDuringATangleIsFittedWhenItEnds();
};

void TestCommands::enablingByState_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("autoFit");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<bool>("mouse");

    const QStringList zoom = {"ZoomInAction", "ZoomOutAction", "BestFitAction"};
    QTest::newRow("no puzzle") << "none" << false << Always << true;
    QTest::newRow("no puzzle, auto fit") << "none" << true << Always << true;
    QTest::newRow("edit mode") << "edit" << false
                               << Always + Splits + Effects + EditOptions + zoom
                                      + QStringList{"SaveAsAction", "TangleAction"}
                               << false;
    // At the fit Zoom In has nowhere to go, and Best Fit is the window's own business.
    QTest::newRow("edit mode, auto fit") << "edit" << true
                                         << Always + Splits + Effects + EditOptions
                                                + QStringList{"ZoomOutAction", "SaveAsAction", "TangleAction"}
                                         << false;
    QTest::newRow("play, never saved") << "play" << false << Always + zoom + QStringList{"SaveAsAction"} << true;
    QTest::newRow("play, saved") << "saved" << false
                                 << Always + zoom
                                        + QStringList{"SaveAsAction", "SendByEMailAction", "SaveAsWebPageAction"}
                                 << true;
    QTest::newRow("play, opened") << "opened" << false
                                  << Always + zoom
                                         + QStringList{"SaveAsAction", "SendByEMailAction", "SaveAsWebPageAction"}
                                  << true;
    QTest::newRow("solved, never saved") << "solved" << false
                                         << Always + zoom
                                                + QStringList{"SaveAsAction", "SaveImageAsAction", "TangleAction"}
                                         << false;
    QTest::newRow("solved, opened") << "solved opened" << false
                                    << Always + zoom
                                           + QStringList{"SaveAsAction", "SaveImageAsAction", "TangleAction",
                                                         "SendByEMailAction", "SaveAsWebPageAction"}
                                    << false;
}

void TestCommands::enablingByState()
{
    QFETCH(QString, state);
    QFETCH(bool, autoFit);
    QFETCH(QStringList, enabled);
    QFETCH(bool, mouse);

    WindowFixture f;
    f.form->commands().action(Command::AutoBestFit)->setChecked(autoFit);
    const QString picture = f.makePicture(QStringLiteral("p.bmp"), 400, 300);
    if (state == QLatin1String("edit") || state == QLatin1String("play") || state == QLatin1String("saved")
        || state == QLatin1String("solved"))
        f.New(picture);
    if (state == QLatin1String("play") || state == QLatin1String("solved"))
        f.run(f.form->commands().action(Command::Tangle));
    if (state == QLatin1String("saved")) {
        f.dialogs->savePuzzleAnswers << f.pathOf(QStringLiteral("s.nbq"));
        f.run(f.form->commands().action(Command::SaveAs));
    }
    if (state.contains(QLatin1String("opened")))
        f.open(f.makePuzzleFile(QStringLiteral("o.nbq"), 400, 300));
    if (state.startsWith(QLatin1String("solved")))
        f.solve();

    f.form->updateCommands();
    QCOMPARE(sorted(f.enabledCommands()), sorted(enabled));
    QCOMPARE(PlayControllerProbe(f.form->play()).isMouseAttached(), mouse);
    QVERIFY(f.dialogs->errors().isEmpty());
}

void TestCommands::commandsOffDuringTangle()
{
    WindowFixture F;
    F.New(F.makePicture(QStringLiteral("p.bmp"), 400, 300));
    int Steps = 0;
    QStringList EnabledDuring;
    bool MouseDuring = false, menuItemsDuring = false, ClosedDuring = false;
    connect(F.form.get(), &MainWindow::tangleStepped, this, [&] {
        ++Steps;
        // An update in the middle of the tangle must not switch anything back on.
        F.form->updateCommands();
        EnabledDuring += F.enabledCommands();
        MouseDuring |= PlayControllerProbe(F.form->play()).isMouseAttached();
        menuItemsDuring |=
            F.form->commands().soundItem()->isEnabled() || F.form->commands().showExampleItem()->isEnabled();
        ClosedDuring |= F.form->close();
    });
    F.run(F.form->commands().action(Command::Tangle));

    QVERIFY(Steps > 0);
    QCOMPARE(EnabledDuring, QStringList());
    QVERIFY(!MouseDuring);
    QVERIFY(!menuItemsDuring);
    QVERIFY(!ClosedDuring);
    QVERIFY(F.form->isVisible());
    // Afterwards the rules hold again: a puzzle in play.
    QVERIFY(F.form->updateHandlerInstalled());
    QVERIFY(PlayControllerProbe(F.form->play()).isMouseAttached());
    QVERIFY(!F.form->documents().puzzle()->isEditMode());
    QVERIFY(F.form->commands().action(Command::SaveAs)->isEnabled());
    QVERIFY(!F.form->commands().action(Command::Tangle)->isEnabled());
    QVERIFY(F.form->commands().soundItem()->isEnabled());
    // The close asked for meanwhile is not lost: it comes once the tangle is over, with its question.
    F.dialogs->confirmAnswers << ConfirmAnswer::No;
    QTRY_VERIFY(!F.form->isVisible());
    QCOMPARE(F.dialogs->log.filter(QStringLiteral("Save current puzzle?")).size(), 1);
}

void TestCommands::tangleIsPacedWithoutSpinning()
{
    WindowFixture f;
    f.New(f.makePicture(QStringLiteral("p.bmp"), 400, 300));
    f.form->setTangleStepMs(40);
    int steps = 0;
    connect(f.form.get(), &MainWindow::tangleStepped, this, [&steps] { ++steps; });
    QElapsedTimer clock;
    clock.start();
    const std::clock_t cpu = std::clock();
    f.run(f.form->commands().action(Command::Tangle));
    const double cpuMs = double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC;
    const qint64 wallMs = clock.elapsed();
    QCOMPARE(steps, 3); // a 2 x 2 puzzle tangles in three shifts
    QVERIFY2(wallMs >= 3 * 40, qPrintable(QString::number(wallMs)));
    // The pauses wait in the event loop: most of the time is spent asleep.
    QVERIFY2(cpuMs < wallMs * 0.6, qPrintable(QStringLiteral("%1 ms CPU in %2 ms").arg(cpuMs).arg(wallMs)));
}

void TestCommands::getSplit_data()
{
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");

    QTest::newRow("the start") << QStringList{"Action2x2"} << 2 << 2;
    QTest::newRow("4 rows of 2") << QStringList{"Action4x2"} << 4 << 2;
    QTest::newRow("2 rows of 4") << QStringList{"Action2x4"} << 2 << 4;
    QTest::newRow("several, list order decides") << QStringList{"Action2x4", "Action4x3"} << 4 << 3;
    QTest::newRow("several, later in the menu first") << QStringList{"Action3x4", "Action3x3"} << 3 << 3;
    QTest::newRow("all") << Splits << 2 << 2;
    QTest::newRow("none") << QStringList() << 2 << 2;
}

void TestCommands::getSplit()
{
    QFETCH(QStringList, checked);
    QFETCH(int, rows);
    QFETCH(int, columns);

    WindowFixture f(790, 560, false);
    for (QAction *action : std::as_const(f.form->commands().actions()))
        if (CommandTable::category(action) == QLatin1String("Split"))
            action->setChecked(checked.contains(action->objectName()));
    const Split split = f.form->commands().split();
    QCOMPARE(split.rows, rows);
    QCOMPARE(split.columns, columns);
}

void TestCommands::splitGroupChecksOnlyTheChosenAndResplits()
{
    WindowFixture f;
    // Several checked at once, as the stored settings may leave them.
    f.form->commands().action(Command::Split3x3)->setChecked(true);
    f.form->commands().action(Command::Split4x4)->setChecked(true);
    f.New(f.makePicture(QStringLiteral("p.bmp"), 400, 300));
    QCOMPARE(f.form->documents().puzzle()->grid().rows(), 2);
    QCOMPARE(f.form->documents().puzzle()->grid().columns(), 2);

    f.dialogs->savePuzzleAnswers << f.pathOf(QStringLiteral("s.nbq"));
    f.run(f.form->commands().action(Command::SaveAs));
    f.run(f.form->commands().action(Command::Tangle)); // back to play: the Split commands are off
    QVERIFY(!f.form->commands().action(Command::Split3x4)->isEnabled());

    f.New(f.makePicture(QStringLiteral("q.bmp"), 400, 300));
    f.run(f.form->commands().action(Command::Split3x4));
    QStringList checked;
    for (const QAction *action : std::as_const(f.form->commands().actions()))
        if (CommandTable::category(action) == QLatin1String("Split") && action->isChecked())
            checked << action->objectName();
    QCOMPARE(checked, QStringList{"Action3x4"});
    QCOMPARE(f.form->documents().puzzle()->grid().rows(), 3);
    QCOMPARE(f.form->documents().puzzle()->grid().columns(), 4);
    QVERIFY(f.form->documents().puzzle()->isEditMode());
    QVERIFY(f.form->documents().document()->isModified());

    // Choosing the split that is already checked keeps it checked.
    f.run(f.form->commands().action(Command::Split3x4));
    QVERIFY(f.form->commands().action(Command::Split3x4)->isChecked());
}

void TestCommands::effectGroupSetsTheCurrentEffect()
{
    WindowFixture f;
    f.New(f.makePicture(QStringLiteral("p.bmp"), 400, 300));
    QCOMPARE(f.form->documents().puzzle()->effect(), 4); // Hidden, checked at start
    const QImage before = PuzzleProbe(*f.form->documents().puzzle()).concealedPicture();
    f.run(f.form->commands().action(Command::Transparent));
    QStringList checked;
    for (const QAction *action : std::as_const(f.form->commands().actions()))
        if (CommandTable::category(action) == QLatin1String("Effect") && action->isChecked())
            checked << action->objectName();
    QCOMPARE(checked, QStringList{"TransparentAction"});
    QCOMPARE(f.form->commands().currentEffect(), 2);
    QCOMPARE(f.form->documents().puzzle()->effect(), 2);
    QVERIFY(PuzzleProbe(*f.form->documents().puzzle()).concealedPicture() != before);
    QVERIFY(f.form->documents().document()->isModified());
    QVERIFY(f.form->documents().puzzle()->isEditMode());
}

void TestCommands::noEffectCheckedKeepsTheCurrentEffect()
{
    WindowFixture f(790, 560, false);
    f.form->updateCommands();
    QCOMPARE(f.form->commands().currentEffect(), 4);
    f.form->commands().action(Command::LowResolution)->setChecked(true); // two checked: the first in list order wins
    f.form->updateCommands();
    QCOMPARE(f.form->commands().currentEffect(), 4);
    f.form->commands().action(Command::Hidden)->setChecked(false);
    f.form->updateCommands();
    QCOMPARE(f.form->commands().currentEffect(), 6);
    f.form->commands().action(Command::LowResolution)->setChecked(false);
    f.form->updateCommands();
    QCOMPARE(f.form->commands().currentEffect(), 6);
}

void TestCommands::emptyColumnToggleResplitsOnlyInEditMode()
{
    WindowFixture f;
    f.New(f.makePicture(QStringLiteral("p.bmp"), 400, 300));
    // The Edit menu's command resplits the puzzle being set up, and only that one.
    f.form->commands().action(Command::EmptyColumn)->trigger();
    QVERIFY(f.form->commands().action(Command::EmptyColumn)->isChecked());
    QCOMPARE(f.form->documents().puzzle()->grid().hasEmptyColumn(), true);
    f.run(f.form->commands().action(Command::Tangle));
    // In play the command is off; its handler, reached anyway, leaves the puzzle alone.
    f.form->commands().action(Command::EmptyColumn)->trigger();
    QVERIFY(f.form->commands().action(Command::EmptyColumn)->isChecked());
    f.form->commands().action(Command::EmptyColumn)->setChecked(false);
    // Emitted by hand, so that Qt does not invert the check mark first.
    emit f.form->commands().action(Command::EmptyColumn)->triggered(false);
    QCOMPARE(f.form->documents().puzzle()->grid().hasEmptyColumn(), true);
    QVERIFY(!f.form->documents().puzzle()->isEditMode());
}

void TestCommands::commandErrorIsReportedAndTheProgramGoesOn_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("program error") << 0 << "Stream read error";
    QTest::newRow("library error") << 1 << "vector::_M_range_check";
}

void TestCommands::commandErrorIsReportedAndTheProgramGoesOn()
{
    QFETCH(int, kind);
    QFETCH(QString, text);
    WindowFixture f(790, 560, false);
    bool after = false;
    f.form->guarded([&] {
        if (kind == 0)
            throw UserError(text);
        throw std::out_of_range(text.toStdString());
    });
    f.form->guarded([&] { after = true; });
    QCOMPARE(f.dialogs->errors(), QStringList{text});
    QVERIFY(after);

    // The same through a real command: a save that cannot be written.
    f.form->show();
    f.setPanelSize(790, 560);
    f.New(f.makePicture(QStringLiteral("p.bmp"), 400, 300));
    f.dialogs->savePuzzleAnswers << f.pathOf(QStringLiteral("no/such/folder/x.nbq"));
    f.run(f.form->commands().action(Command::SaveAs));
    QCOMPARE(f.dialogs->errors().size(), 2);
    QVERIFY(f.form->documents().puzzle());
    QVERIFY(f.form->documents().document()->isModified());
    QVERIFY(f.form->updateHandlerInstalled());
    QVERIFY(f.form->commands().action(Command::New)->isEnabled());
}

void TestCommands::idlePassFollowsTheStateAndThenSleeps()
{
    WindowFixture f;
    f.dialogs->openPictureAnswers << f.makePicture(QStringLiteral("p.bmp"), 400, 300);
    f.form->commands().action(Command::New)->trigger();
    // No explicit pass: the new puzzle's state brings the commands in step.
    QTRY_VERIFY(f.form->commands().action(Command::SaveAs)->isEnabled());
    QTRY_VERIFY(f.form->commands().action(Command::Tangle)->isEnabled());
    QVERIFY(!PlayControllerProbe(f.form->play()).isMouseAttached());

    QTest::qWait(100);
    const quint64 settled = f.form->updatePasses();
    QTest::qWait(400);
    QCOMPARE(f.form->updatePasses(), settled);

    // Events that change nothing the commands read bring no pass.
    QTest::mouseMove(f.form->pictureView(), QPoint(5, 5));
    QTest::mouseMove(f.form->pictureView(), QPoint(40, 30));
    QTest::qWait(100);
    QCOMPARE(f.form->updatePasses(), settled);

    // A command that changes much (the edit mode, the grid, the history, the mouse) brings one pass for all.
    f.form->commands().action(Command::Tangle)->trigger();
    QTRY_COMPARE(f.form->updatePasses(), settled + 1);
    QVERIFY(!f.form->commands().action(Command::Tangle)->isEnabled());
    QVERIFY(PlayControllerProbe(f.form->play()).isMouseAttached());
    QTest::qWait(200);
    QCOMPARE(f.form->updatePasses(), settled + 1);
}

void TestCommands::windowResizedDuringATangleIsFittedWhenItEnds()
{
    WindowFixture f;
    f.form->commands().action(Command::AutoBestFit)->setChecked(true);
    f.New(f.makePicture(QStringLiteral("p.bmp"), 1600, 1200));
    const Puzzle &puzzle = *f.form->documents().puzzle();
    QVERIFY(puzzle.display().width() > 500);
    f.form->setTangleStepMs(30);
    f.form->commands().action(Command::Tangle)->trigger();
    QVERIFY(f.form->documents().isAnimating());
    // The grid is not rebuilt under the tangle; the fit must follow by itself once it has ended.
    QVERIFY(f.setPanelSize(500, 400));
    QVERIFY(f.waitForLoad());
    QTRY_VERIFY(puzzle.display().width() <= 500 && puzzle.display().height() <= 400);
    QVERIFY(puzzle.display().width() > 400);
}

QTEST_MAIN(TestCommands)
#include "TestCommands.moc"
