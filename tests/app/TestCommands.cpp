// The commands of the main window: which are enabled in each state, the Split and Effect groups, the tangle with
// everything switched off, the error report, and the idle pass that keeps it all in step.
#include "TError.h"
#include "TFormFixture.h"
#include "TPictureControl.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QStandardPaths>
#include <QTest>

#include <ctime>

namespace {

const QStringList Always = {"NewAction",  "OpenAction",  "ExitAction",       "AutoBestFitAction",
                            "HelpAction", "AboutAction", "ShowAtStartAction"};
const QStringList Splits = {"Action2x2", "Action3x2", "Action4x2", "Action2x3", "Action3x3",
                            "Action4x3", "Action2x4", "Action3x4", "Action4x4"};
const QStringList Effects = {"ObscureAction", "DarkAction",      "TransparentAction",  "NegativeAction",
                             "HiddenAction",  "TopSecretAction", "LowResolutionAction"};

QStringList Sorted(QStringList List)
{
    List.sort();
    return List;
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
};

void TestCommands::enablingByState_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("autoFit");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<bool>("mouse");

    const QStringList Zoom = {"ZoomInAction", "ZoomOutAction", "BestFitAction"};
    QTest::newRow("no puzzle") << "none" << false << Always << true;
    QTest::newRow("no puzzle, auto fit") << "none" << true << Always << true;
    QTest::newRow("edit mode") << "edit" << false
                               << Always + Splits + Effects + Zoom + QStringList{"SaveAsAction", "TangleAction"}
                               << false;
    // At the fit Zoom In has nowhere to go, and Best Fit is the window's own business.
    QTest::newRow("edit mode, auto fit")
        << "edit" << true << Always + Splits + Effects + QStringList{"ZoomOutAction", "SaveAsAction", "TangleAction"}
        << false;
    QTest::newRow("play, never saved") << "play" << false << Always + Zoom + QStringList{"SaveAsAction"} << true;
    QTest::newRow("play, saved") << "saved" << false
                                 << Always + Zoom + QStringList{"SaveAsAction", "SendByEMailAction"} << true;
    QTest::newRow("play, opened") << "opened" << false
                                  << Always + Zoom + QStringList{"SaveAsAction", "SendByEMailAction"} << true;
    QTest::newRow("solved, never saved")
        << "solved" << false << Always + Zoom + QStringList{"SaveAsAction", "SaveImageAsAction", "TangleAction"}
        << false;
    QTest::newRow("solved, opened")
        << "solved opened" << false
        << Always + Zoom
               + QStringList{"SaveAsAction", "SaveImageAsAction", "TangleAction", "SendByEMailAction"}
        << false;
}

void TestCommands::enablingByState()
{
    QFETCH(QString, state);
    QFETCH(bool, autoFit);
    QFETCH(QStringList, enabled);
    QFETCH(bool, mouse);

    TFormFixture F;
    F.Form->AutoBestFitAction->setChecked(autoFit);
    const QString Picture = F.MakePicture(QStringLiteral("p.bmp"), 400, 300);
    if (state == QLatin1String("edit") || state == QLatin1String("play") || state == QLatin1String("saved")
        || state == QLatin1String("solved"))
        F.New(Picture);
    if (state == QLatin1String("play") || state == QLatin1String("solved"))
        F.Run(F.Form->TangleAction);
    if (state == QLatin1String("saved")) {
        F.Dialogs->SavePuzzleAnswers << F.PathOf(QStringLiteral("s.nbq"));
        F.Run(F.Form->SaveAsAction);
    }
    if (state.contains(QLatin1String("opened")))
        F.Open(F.MakePuzzleFile(QStringLiteral("o.nbq"), 400, 300));
    if (state.startsWith(QLatin1String("solved")))
        F.Solve();

    F.Form->ActionListUpdate();
    QCOMPARE(Sorted(F.EnabledCommands()), Sorted(enabled));
    QCOMPARE(F.Form->ImageMouseAttached(), mouse);
    QVERIFY(F.Dialogs->Errors().isEmpty());
}

void TestCommands::commandsOffDuringTangle()
{
    TFormFixture F;
    F.New(F.MakePicture(QStringLiteral("p.bmp"), 400, 300));
    int Steps = 0;
    QStringList EnabledDuring;
    bool MouseDuring = false, MenuItemsDuring = false, ClosedDuring = false;
    connect(F.Form.get(), &TNimbrelMainForm::TangleStepped, this, [&] {
        ++Steps;
        // An idle pass in the middle of the tangle must not switch anything back on.
        F.Form->ActionListUpdate();
        EnabledDuring += F.EnabledCommands();
        MouseDuring |= F.Form->ImageMouseAttached();
        MenuItemsDuring |= F.Form->mSound->isEnabled() || F.Form->mShowexampe->isEnabled();
        ClosedDuring |= F.Form->close();
    });
    F.Run(F.Form->TangleAction);

    QVERIFY(Steps > 0);
    QCOMPARE(EnabledDuring, QStringList());
    QVERIFY(!MouseDuring);
    QVERIFY(!MenuItemsDuring);
    QVERIFY(!ClosedDuring);
    QVERIFY(F.Form->isVisible());
    // Afterwards the rules hold again: a puzzle in play.
    QVERIFY(F.Form->UpdateHandlerInstalled());
    QVERIFY(F.Form->ImageMouseAttached());
    QVERIFY(!F.Form->Puzzle->EditMode);
    QVERIFY(F.Form->SaveAsAction->isEnabled());
    QVERIFY(!F.Form->TangleAction->isEnabled());
    QVERIFY(F.Form->mSound->isEnabled());
}

void TestCommands::tangleIsPacedWithoutSpinning()
{
    TFormFixture F;
    F.New(F.MakePicture(QStringLiteral("p.bmp"), 400, 300));
    F.Form->TangleStepMs = 40;
    int Steps = 0;
    connect(F.Form.get(), &TNimbrelMainForm::TangleStepped, this, [&Steps] { ++Steps; });
    QElapsedTimer Clock;
    Clock.start();
    const std::clock_t Cpu = std::clock();
    F.Run(F.Form->TangleAction);
    const double CpuMs = double(std::clock() - Cpu) * 1000.0 / CLOCKS_PER_SEC;
    const qint64 WallMs = Clock.elapsed();
    QCOMPARE(Steps, 3); // a 2 x 2 puzzle tangles in three shifts
    QVERIFY2(WallMs >= 3 * 40, qPrintable(QString::number(WallMs)));
    // The pauses wait in the event loop: most of the time is spent asleep.
    QVERIFY2(CpuMs < WallMs * 0.6, qPrintable(QStringLiteral("%1 ms CPU in %2 ms").arg(CpuMs).arg(WallMs)));
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

    TFormFixture F(790, 560, false);
    for (QAction *Action : std::as_const(F.Form->ActionList))
        if (TNimbrelMainForm::Category(Action) == QLatin1String("Split"))
            Action->setChecked(checked.contains(Action->objectName()));
    int Rows = 0, Columns = 0;
    F.Form->GetSplit(Rows, Columns);
    QCOMPARE(Rows, rows);
    QCOMPARE(Columns, columns);
}

void TestCommands::splitGroupChecksOnlyTheChosenAndResplits()
{
    TFormFixture F;
    // Several checked at once, as the stored settings may leave them.
    F.Form->Action3x3->setChecked(true);
    F.Form->Action4x4->setChecked(true);
    F.New(F.MakePicture(QStringLiteral("p.bmp"), 400, 300));
    QCOMPARE(F.Form->Puzzle->Body.Rows, 2);
    QCOMPARE(F.Form->Puzzle->Body.Cols, 2);

    F.Dialogs->SavePuzzleAnswers << F.PathOf(QStringLiteral("s.nbq"));
    F.Run(F.Form->SaveAsAction);
    F.Run(F.Form->TangleAction); // back to play: the Split commands are off
    QVERIFY(!F.Form->Action3x4->isEnabled());

    F.New(F.MakePicture(QStringLiteral("q.bmp"), 400, 300));
    F.Run(F.Form->Action3x4);
    QStringList Checked;
    for (const QAction *Action : std::as_const(F.Form->ActionList))
        if (TNimbrelMainForm::Category(Action) == QLatin1String("Split") && Action->isChecked())
            Checked << Action->objectName();
    QCOMPARE(Checked, QStringList{"Action3x4"});
    QCOMPARE(F.Form->Puzzle->Body.Rows, 3);
    QCOMPARE(F.Form->Puzzle->Body.Cols, 4);
    QVERIFY(F.Form->Puzzle->EditMode);
    QVERIFY(F.Form->Puzzle->Modified);

    // Choosing the split that is already checked keeps it checked.
    F.Run(F.Form->Action3x4);
    QVERIFY(F.Form->Action3x4->isChecked());
}

void TestCommands::effectGroupSetsTheCurrentEffect()
{
    TFormFixture F;
    F.New(F.MakePicture(QStringLiteral("p.bmp"), 400, 300));
    QCOMPARE(F.Form->Puzzle->Effect, 4); // Hidden, checked at start
    const QImage Before = F.Form->Puzzle->Concealed;
    F.Run(F.Form->TransparentAction);
    QStringList Checked;
    for (const QAction *Action : std::as_const(F.Form->ActionList))
        if (TNimbrelMainForm::Category(Action) == QLatin1String("Effect") && Action->isChecked())
            Checked << Action->objectName();
    QCOMPARE(Checked, QStringList{"TransparentAction"});
    QCOMPARE(F.Form->CurrentEffect, 2);
    QCOMPARE(F.Form->Puzzle->Effect, 2);
    QVERIFY(F.Form->Puzzle->Concealed != Before);
    QVERIFY(F.Form->Puzzle->Modified);
    QVERIFY(F.Form->Puzzle->EditMode);
}

void TestCommands::noEffectCheckedKeepsTheCurrentEffect()
{
    TFormFixture F(790, 560, false);
    F.Form->ActionListUpdate();
    QCOMPARE(F.Form->CurrentEffect, 4);
    F.Form->LowResolutionAction->setChecked(true); // two checked: the first in list order wins
    F.Form->ActionListUpdate();
    QCOMPARE(F.Form->CurrentEffect, 4);
    F.Form->HiddenAction->setChecked(false);
    F.Form->ActionListUpdate();
    QCOMPARE(F.Form->CurrentEffect, 6);
    F.Form->LowResolutionAction->setChecked(false);
    F.Form->ActionListUpdate();
    QCOMPARE(F.Form->CurrentEffect, 6);
}

void TestCommands::emptyColumnToggleResplitsOnlyInEditMode()
{
    TFormFixture F;
    F.New(F.MakePicture(QStringLiteral("p.bmp"), 400, 300));
    // The command is hidden, so only a direct trigger reaches it; its handler still follows the rules.
    F.Form->EmptyColumnAction->trigger();
    QVERIFY(F.Form->EmptyColumnAction->isChecked());
    QCOMPARE(F.Form->Puzzle->Body.ExtraCol, 1);
    F.Run(F.Form->TangleAction);
    // In play the command is off; its handler, reached anyway, leaves the puzzle alone.
    F.Form->EmptyColumnAction->trigger();
    QVERIFY(F.Form->EmptyColumnAction->isChecked());
    F.Form->EmptyColumnAction->setChecked(false);
    F.Form->EmptyRowActionExecute(F.Form->EmptyColumnAction);
    QCOMPARE(F.Form->Puzzle->Body.ExtraCol, 1);
    QVERIFY(!F.Form->Puzzle->EditMode);
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
    TFormFixture F(790, 560, false);
    bool After = false;
    F.Form->Guarded([&] {
        if (kind == 0)
            throw TError(text);
        throw std::out_of_range(text.toStdString());
    });
    F.Form->Guarded([&] { After = true; });
    QCOMPARE(F.Dialogs->Errors(), QStringList{text});
    QVERIFY(After);

    // The same through a real command: a save that cannot be written.
    F.Form->show();
    F.SetPanelSize(790, 560);
    F.New(F.MakePicture(QStringLiteral("p.bmp"), 400, 300));
    F.Dialogs->SavePuzzleAnswers << F.PathOf(QStringLiteral("no/such/folder/x.nbq"));
    F.Run(F.Form->SaveAsAction);
    QCOMPARE(F.Dialogs->Errors().size(), 2);
    QVERIFY(F.Form->Puzzle);
    QVERIFY(F.Form->Puzzle->Modified);
    QVERIFY(F.Form->UpdateHandlerInstalled());
    QVERIFY(F.Form->NewAction->isEnabled());
}

void TestCommands::idlePassFollowsTheStateAndThenSleeps()
{
    TFormFixture F;
    F.Dialogs->OpenPictureAnswers << F.MakePicture(QStringLiteral("p.bmp"), 400, 300);
    F.Form->NewAction->trigger();
    // No explicit pass: the event loop's idle moment brings the commands in step.
    QTRY_VERIFY(F.Form->SaveAsAction->isEnabled());
    QTRY_VERIFY(F.Form->TangleAction->isEnabled());
    QVERIFY(!F.Form->ImageMouseAttached());

    QTest::qWait(100);
    const quint64 Settled = F.Form->UpdatePasses();
    QTest::qWait(400);
    QCOMPARE(F.Form->UpdatePasses(), Settled);

    // Any event wakes it again, once.
    QTest::mouseMove(F.Form->Image, QPoint(5, 5));
    QTRY_VERIFY(F.Form->UpdatePasses() > Settled);
}

QTEST_MAIN(TestCommands)
#include "TestCommands.moc"
