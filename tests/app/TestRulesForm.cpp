// The demo window's choice, its refusal of a video that cannot be played, and the help command's address.
#include "ProgramResources.h"
#include "TFakeDialogs.h"
#include "TRulesForm.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QtEndian>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>

#include <functional>

namespace {

const QString LoopVideo = QStringLiteral(QUORRA_TEST_DATA "/loop-one-second.avi");

// Runs Act once the window is on screen; counts the showings.
int ShowWith(TRulesForm &Form, bool &ShowAtStart, const std::function<void(TRulesForm &)> &Act)
{
    int Shown = 0;
    QObject::connect(&Form, &TRulesForm::Shown, &Form, [&] {
        ++Shown;
        Act(Form);
    });
    Form.ShowDemo(ShowAtStart);
    return Shown;
}

} // namespace

class TUrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> Urls;

public slots:
    void Open(const QUrl &Url) { Urls << Url; }
};

class TestRulesForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void refusedVideo_data();
    void refusedVideo();
    void window();
    void choice_data();
    void choice();
    void escapeKeepsWindow();
    void helpAddress();
    void programResource_data();
    void programResource();
    void helpPageLinks();
    void shippedVideo();
};

void TestRulesForm::window()
{
    TFakeDialogs Dialogs;
    TRulesForm Form(Dialogs, LoopVideo);
    QCOMPARE(Form.windowTitle(), QStringLiteral("Nimbrel"));
    QCOMPARE(Form.ShowAtStartupTntCheckBox->text(), QStringLiteral("Show at Start"));
    QCOMPARE(Form.OKTntButton->text(), QStringLiteral("OK"));
    // Left only with OK: no close button and no system menu in the title bar.
    const Qt::WindowFlags Flags = Form.windowFlags();
    QVERIFY(Flags & Qt::CustomizeWindowHint);
    QVERIFY(Flags & Qt::WindowTitleHint);
    QVERIFY(!(Flags & Qt::WindowCloseButtonHint));
    QVERIFY(!(Flags & Qt::WindowSystemMenuHint));
    // The panel shows the video at its own frame size, whatever the screen's dots per inch.
    QCOMPARE(Form.Panel1->geometry(), QRect(8, 8, 533, 400));
    QCOMPARE(Form.size(), QSize(550, 462));
}

void TestRulesForm::choice_data()
{
    QTest::addColumn<bool>("Before");
    QTest::addColumn<bool>("Box");     // what the user leaves in the check box
    QTest::addColumn<QString>("Leave"); // how the window is left
    QTest::addColumn<bool>("After");

    QTest::newRow("OK unchanged keeps it on") << true << true << "OK" << true;
    QTest::newRow("OK with the box cleared turns it off") << true << false << "OK" << false;
    QTest::newRow("OK with the box checked turns it on") << false << true << "OK" << true;
    QTest::newRow("close request keeps it on") << true << false << "close" << true;
    QTest::newRow("close request keeps it off") << false << true << "close" << false;
    QTest::newRow("rejected keeps it on") << true << false << "reject" << true;
}

void TestRulesForm::choice()
{
    QFETCH(bool, Before);
    QFETCH(bool, Box);
    QFETCH(QString, Leave);
    QFETCH(bool, After);

    TFakeDialogs Dialogs;
    TRulesForm Form(Dialogs, LoopVideo);
    bool ShowAtStart = Before;
    bool BoxOnShow = !Before;
    const int Shown = ShowWith(Form, ShowAtStart, [&](TRulesForm &F) {
        BoxOnShow = F.ShowAtStartupTntCheckBox->isChecked();
        F.ShowAtStartupTntCheckBox->setChecked(Box);
        if (Leave == QLatin1String("OK"))
            QTest::mouseClick(F.OKTntButton, Qt::LeftButton);
        else if (Leave == QLatin1String("close"))
            F.close();
        else
            F.reject();
    });
    QCOMPARE(Shown, 1);
    QCOMPARE(BoxOnShow, Before);
    QCOMPARE(ShowAtStart, After);
    QVERIFY(Dialogs.Log.isEmpty());
    QCOMPARE(Form.MediaPlayer1->playbackState(), QMediaPlayer::StoppedState);
}

void TestRulesForm::escapeKeepsWindow()
{
    TFakeDialogs Dialogs;
    TRulesForm Form(Dialogs, LoopVideo);
    bool ShowAtStart = true;
    bool VisibleAfterEscape = false;
    ShowWith(Form, ShowAtStart, [&](TRulesForm &F) {
        F.ShowAtStartupTntCheckBox->setChecked(false);
        QTest::keyClick(&F, Qt::Key_Escape);
        VisibleAfterEscape = F.isVisible();
        if (F.isVisible())
            QTest::mouseClick(F.OKTntButton, Qt::LeftButton);
    });
    QVERIFY(VisibleAfterEscape);
    QCOMPARE(ShowAtStart, false);
}

void TestRulesForm::refusedVideo_data()
{
    QTest::addColumn<QString>("Video");
    QTest::addColumn<bool>("Before");

    const QString Missing = QDir::temp().filePath(QStringLiteral("quorra-no-such-folder/Res/Example.avi"));
    QTest::newRow("missing, choice on") << Missing << true;
    QTest::newRow("missing, choice off") << Missing << false;
    QTest::newRow("not a video") << QStringLiteral(QUORRA_TEST_DATA "/not-a-video.avi") << true;
}

void TestRulesForm::refusedVideo()
{
    QFETCH(QString, Video);
    QFETCH(bool, Before);

    TFakeDialogs Dialogs;
    TRulesForm Form(Dialogs, Video);
    Form.OpenTimeoutMs = 2000;
    bool ShowAtStart = Before;
    // A window that did come up is left with a cleared box and OK, which would change the choice.
    const int Shown = ShowWith(Form, ShowAtStart, [](TRulesForm &F) {
        F.ShowAtStartupTntCheckBox->setChecked(!F.ShowAtStartupTntCheckBox->isChecked());
        QTest::mouseClick(F.OKTntButton, Qt::LeftButton);
    });
    QCOMPARE(Shown, 0);
    QCOMPARE(ShowAtStart, Before);
    QCOMPARE(Dialogs.Log.size(), 1);
    QCOMPARE(Dialogs.Errors().size(), 1);
    QVERIFY(!Dialogs.Errors().first().trimmed().isEmpty());
}

void TestRulesForm::helpAddress()
{
    TUrlCatcher Catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &Catcher, "Open");
    OpenHelp();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

    QCOMPARE(Catcher.Urls.size(), 1);
    const QUrl Url = Catcher.Urls.first();
    QVERIFY(Url.isLocalFile());
    QCOMPARE(Url.fileName(), QStringLiteral("Nimbrel.html"));
    QCOMPARE(Url.toLocalFile(), ProgramResource(QStringLiteral("Nimbrel.html")));
}

void TestRulesForm::programResource_data()
{
    QTest::addColumn<bool>("Beside");
    QTest::addColumn<bool>("Installed");
    QTest::addColumn<QString>("Expected"); // "beside" or "installed"

    QTest::newRow("beside the program") << true << false << "beside";
    QTest::newRow("beside wins over installed") << true << true << "beside";
    QTest::newRow("installed only") << false << true << "installed";
    QTest::newRow("nowhere names the place beside") << false << false << "beside";
}

void TestRulesForm::programResource()
{
    QFETCH(bool, Beside);
    QFETCH(bool, Installed);
    QFETCH(QString, Expected);

    const QString Relative = QStringLiteral("Res/probe-%1.txt").arg(QCoreApplication::applicationPid());
    const QString Program = QCoreApplication::applicationDirPath();
    const QString BesidePath = Program + QLatin1Char('/') + Relative;
    const QString InstalledPath =
        QDir::cleanPath(Program + QStringLiteral("/../share/quorra/") + Relative);
    auto Make = [](const QString &Path) {
        QDir().mkpath(QFileInfo(Path).absolutePath());
        QFile File(Path);
        QVERIFY(File.open(QIODevice::WriteOnly));
    };
    if (Beside)
        Make(BesidePath);
    if (Installed)
        Make(InstalledPath);

    const QString Found = ProgramResource(Relative);
    QFile::remove(BesidePath);
    QFile::remove(InstalledPath);
    QDir().rmdir(QFileInfo(BesidePath).absolutePath());
    QDir().rmpath(QFileInfo(InstalledPath).absolutePath());

    QCOMPARE(QDir::cleanPath(Found), QDir::cleanPath(Expected == QLatin1String("beside") ? BesidePath : InstalledPath));
}

void TestRulesForm::helpPageLinks()
{
    // Every picture and page the help refers to ships with it.
    const QString Page = QStringLiteral(QUORRA_HELP_PAGE);
    QFile File(Page);
    QVERIFY(File.open(QIODevice::ReadOnly));
    const QString Html = QString::fromUtf8(File.readAll());
    static const QRegularExpression Link(QStringLiteral("(?:src|href)=\"([^\"#:]+)\""));
    int Pictures = 0;
    for (auto Match = Link.globalMatch(Html); Match.hasNext();) {
        const QString Target = Match.next().captured(1);
        QVERIFY2(QFileInfo::exists(QFileInfo(Page).dir().filePath(Target)), qPrintable(Target));
        if (Target.endsWith(QLatin1String(".png")))
            ++Pictures;
    }
    QVERIFY(Pictures >= 3);
}

void TestRulesForm::shippedVideo()
{
    // Read from the AVI main header, so that no media layer is needed: the frames fill the panel exactly, the
    // clip is a few seconds long and every frame is a JPEG picture of its own.
    QFile File(QStringLiteral(QUORRA_DEMO_VIDEO));
    QVERIFY(File.open(QIODevice::ReadOnly));
    QVERIFY(File.size() < 3 * 1024 * 1024);
    const QByteArray Head = File.read(4096);
    QCOMPARE(Head.left(4), QByteArray("RIFF"));
    QCOMPARE(Head.mid(8, 4), QByteArray("AVI "));
    const qsizetype Main = Head.indexOf("avih");
    QVERIFY(Main > 0);
    auto Word = [&](qsizetype At) { return qFromLittleEndian<quint32>(Head.constData() + At); };
    const quint32 MicrosecondsPerFrame = Word(Main + 8);
    const quint32 Frames = Word(Main + 8 + 16);
    QCOMPARE(Word(Main + 8 + 32), quint32(533));
    QCOMPARE(Word(Main + 8 + 36), quint32(400));
    const double Seconds = double(MicrosecondsPerFrame) * Frames / 1e6;
    QVERIFY2(Seconds >= 6 && Seconds <= 12, qPrintable(QString::number(Seconds)));
    QVERIFY(Head.contains("MJPG"));
}

QTEST_MAIN(TestRulesForm)
#include "TestRulesForm.moc"
