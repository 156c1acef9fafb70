// SPDX-License-Identifier: GPL-3.0-or-later
// The demo window's choice, its refusal of a video that cannot be played, and the help command's address.
#include "DemoWindow.h"
#include "DemoWindowProbe.h"
#include "FakeDialogs.h"
#include "ProgramResources.h"
#include "VideoPanel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>
#include <QtEndian>

#include <functional>

using namespace quorra;

namespace {

const QString LoopVideo = QStringLiteral(QUORRA_TEST_DATA "/loop-one-second.avi");

// A frame of size whose luma is y everywhere and whose chroma is neutral except in the last chroma sample of each
// row, which holds (u, v): only the last two columns of pixels show that colour.
QVideoFrame yuvFrame(QVideoFrameFormat::PixelFormat format, QSize size, QVideoFrameFormat::ColorRange range, int y,
                     int u, int v)
{
    QVideoFrameFormat layout(size, format);
    layout.setColorRange(range);
    QVideoFrame frame(layout);
    if (!frame.map(QVideoFrame::WriteOnly))
        return QVideoFrame();
    const int w = size.width(), h = size.height(), cw = (w + 1) / 2;
    auto fill = [&](int plane, int rows, const std::function<uchar(int)> &byte) {
        // Qt's own frames may hold fewer chroma rows than an odd height needs.
        rows = std::min(rows, frame.mappedBytes(plane) / frame.bytesPerLine(plane));
        for (int r = 0; r < rows; ++r)
            for (int b = 0; b < frame.bytesPerLine(plane); ++b)
                frame.bits(plane)[qsizetype(r) * frame.bytesPerLine(plane) + b] = byte(b);
    };
    fill(0, h, [&](int) { return uchar(y); });
    auto chroma = [&](int sample, int value) { return uchar(sample == cw - 1 ? value : 128); };
    switch (format) {
    case QVideoFrameFormat::Format_YUV420P:
    case QVideoFrameFormat::Format_YV12: {
        const bool swapped = format == QVideoFrameFormat::Format_YV12;
        fill(swapped ? 2 : 1, (h + 1) / 2, [&](int b) { return chroma(b, u); });
        fill(swapped ? 1 : 2, (h + 1) / 2, [&](int b) { return chroma(b, v); });
        break;
    }
    default: { // NV12, NV21
        const bool swappedPlanes = format == QVideoFrameFormat::Format_NV21;
        fill(1, (h + 1) / 2, [&](int b) { return chroma(b / 2, (b % 2 == 0) != swappedPlanes ? u : v); });
        break;
    }
    }
    frame.unmap();
    return frame;
}

bool near(QRgb actual, QRgb expected)
{
    return std::abs(qRed(actual) - qRed(expected)) <= 2 && std::abs(qGreen(actual) - qGreen(expected)) <= 2
           && std::abs(qBlue(actual) - qBlue(expected)) <= 2;
}

// Runs act once the window is on screen; counts the showings.
int showWith(DemoWindow &form, bool &showAtStart, const std::function<void(DemoWindow &)> &act)
{
    int shown = 0;
    QObject::connect(&form, &DemoWindow::shown, &form, [&] {
        ++shown;
        act(form);
    });
    showAtStart = form.showDemo(showAtStart);
    return shown;
}

} // namespace

class TestDemoWindow : public QObject
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

void TestDemoWindow::window()
{
    FakeDialogs dialogs;
    DemoWindow form(dialogs, LoopVideo);
    QCOMPARE(form.windowTitle(), QStringLiteral("Nimbrel"));
    QCOMPARE(DemoWindowProbe(form).showAtStartBox()->text(), QStringLiteral("Show at Start"));
    QCOMPARE(DemoWindowProbe(form).okButton()->text(), QStringLiteral("OK"));
    // Left only with OK: no close button and no system menu in the title bar.
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(flags & Qt::CustomizeWindowHint);
    QVERIFY(flags & Qt::WindowTitleHint);
    QVERIFY(!(flags & Qt::WindowCloseButtonHint));
    QVERIFY(!(flags & Qt::WindowSystemMenuHint));
    // The panel shows the video at its own frame size, whatever the screen's dots per inch.
    QCOMPARE(DemoWindowProbe(form).videoFrame()->geometry(), QRect(8, 8, 533, 400));
    QCOMPARE(form.size(), QSize(550, 462));
}

void TestDemoWindow::choice_data()
{
    QTest::addColumn<bool>("before");
    QTest::addColumn<bool>("box");      // what the user leaves in the check box
    QTest::addColumn<QString>("leave"); // how the window is left
    QTest::addColumn<bool>("after");

    QTest::newRow("OK unchanged keeps it on") << true << true << "OK" << true;
    QTest::newRow("OK with the box cleared turns it off") << true << false << "OK" << false;
    QTest::newRow("OK with the box checked turns it on") << false << true << "OK" << true;
    QTest::newRow("close request keeps it on") << true << false << "close" << true;
    QTest::newRow("close request keeps it off") << false << true << "close" << false;
    QTest::newRow("rejected keeps it on") << true << false << "reject" << true;
}

void TestDemoWindow::choice()
{
    QFETCH(bool, before);
    QFETCH(bool, box);
    QFETCH(QString, leave);
    QFETCH(bool, after);

    FakeDialogs dialogs;
    DemoWindow form(dialogs, LoopVideo);
    bool showAtStart = before;
    bool boxOnShow = !before;
    const int shown = showWith(form, showAtStart, [&](DemoWindow &f) {
        boxOnShow = DemoWindowProbe(f).showAtStartBox()->isChecked();
        DemoWindowProbe(f).showAtStartBox()->setChecked(box);
        if (leave == QLatin1String("OK"))
            QTest::mouseClick(DemoWindowProbe(f).okButton(), Qt::LeftButton);
        else if (leave == QLatin1String("close"))
            f.close();
        else
            f.reject();
    });
    QCOMPARE(shown, 1);
    QCOMPARE(boxOnShow, before);
    QCOMPARE(showAtStart, after);
    QVERIFY(dialogs.log.isEmpty());
    QCOMPARE(DemoWindowProbe(form).player()->playbackState(), QMediaPlayer::StoppedState);
}

void TestDemoWindow::escapeKeepsWindow()
{
    FakeDialogs dialogs;
    DemoWindow form(dialogs, LoopVideo);
    bool showAtStart = true;
    bool visibleAfterEscape = false;
    showWith(form, showAtStart, [&](DemoWindow &f) {
        DemoWindowProbe(f).showAtStartBox()->setChecked(false);
        QTest::keyClick(&f, Qt::Key_Escape);
        visibleAfterEscape = f.isVisible();
        if (f.isVisible())
            QTest::mouseClick(DemoWindowProbe(f).okButton(), Qt::LeftButton);
    });
    QVERIFY(visibleAfterEscape);
    QCOMPARE(showAtStart, false);
}

void TestDemoWindow::refusedVideo_data()
{
    QTest::addColumn<QString>("video");
    QTest::addColumn<bool>("before");

    const QString missing = QDir::temp().filePath(QStringLiteral("quorra-no-such-folder/Res/Example.avi"));
    QTest::newRow("missing, choice on") << missing << true;
    QTest::newRow("missing, choice off") << missing << false;
    QTest::newRow("not a video") << QStringLiteral(QUORRA_TEST_DATA "/not-a-video.avi") << true;
}

void TestDemoWindow::refusedVideo()
{
    QFETCH(QString, video);
    QFETCH(bool, before);

    FakeDialogs dialogs;
    DemoWindow form(dialogs, video);
    form.setOpenTimeout(2000);
    bool showAtStart = before;
    // A window that did come up is left with a cleared box and OK, which would change the choice.
    const int shown = showWith(form, showAtStart, [](DemoWindow &f) {
        DemoWindowProbe(f).showAtStartBox()->setChecked(!DemoWindowProbe(f).showAtStartBox()->isChecked());
        QTest::mouseClick(DemoWindowProbe(f).okButton(), Qt::LeftButton);
    });
    QCOMPARE(shown, 0);
    QCOMPARE(showAtStart, before);
    QCOMPARE(dialogs.log.size(), 1);
    QCOMPARE(dialogs.errors().size(), 1);
    QVERIFY(!dialogs.errors().first().trimmed().isEmpty());
}

void TestDemoWindow::helpAddress()
{
    const QUrl url = quorra::helpAddress();
    QVERIFY(url.isLocalFile());
    QCOMPARE(url.fileName(), QStringLiteral("Nimbrel.html"));
    QCOMPARE(url.toLocalFile(), quorra::programResource(QStringLiteral("Nimbrel.html")));
}

void TestDemoWindow::programResource_data()
{
    QTest::addColumn<bool>("beside");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("expected"); // "beside" or "installed"

    QTest::newRow("beside the program") << true << false << "beside";
    QTest::newRow("beside wins over installed") << true << true << "beside";
    QTest::newRow("installed only") << false << true << "installed";
    QTest::newRow("nowhere names the place beside") << false << false << "beside";
}

void TestDemoWindow::programResource()
{
    QFETCH(bool, beside);
    QFETCH(bool, installed);
    QFETCH(QString, expected);

    const QString relative = QStringLiteral("Res/probe-%1.txt").arg(QCoreApplication::applicationPid());
    const QString program = QCoreApplication::applicationDirPath();
    const QString besidePath = program + QLatin1Char('/') + relative;
    const QString installedPath = QDir::cleanPath(program + QStringLiteral("/../share/quorra/") + relative);
    auto make = [](const QString &path) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    };
    if (beside)
        make(besidePath);
    if (installed)
        make(installedPath);

    const QString found = quorra::programResource(relative);
    QFile::remove(besidePath);
    QFile::remove(installedPath);
    QDir().rmdir(QFileInfo(besidePath).absolutePath());
    QDir().rmpath(QFileInfo(installedPath).absolutePath());

    QCOMPARE(QDir::cleanPath(found), QDir::cleanPath(expected == QLatin1String("beside") ? besidePath : installedPath));
}

void TestDemoWindow::helpPageLinks()
{
    // Every picture and page the help refers to ships with it.
    const QString page = QStringLiteral(QUORRA_HELP_PAGE);
    QFile file(page);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    static const QRegularExpression link(QStringLiteral("(?:src|href)=\"([^\"#:]+)\""));
    int pictures = 0;
    for (auto match = link.globalMatch(html); match.hasNext();) {
        const QString target = match.next().captured(1);
        QVERIFY2(QFileInfo::exists(QFileInfo(page).dir().filePath(target)), qPrintable(target));
        if (target.endsWith(QLatin1String(".png")))
            ++pictures;
    }
    QVERIFY(pictures >= 3);
}

void TestDemoWindow::shippedVideo()
{
    // Read from the AVI main header, so that no media layer is needed: the frames fill the panel exactly, the
    // clip is a few seconds long and every frame is a JPEG picture of its own.
    QFile file(QStringLiteral(QUORRA_DEMO_VIDEO));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.size() < 3 * 1024 * 1024);
    const QByteArray head = file.read(4096);
    QCOMPARE(head.left(4), QByteArray("RIFF"));
    QCOMPARE(head.mid(8, 4), QByteArray("AVI "));
    const qsizetype main = head.indexOf("avih");
    QVERIFY(main > 0);
    auto word = [&](qsizetype at) { return qFromLittleEndian<quint32>(head.constData() + at); };
    const quint32 microsecondsPerFrame = word(main + 8);
    const quint32 frames = word(main + 8 + 16);
    QCOMPARE(word(main + 8 + 32), quint32(533));
    QCOMPARE(word(main + 8 + 36), quint32(400));
    const double seconds = double(microsecondsPerFrame) * frames / 1e6;
    QVERIFY2(seconds >= 6 && seconds <= 12, qPrintable(QString::number(seconds)));
    QVERIFY(head.contains("MJPG"));
}

void TestDemoWindow::videoFrameAsPicture_data()
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
    QTest::newRow("4:2:0 planar, full range, red")
        << int(F::Format_YUV420P) << int(F::ColorRange_Full) << 76 << 85 << 255 << qRgb(76, 76, 76) << qRgb(255, 0, 0);
    QTest::newRow("4:2:0 planar, V first")
        << int(F::Format_YV12) << int(F::ColorRange_Full) << 76 << 85 << 255 << qRgb(76, 76, 76) << qRgb(255, 0, 0);
    QTest::newRow("semi-planar UV") << int(F::Format_NV12) << int(F::ColorRange_Full) << 76 << 85 << 255
                                    << qRgb(76, 76, 76) << qRgb(255, 0, 0);
    QTest::newRow("semi-planar VU") << int(F::Format_NV21) << int(F::ColorRange_Full) << 76 << 85 << 255
                                    << qRgb(76, 76, 76) << qRgb(255, 0, 0);
    // video range: 16 is black and 235 white; Y 81, Cb 90, Cr 240 is pure red.
    QTest::newRow("video range, black and red")
        << int(F::Format_YUV420P) << int(F::ColorRange_Video) << 16 << 128 << 128 << qRgb(0, 0, 0) << qRgb(0, 0, 0);
    QTest::newRow("video range, red") << int(F::Format_YUV420P) << int(F::ColorRange_Video) << 81 << 90 << 240
                                      << qRgb(75, 75, 75) << qRgb(255, 0, 0);
}

// An odd height, whose last row Qt's own frames give no chroma row of its own: the last one stands in, and
// nothing is read past the frame.
void TestDemoWindow::videoFrameAsPicture()
{
    QFETCH(int, format);
    QFETCH(int, range);
    QFETCH(int, y);
    QFETCH(int, u);
    QFETCH(int, v);
    QFETCH(QRgb, grey);
    QFETCH(QRgb, colour);

    const QSize size(6, 3);
    const QImage picture = VideoPanel::toImage(
        yuvFrame(QVideoFrameFormat::PixelFormat(format), size, QVideoFrameFormat::ColorRange(range), y, u, v));
    QCOMPARE(picture.size(), size);
    for (int row = 0; row < size.height(); ++row)
        for (int column = 0; column < size.width(); ++column) {
            const QRgb expected = column >= 4 ? colour : grey;
            QVERIFY2(
                near(picture.pixel(column, row), expected),
                qPrintable(QStringLiteral("%1,%2: %3").arg(column).arg(row).arg(picture.pixel(column, row), 8, 16)));
        }
}

// Frames sent to the panel's sink are shown fitted to the panel, black around them; a format it cannot convert
// shows black.
void TestDemoWindow::videoPanelShowsTheSinksFrames()
{
    VideoPanel panel;
    panel.resize(100, 100);
    QVideoFrame packed(QVideoFrameFormat(QSize(8, 2), QVideoFrameFormat::Format_BGRX8888));
    QVERIFY(packed.map(QVideoFrame::WriteOnly));
    for (int row = 0; row < 2; ++row)
        std::fill_n(reinterpret_cast<quint32 *>(packed.bits(0) + row * packed.bytesPerLine(0)), 8, 0xff20c040u);
    packed.unmap();
    panel.videoSink()->setVideoFrame(packed);
    QCOMPARE(panel.frame().size(), QSize(8, 2));
    const QImage shown = panel.grab().toImage();
    QCOMPARE(QColor(shown.pixel(50, 50)), QColor(0x20, 0xc0, 0x40));
    QCOMPARE(QColor(shown.pixel(50, 5)), QColor(Qt::black));

    panel.videoSink()->setVideoFrame(QVideoFrame(QVideoFrameFormat(QSize(8, 2), QVideoFrameFormat::Format_Jpeg)));
    QVERIFY(panel.frame().isNull());
    QCOMPARE(QColor(panel.grab().toImage().pixel(50, 50)), QColor(Qt::black));
}

QTEST_MAIN(TestDemoWindow)
#include "TestDemoWindow.moc"
