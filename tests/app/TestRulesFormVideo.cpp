// The demo window's video on a real display: it loops, and the shipped video plays.
#include "TFakeDialogs.h"
#include "TRulesForm.h"

#include <algorithm>
#include <functional>

#include <QMediaPlayer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

class TestRulesFormVideo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void loops();
    void shippedVideo();
};

void TestRulesFormVideo::loops()
{
    // A one-second video watched for four seconds. Its place in the video is sampled on the window's thread:
    // watching the frames themselves through the widget's video sink makes Qt 6.4's GStreamer player corrupt
    // its memory now and then.
    TFakeDialogs Dialogs;
    TRulesForm Form(Dialogs, QStringLiteral(QUORRA_TEST_DATA "/loop-one-second.avi"));
    QList<qint64> Positions;
    QMediaPlayer::PlaybackState StateAtEnd = QMediaPlayer::StoppedState;
    qint64 Duration = 0;
    QTimer Sampler;
    connect(&Sampler, &QTimer::timeout, &Form, [&] { Positions << Form.MediaPlayer1->position(); });
    connect(&Form, &TRulesForm::Shown, &Form, [&] {
        Sampler.start(50);
        QTimer::singleShot(4000, &Form, [&] {
            Sampler.stop();
            StateAtEnd = Form.MediaPlayer1->playbackState();
            Duration = Form.MediaPlayer1->duration();
            QTest::mouseClick(Form.OKTntButton, Qt::LeftButton);
        });
    });
    bool ShowAtStart = true;
    Form.ShowDemo(ShowAtStart);

    QVERIFY(Dialogs.Log.isEmpty());
    QVERIFY2(Duration > 500 && Duration < 1500, qPrintable(QString::number(Duration)));
    // Still playing three video lengths later, having gone back to the start each time.
    QCOMPARE(StateAtEnd, QMediaPlayer::PlayingState);
    int Restarts = 0;
    for (int k = 1; k < Positions.size(); ++k)
        if (Positions[k] < Positions[k - 1])
            ++Restarts;
    QVERIFY2(Restarts >= 2, qPrintable(QString::number(Restarts)));
    // And moving in the last second, not stuck on a still.
    QVERIFY(Positions.size() > 20);
    const QList<qint64> Last = Positions.mid(Positions.size() - 20);
    QVERIFY(std::adjacent_find(Last.begin(), Last.end(), std::not_equal_to<>()) != Last.end());
}

void TestRulesFormVideo::shippedVideo()
{
    TFakeDialogs Dialogs;
    TRulesForm Form(Dialogs, QStringLiteral(QUORRA_DEMO_VIDEO));
    qint64 Position = 0;
    QMediaPlayer::PlaybackState State = QMediaPlayer::StoppedState;
    connect(&Form, &TRulesForm::Shown, &Form, [&] {
        QTimer::singleShot(800, &Form, [&] {
            Position = Form.MediaPlayer1->position();
            State = Form.MediaPlayer1->playbackState();
            QTest::mouseClick(Form.OKTntButton, Qt::LeftButton);
        });
    });
    bool ShowAtStart = true;
    Form.ShowDemo(ShowAtStart);

    QVERIFY(Dialogs.Log.isEmpty());
    QCOMPARE(State, QMediaPlayer::PlayingState);
    QVERIFY2(Position > 200, qPrintable(QString::number(Position)));
}

QTEST_MAIN(TestRulesFormVideo)
#include "TestRulesFormVideo.moc"
