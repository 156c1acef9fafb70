// SPDX-License-Identifier: GPL-3.0-or-later
// The window's three sounds: where they are opened from, when they are asked to play, the Sound switch, and
// failures that must stay silent.
#include "../../PuzzleProbe.h"
#include "FakeSoundPlayer.h"
#include "PictureView.h"
#include "ProgramResources.h"
#include "WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QTest>

using namespace quorra;

namespace {

void send(QWidget *to, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at)
{
    QMouseEvent event(type, QPointF(at), QPointF(to->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

// Opens a 2 x 3 puzzle of 100-pixel cells whose row 1 is the solved one rotated right by one cell.
void openGame(WindowFixture &f)
{
    f.open(f.makePuzzleFile(QStringLiteral("g.nbq"), 300, 200, 2, 3));
    Puzzle &p = *f.form->documents().puzzle();
    PuzzleProbe(p).grid().reset();
    PuzzleProbe(p).grid().shift(CellPos(1, 1), CellPos(2, 1));
    PuzzleProbe(p).setSolved(false);
    p.renderAll();
    f.form->updateCommands();
}

// One move of the 1 in row 1, left by one cell: press, drag, release (the solving move).
void solvingDrag(WindowFixture &f)
{
    QWidget *image = f.form->pictureView();
    send(image, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, QPoint(150, 50));
    send(image, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, QPoint(130, 50));
    send(image, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, QPoint(80, 50));
    send(image, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPoint(80, 50));
}

void rightClick(WindowFixture &f)
{
    send(f.form->pictureView(), QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, QPoint(50, 50));
    send(f.form->pictureView(), QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, QPoint(50, 50));
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
    WindowFixture f(790, 560, false);
    const QStringList opened = f.sounds;
    QCOMPARE(opened.size(), 3);
    const QString folder = QFileInfo(programResource(QStringLiteral("Sounds/Move.wav"))).path();
    QCOMPARE(opened, QStringList({QStringLiteral("Open|") + folder + QStringLiteral("/Move.wav"),
                                  QStringLiteral("Open|") + folder + QStringLiteral("/Advice.wav"),
                                  QStringLiteral("Open|") + folder + QStringLiteral("/Victory.wav")}));
    openGame(f);
    solvingDrag(f);
    QCOMPARE(f.sounds.filter(QStringLiteral("Open|")).size(), 3);
}

void TestSounds::resourcesBesideTheProgramElseShared_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("expected");

    const QString here = QCoreApplication::applicationDirPath();
    const QString self = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    QTest::newRow("present beside the program") << self << here + QLatin1Char('/') + self;
    QTest::newRow("absent everywhere: beside the program")
        << QStringLiteral("Sounds/NoSuch.wav") << here + QStringLiteral("/Sounds/NoSuch.wav");
}

void TestSounds::resourcesBesideTheProgramElseShared()
{
    QFETCH(QString, relative);
    QFETCH(QString, expected);
    QCOMPARE(programResource(relative), expected);
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
    WindowFixture f;
    openGame(f);
    if (!on)
        f.form->commands().soundItem()->trigger();
    QCOMPARE(f.form->commands().soundItem()->isChecked(), on);
    rightClick(f);
    solvingDrag(f);
    QVERIFY(f.form->documents().puzzle()->isSolved());
    // Switching back on makes the next request heard.
    if (!on)
        f.form->commands().soundItem()->trigger();
    f.form->play().playIfOn(PlayController::Sound::Advice);
    QCOMPARE(f.played(), played);
}

void TestSounds::hoverAndClickAreSilent()
{
    WindowFixture f;
    openGame(f);
    QWidget *image = f.form->pictureView();
    for (int x = 10; x < 300; x += 40)
        send(image, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, QPoint(x, 120));
    send(image, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, QPoint(120, 120));
    send(image, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPoint(150, 150));
    QVERIFY(f.played().isEmpty());
}

void TestSounds::failingPlayerNeverStopsAMove()
{
    WindowFixture f;
    openGame(f);
    for (auto *player :
         {f.form->play().sound(PlayController::Sound::Move), f.form->play().sound(PlayController::Sound::Victory)})
        static_cast<FakeSoundPlayer *>(player)->fails = true;
    solvingDrag(f);
    QVERIFY(f.form->documents().puzzle()->isSolved());
    QCOMPARE(f.played(), QStringList({QStringLiteral("Play|Move.wav"), QStringLiteral("Play|Victory.wav")}));
    QVERIFY(f.dialogs->errors().isEmpty());
    QVERIFY(!QApplication::overrideCursor());
}

void TestSounds::missingSoundsFolderIsSilent()
{
    // The real players, next to a test program that has no Sounds folder and no installed share folder.
    QVERIFY(!QFileInfo::exists(programResource(QStringLiteral("Sounds/Move.wav"))));
    auto dialogs = std::make_unique<FakeDialogs>();
    FakeDialogs *log = dialogs.get();
    MainWindow form(std::move(dialogs));
    for (auto sound : {PlayController::Sound::Move, PlayController::Sound::Advice, PlayController::Sound::Victory})
        QVERIFY(form.play().sound(sound));
    for (auto sound : {PlayController::Sound::Move, PlayController::Sound::Advice, PlayController::Sound::Victory})
        form.play().playIfOn(sound);
    QVERIFY(log->log.isEmpty());
}

QTEST_MAIN(TestSounds)
#include "TestSounds.moc"
