// SPDX-License-Identifier: GPL-3.0-or-later
// The demo window's video on a real display: it loops, the shipped video plays and is shown, and closing the
// window gives its memory back.
#include "DemoWindow.h"
#include "DemoWindowProbe.h"
#include "FakeDialogs.h"
#include "MainWindow.h"
#include "VideoPanel.h"

#include <algorithm>
#include <functional>

#include <QFile>
#include <QMediaPlayer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

using namespace quorra;

namespace {

// Resident memory in kB.
qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

} // namespace

class TestDemoWindowVideo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    // First, while the media layer has not played anything yet.
    void memoryGoesWithTheWindow();
    void loops();
    void shippedVideo();
};

void TestDemoWindowVideo::loops()
{
    // A one-second video watched for four seconds. Its place in the video is sampled on the window's thread:
    // watching the frames themselves through the widget's video sink makes Qt 6.4's GStreamer player corrupt
    // its memory now and then.
    FakeDialogs dialogs;
    DemoWindow form(dialogs, QStringLiteral(QUORRA_TEST_DATA "/loop-one-second.avi"));
    QList<qint64> positions;
    QMediaPlayer::PlaybackState stateAtEnd = QMediaPlayer::StoppedState;
    qint64 duration = 0;
    QTimer sampler;
    connect(&sampler, &QTimer::timeout, &form, [&] { positions << DemoWindowProbe(form).player()->position(); });
    connect(&form, &DemoWindow::shown, &form, [&] {
        sampler.start(50);
        QTimer::singleShot(4000, &form, [&] {
            sampler.stop();
            stateAtEnd = DemoWindowProbe(form).player()->playbackState();
            duration = DemoWindowProbe(form).player()->duration();
            QTest::mouseClick(DemoWindowProbe(form).okButton(), Qt::LeftButton);
        });
    });
    bool showAtStart = true;
    showAtStart = form.showDemo(showAtStart);

    QVERIFY(dialogs.log.isEmpty());
    QVERIFY2(duration > 500 && duration < 1500, qPrintable(QString::number(duration)));
    // Still playing three video lengths later, having gone back to the start each time.
    QCOMPARE(stateAtEnd, QMediaPlayer::PlayingState);
    int restarts = 0;
    for (int k = 1; k < positions.size(); ++k)
        if (positions[k] < positions[k - 1])
            ++restarts;
    QVERIFY2(restarts >= 2, qPrintable(QString::number(restarts)));
    // And moving in the last second, not stuck on a still.
    QVERIFY(positions.size() > 20);
    const QList<qint64> last = positions.mid(positions.size() - 20);
    QVERIFY(std::adjacent_find(last.begin(), last.end(), std::not_equal_to<>()) != last.end());
}

void TestDemoWindowVideo::shippedVideo()
{
    FakeDialogs dialogs;
    DemoWindow form(dialogs, QStringLiteral(QUORRA_DEMO_VIDEO));
    qint64 position = 0;
    QMediaPlayer::PlaybackState state = QMediaPlayer::StoppedState;
    connect(&form, &DemoWindow::shown, &form, [&] {
        QTimer::singleShot(800, &form, [&] {
            position = DemoWindowProbe(form).player()->position();
            state = DemoWindowProbe(form).player()->playbackState();
            QTest::mouseClick(DemoWindowProbe(form).okButton(), Qt::LeftButton);
        });
    });
    bool showAtStart = true;
    showAtStart = form.showDemo(showAtStart);

    QVERIFY(dialogs.log.isEmpty());
    QCOMPARE(state, QMediaPlayer::PlayingState);
    QVERIFY2(position > 200, qPrintable(QString::number(position)));
}

// A run that showed the demo keeps close to one that did not: the media layer's libraries stay loaded (some 13 MB
// here), but not the pipeline, its frames or a graphics stack (drawing the video through OpenGL left some 90 MB
// behind). The bounds leave room for another machine's plugin set while still catching a pipeline kept alive.
void TestDemoWindowVideo::memoryGoesWithTheWindow()
{
    // The main window's sounds open the media layer at every start, demo or not.
    MainWindow main(std::make_unique<FakeDialogs>());
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QTest::qWait(1000);
    const qint64 before = residentKb();
    QVERIFY(before > 0);

    FakeDialogs dialogs;
    QList<qint64> after;
    for (int showing = 0; showing < 2; ++showing) {
        {
            DemoWindow form(dialogs, QStringLiteral(QUORRA_DEMO_VIDEO), &main);
            bool frameShown = false;
            connect(&form, &DemoWindow::shown, &form, [&] {
                QTimer::singleShot(1500, &form, [&] {
                    frameShown = !DemoWindowProbe(form).videoPanel()->frame().isNull();
                    QTest::mouseClick(DemoWindowProbe(form).okButton(), Qt::LeftButton);
                });
            });
            bool showAtStart = true;
            showAtStart = form.showDemo(showAtStart);
            QVERIFY(frameShown);
        }
        QTest::qWait(2000);
        after << residentKb();
    }
    qInfo("resident memory %lld kB before the demo, %lld kB after it, %lld kB after showing it again", before, after[0],
          after[1]);
    QVERIFY2(after[0] - before < 25 * 1024, qPrintable(QStringLiteral("%1 kB more").arg(after[0] - before)));
    // And nothing piles up from one showing to the next.
    QVERIFY2(after[1] - after[0] < 5 * 1024, qPrintable(QStringLiteral("%1 kB more").arg(after[1] - after[0])));
}

QTEST_MAIN(TestDemoWindowVideo)
#include "TestDemoWindowVideo.moc"
