// The demo window's choice, its refusal of a video that cannot be played, and the help command's address.
#include "ProgramResources.h"
#include "TFakeDialogs.h"
#include "TRulesForm.h"
#include "TVideoPanel.h"

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
#include <QVideoFrame>
#include <QVideoSink>

#include <functional>

namespace {

const QString LoopVideo = QStringLiteral(QUORRA_TEST_DATA "/loop-one-second.avi");

// A frame of Size whose luma is Y everywhere and whose chroma is neutral except in the last chroma sample of each
// row, which holds (U, V): only the last two columns of pixels show that colour.
QVideoFrame YuvFrame(QVideoFrameFormat::PixelFormat Format, QSize Size, QVideoFrameFormat::ColorRange Range, int Y,
                     int U, int V)
{
    QVideoFrameFormat Layout(Size, Format);
    Layout.setColorRange(Range);
    QVideoFrame Frame(Layout);
    if (!Frame.map(QVideoFrame::WriteOnly))
        return QVideoFrame();
    const int W = Size.width(), H = Size.height(), CW = (W + 1) / 2;
    auto Fill = [&](int Plane, int Rows, const std::function<uchar(int)> &Byte) {
        // Qt's own frames may hold fewer chroma rows than an odd height needs.
        Rows = std::min(Rows, Frame.mappedBytes(Plane) / Frame.bytesPerLine(Plane));
        for (int R = 0; R < Rows; ++R)
            for (int B = 0; B < Frame.bytesPerLine(Plane); ++B)
                Frame.bits(Plane)[qsizetype(R) * Frame.bytesPerLine(Plane) + B] = Byte(B);
    };
    Fill(0, H, [&](int) { return uchar(Y); });
    auto Chroma = [&](int Sample, int Value) { return uchar(Sample == CW - 1 ? Value : 128); };
    switch (Format) {
    case QVideoFrameFormat::Format_YUV420P:
    case QVideoFrameFormat::Format_YV12: {
        const bool Swapped = Format == QVideoFrameFormat::Format_YV12;
        Fill(Swapped ? 2 : 1, (H + 1) / 2, [&](int B) { return Chroma(B, U); });
        Fill(Swapped ? 1 : 2, (H + 1) / 2, [&](int B) { return Chroma(B, V); });
        break;
    }
    default: { // NV12, NV21
        const bool Swapped = Format == QVideoFrameFormat::Format_NV21;
        Fill(1, (H + 1) / 2, [&](int B) { return Chroma(B / 2, (B % 2 == 0) != Swapped ? U : V); });
        break;
    }
    }
    Frame.unmap();
    return Frame;
}

bool Near(QRgb Actual, QRgb Expected)
{
    return std::abs(qRed(Actual) - qRed(Expected)) <= 2 && std::abs(qGreen(Actual) - qGreen(Expected)) <= 2 &&
           std::abs(qBlue(Actual) - qBlue(Expected)) <= 2;
}

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
    void videoFrameAsPicture_data();
    void videoFrameAsPicture();
    void videoPanelShowsTheSinksFrames();
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

void TestRulesForm::videoFrameAsPicture_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("range");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("u");
    QTest::addColumn<int>("v");
    QTest::addColumn<QRgb>("grey");   // the pixels with neutral chroma
    QTest::addColumn<QRgb>("colour"); // the last column

    using F = QVideoFrameFormat;
    // A JPEG decoder's full range: Y 76, Cb 85, Cr 255 is pure red.
    QTest::newRow("4:2:0 planar, full range, red") << int(F::Format_YUV420P) << int(F::ColorRange_Full) << 76 << 85
                                                   << 255 << qRgb(76, 76, 76) << qRgb(255, 0, 0);
    QTest::newRow("4:2:0 planar, V first") << int(F::Format_YV12) << int(F::ColorRange_Full) << 76 << 85 << 255
                                           << qRgb(76, 76, 76) << qRgb(255, 0, 0);
    QTest::newRow("semi-planar UV") << int(F::Format_NV12) << int(F::ColorRange_Full) << 76 << 85 << 255
                                    << qRgb(76, 76, 76) << qRgb(255, 0, 0);
    QTest::newRow("semi-planar VU") << int(F::Format_NV21) << int(F::ColorRange_Full) << 76 << 85 << 255
                                    << qRgb(76, 76, 76) << qRgb(255, 0, 0);
    // Video range: 16 is black and 235 white; Y 81, Cb 90, Cr 240 is pure red.
    QTest::newRow("video range, black and red") << int(F::Format_YUV420P) << int(F::ColorRange_Video) << 16 << 128
                                                << 128 << qRgb(0, 0, 0) << qRgb(0, 0, 0);
    QTest::newRow("video range, red") << int(F::Format_YUV420P) << int(F::ColorRange_Video) << 81 << 90 << 240
                                      << qRgb(75, 75, 75) << qRgb(255, 0, 0);
}

// An odd height, whose last row Qt's own frames give no chroma row of its own: the last one stands in, and
// nothing is read past the frame.
void TestRulesForm::videoFrameAsPicture()
{
    QFETCH(int, format);
    QFETCH(int, range);
    QFETCH(int, y);
    QFETCH(int, u);
    QFETCH(int, v);
    QFETCH(QRgb, grey);
    QFETCH(QRgb, colour);

    const QSize Size(6, 3);
    const QImage Picture = TVideoPanel::ToImage(YuvFrame(QVideoFrameFormat::PixelFormat(format), Size,
                                                         QVideoFrameFormat::ColorRange(range), y, u, v));
    QCOMPARE(Picture.size(), Size);
    for (int Y = 0; Y < Size.height(); ++Y)
        for (int X = 0; X < Size.width(); ++X) {
            const QRgb Expected = X >= 4 ? colour : grey;
            QVERIFY2(Near(Picture.pixel(X, Y), Expected),
                     qPrintable(QStringLiteral("%1,%2: %3").arg(X).arg(Y).arg(Picture.pixel(X, Y), 8, 16)));
        }
}

// Frames sent to the panel's sink are shown fitted to the panel, black around them; a format it cannot convert
// shows black.
void TestRulesForm::videoPanelShowsTheSinksFrames()
{
    TVideoPanel Panel;
    Panel.resize(100, 100);
    QVideoFrame Packed(QVideoFrameFormat(QSize(8, 2), QVideoFrameFormat::Format_BGRX8888));
    QVERIFY(Packed.map(QVideoFrame::WriteOnly));
    for (int Row = 0; Row < 2; ++Row)
        std::fill_n(reinterpret_cast<quint32 *>(Packed.bits(0) + Row * Packed.bytesPerLine(0)), 8, 0xff20c040u);
    Packed.unmap();
    Panel.VideoSink()->setVideoFrame(Packed);
    QCOMPARE(Panel.Frame().size(), QSize(8, 2));
    const QImage Shown = Panel.grab().toImage();
    QCOMPARE(QColor(Shown.pixel(50, 50)), QColor(0x20, 0xc0, 0x40));
    QCOMPARE(QColor(Shown.pixel(50, 5)), QColor(Qt::black));

    Panel.VideoSink()->setVideoFrame(QVideoFrame(QVideoFrameFormat(QSize(8, 2), QVideoFrameFormat::Format_Jpeg)));
    QVERIFY(Panel.Frame().isNull());
    QCOMPARE(QColor(Panel.grab().toImage().pixel(50, 50)), QColor(Qt::black));
}

QTEST_MAIN(TestRulesForm)
#include "TestRulesForm.moc"
