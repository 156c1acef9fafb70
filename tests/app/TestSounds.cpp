// The window's three sounds: where they are opened from, when they are asked to play, the Sound switch, and
// failures that must stay silent.
#include "ProgramResources.h"
#include "TFakeSoundPlayer.h"
#include "TFormFixture.h"
#include "TPictureControl.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QTest>

namespace {

void Send(QWidget *To, QEvent::Type Type, Qt::MouseButton Button, Qt::MouseButtons Held, QPoint At)
{
    QMouseEvent Event(Type, QPointF(At), QPointF(To->mapToGlobal(At)), Button, Held, Qt::NoModifier);
    QApplication::sendEvent(To, &Event);
}

// Opens a 2 x 3 puzzle of 100-pixel cells whose row 1 is the solved one rotated right by one cell.
void OpenGame(TFormFixture &F)
{
    F.Open(F.MakePuzzleFile(QStringLiteral("g.nbq"), 300, 200, 2, 3));
    TPuzzle &P = *F.Form->Puzzle;
    P.Body.Reset();
    P.Body.Shift(QPoint(1, 1), QPoint(2, 1));
    P.Solved = false;
    P.RenderAll();
    F.Form->ActionListUpdate();
}

// One move of the 1 in row 1, left by one cell: press, drag, release (the solving move).
void SolvingDrag(TFormFixture &F)
{
    QWidget *Image = F.Form->Image;
    Send(Image, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, QPoint(150, 50));
    Send(Image, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, QPoint(130, 50));
    Send(Image, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, QPoint(80, 50));
    Send(Image, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPoint(80, 50));
}

void RightClick(TFormFixture &F)
{
    Send(F.Form->Image, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, QPoint(50, 50));
    Send(F.Form->Image, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, QPoint(50, 50));
}

} // namespace

class TestSounds : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void openedOnceAtStartInOrder();
    void resourcesBesideTheProgramElseShared_data();
    void resourcesBesideTheProgramElseShared();
    void soundSwitch_data();
    void soundSwitch();
    void hoverAndClickAreSilent();
    void failingPlayerNeverStopsAMove();
    void missingSoundsFolderIsSilent();
};

void TestSounds::openedOnceAtStartInOrder()
{
    TFormFixture F(790, 560, false);
    const QStringList Opened = F.Sounds;
    QCOMPARE(Opened.size(), 3);
    const QString Folder = QFileInfo(ProgramResource(QStringLiteral("Sounds/Move.wav"))).path();
    QCOMPARE(Opened, QStringList({QStringLiteral("Open|") + Folder + QStringLiteral("/Move.wav"),
                                  QStringLiteral("Open|") + Folder + QStringLiteral("/Advice.wav"),
                                  QStringLiteral("Open|") + Folder + QStringLiteral("/Victory.wav")}));
    OpenGame(F);
    SolvingDrag(F);
    QCOMPARE(F.Sounds.filter(QStringLiteral("Open|")).size(), 3);
}

void TestSounds::resourcesBesideTheProgramElseShared_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("expected");

    const QString Here = QCoreApplication::applicationDirPath();
    const QString Self = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    QTest::newRow("present beside the program") << Self << Here + QLatin1Char('/') + Self;
    QTest::newRow("absent everywhere: beside the program")
        << QStringLiteral("Sounds/NoSuch.wav") << Here + QStringLiteral("/Sounds/NoSuch.wav");
}

void TestSounds::resourcesBesideTheProgramElseShared()
{
    QFETCH(QString, relative);
    QFETCH(QString, expected);
    QCOMPARE(ProgramResource(relative), expected);
}

void TestSounds::soundSwitch_data()
{
    QTest::addColumn<bool>("on");
    QTest::addColumn<QStringList>("played");

    QTest::newRow("on") << true
                        << QStringList({QStringLiteral("Play|Advice.wav"), QStringLiteral("Play|Move.wav"),
                                        QStringLiteral("Play|Victory.wav"), QStringLiteral("Play|Advice.wav")});
    QTest::newRow("off") << false << QStringList({QStringLiteral("Play|Advice.wav")});
}

void TestSounds::soundSwitch()
{
    QFETCH(bool, on);
    QFETCH(QStringList, played);
    TFormFixture F;
    OpenGame(F);
    if (!on)
        F.Form->mSound->trigger();
    QCOMPARE(F.Form->mSound->isChecked(), on);
    RightClick(F);
    SolvingDrag(F);
    QVERIFY(F.Form->Puzzle->Solved);
    // Switching back on makes the next request heard.
    if (!on)
        F.Form->mSound->trigger();
    F.Form->PlaySoundIfOn(F.Form->AdviceMediaPlayer.get());
    QCOMPARE(F.Played(), played);
}

void TestSounds::hoverAndClickAreSilent()
{
    TFormFixture F;
    OpenGame(F);
    QWidget *Image = F.Form->Image;
    for (int X = 10; X < 300; X += 40)
        Send(Image, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, QPoint(X, 120));
    Send(Image, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, QPoint(120, 120));
    Send(Image, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPoint(150, 150));
    QVERIFY(F.Played().isEmpty());
}

void TestSounds::failingPlayerNeverStopsAMove()
{
    TFormFixture F;
    OpenGame(F);
    for (auto *Player : {F.Form->MoveMediaPlayer.get(), F.Form->VictoryMediaPlayer.get()})
        static_cast<TFakeSoundPlayer *>(Player)->Fails = true;
    SolvingDrag(F);
    QVERIFY(F.Form->Puzzle->Solved);
    QCOMPARE(F.Played(), QStringList({QStringLiteral("Play|Move.wav"), QStringLiteral("Play|Victory.wav")}));
    QVERIFY(F.Dialogs->Errors().isEmpty());
    QVERIFY(!QApplication::overrideCursor());
}

void TestSounds::missingSoundsFolderIsSilent()
{
    // The real players, next to a test program that has no Sounds folder and no installed share folder.
    QVERIFY(!QFileInfo::exists(ProgramResource(QStringLiteral("Sounds/Move.wav"))));
    auto Dialogs = std::make_unique<TFakeDialogs>();
    TFakeDialogs *Log = Dialogs.get();
    TNimbrelMainForm Form(std::move(Dialogs));
    QVERIFY(Form.MoveMediaPlayer && Form.AdviceMediaPlayer && Form.VictoryMediaPlayer);
    Form.PlaySoundIfOn(Form.MoveMediaPlayer.get());
    Form.PlaySoundIfOn(Form.AdviceMediaPlayer.get());
    Form.PlaySoundIfOn(Form.VictoryMediaPlayer.get());
    QVERIFY(Log->Log.isEmpty());
}

QTEST_MAIN(TestSounds)
#include "TestSounds.moc"
