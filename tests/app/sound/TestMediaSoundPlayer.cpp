// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of a game sound's playing rules, over a fake device and a fake clock.
#include "MediaSoundPlayer.h"
#include "SoundOutput.h"
#include "WaveBytes.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace quorra;

namespace {

// How the stand-in device reports playing: truthfully, stuck at "playing" once started (as
// without a sound server), or never (a device still loading when asked).
enum Device { Honest, Stuck, Lagging };

struct FakeOutput : SoundOutput {
    const qint64 *now = nullptr;
    Device device = Honest;
    qint64 lengthMs = 0;
    QStringList loaded;
    QList<qint64> starts; // clock readings of every start from the beginning
    bool failed = false;
    int prepared = 0;

    void load(const QString &path) override { loaded << path; }
    void prepare() override { ++prepared; }
    void start() override { starts << *now; }
    bool isPlaying() const override
    {
        if (starts.isEmpty() || device == Lagging)
            return false;
        return device == Stuck || *now - starts.last() < lengthMs;
    }
    bool hasFailed() const override { return failed; }
};

} // namespace

class TestMediaSoundPlayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void playRules_data();
    void playRules();
    void unusableFilesStaySilent_data();
    void unusableFilesStaySilent();
    void deviceFailureStaysSilent();
    void reopenForgetsTheRunningSound();
    void onlyAnOpenSoundIsPrepared_data();
    void onlyAnOpenSoundIsPrepared();
    void realDevice();

private:
    QTemporaryDir m_dir;
    QString m_tenthSecond; // a 100 ms sound
    qint64 m_now = 0;
    FakeOutput *m_output = nullptr;
    std::unique_ptr<MediaSoundPlayer> makePlayer(Device device);
    QString write(const QString &name, const QByteArray &bytes);
};

QString TestMediaSoundPlayer::write(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

void TestMediaSoundPlayer::initTestCase()
{
    m_tenthSecond = write(QStringLiteral("tenth.wav"), WaveBytes::pcm16(4410));
}

std::unique_ptr<MediaSoundPlayer> TestMediaSoundPlayer::makePlayer(Device device)
{
    auto output = std::make_unique<FakeOutput>();
    output->now = &m_now;
    output->device = device;
    output->lengthMs = 100;
    m_output = output.get();
    m_now = 1000;
    return std::make_unique<MediaSoundPlayer>(std::move(output), [this] { return m_now; });
}

void TestMediaSoundPlayer::playRules_data()
{
    QTest::addColumn<int>("device");
    QTest::addColumn<QList<qint64>>("requests"); // ms after the first request
    QTest::addColumn<QList<qint64>>("starts");   // the requests that start the sound from the beginning

    QTest::newRow("first request plays") << int(Honest) << QList<qint64>{0} << QList<qint64>{0};
    QTest::newRow("request while playing is ignored") << int(Honest) << QList<qint64>{0, 50, 99} << QList<qint64>{0};
    QTest::newRow("request after the end starts again")
        << int(Honest) << QList<qint64>{0, 100, 150, 250} << QList<qint64>{0, 100, 250};
    QTest::newRow("quick snaps heard once each length")
        << int(Honest) << QList<qint64>{0, 10, 20, 30, 120, 130} << QList<qint64>{0, 120};
    // Without a sound server the device never says the sound has ended; its own length does.
    QTest::newRow("stuck device: playing within the tolerance")
        << int(Stuck) << QList<qint64>{0, 150, 199} << QList<qint64>{0};
    QTest::newRow("stuck device: over after length and tolerance")
        << int(Stuck) << QList<qint64>{0, 200, 250, 400} << QList<qint64>{0, 200, 400};
    // A device that has not begun yet must not make a second request restart the sound.
    QTest::newRow("lagging device: running within its length")
        << int(Lagging) << QList<qint64>{0, 40, 99, 100} << QList<qint64>{0, 100};
}

void TestMediaSoundPlayer::playRules()
{
    QFETCH(int, device);
    QFETCH(QList<qint64>, requests);
    QFETCH(QList<qint64>, starts);
    auto player = makePlayer(Device(device));
    QVERIFY(player->open(m_tenthSecond));
    QCOMPARE(player->lengthMs(), qint64(100));
    QVERIFY(m_output->starts.isEmpty()); // opening plays nothing
    const qint64 origin = m_now;
    for (qint64 at : requests) {
        m_now = origin + at;
        player->play();
    }
    QList<qint64> got;
    for (qint64 at : m_output->starts)
        got << at - origin;
    QCOMPARE(got, starts);
}

void TestMediaSoundPlayer::unusableFilesStaySilent_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // empty: no file at all

    QTest::newRow("missing") << QStringLiteral("missing.wav") << QByteArray();
    QTest::newRow("not a sound") << QStringLiteral("text.wav") << QByteArray("Hello, this is no sound.\n");
    QTest::newRow("damaged header") << QStringLiteral("damaged.wav") << WaveBytes::pcm16(100).left(30);
    QTest::newRow("32-bit float") << QStringLiteral("float.wav")
                                  << WaveBytes::riff(WaveBytes::chunk("fmt ", WaveBytes::format(3, 1, 44100, 32, 4))
                                                     + WaveBytes::chunk("data", QByteArray(400, '\0')));
    QTest::newRow("no samples") << QStringLiteral("empty.wav") << WaveBytes::pcm16(0);
}

void TestMediaSoundPlayer::unusableFilesStaySilent()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    const QString path = bytes.isEmpty() ? m_dir.filePath(name) : write(name, bytes);
    auto player = makePlayer(Honest);
    QVERIFY(!player->open(path));
    QVERIFY(!player->isOpen());
    for (int i = 0; i < 3; ++i) {
        player->play();
        m_now += 1000;
    }
    QVERIFY(m_output->loaded.isEmpty());
    QVERIFY(m_output->starts.isEmpty());
}

void TestMediaSoundPlayer::deviceFailureStaysSilent()
{
    auto player = makePlayer(Honest);
    QVERIFY(player->open(m_tenthSecond));
    QCOMPARE(m_output->loaded, QStringList{m_tenthSecond});
    m_output->failed = true; // decoding failed after the open had started it
    player->play();
    m_now += 1000;
    player->play();
    QVERIFY(m_output->starts.isEmpty());
}

void TestMediaSoundPlayer::reopenForgetsTheRunningSound()
{
    auto player = makePlayer(Honest);
    QVERIFY(player->open(m_tenthSecond));
    player->play();
    QVERIFY(!player->open(m_dir.filePath(QStringLiteral("missing.wav"))));
    m_now += 1000;
    player->play();
    QCOMPARE(m_output->starts.size(), 1);
}

void TestMediaSoundPlayer::onlyAnOpenSoundIsPrepared_data()
{
    QTest::addColumn<bool>("usable");
    QTest::newRow("open") << true;
    QTest::newRow("missing") << false;
}

// Getting ready starts the audio output; a sound that did not open must not start it.
void TestMediaSoundPlayer::onlyAnOpenSoundIsPrepared()
{
    QFETCH(bool, usable);
    auto player = makePlayer(Honest);
    QCOMPARE(player->open(usable ? m_tenthSecond : m_dir.filePath(QStringLiteral("missing.wav"))), usable);
    player->prepare();
    QCOMPARE(m_output->prepared, usable ? 1 : 0);
    QVERIFY(m_output->starts.isEmpty());
}

// The real device: opening the three shipped sounds is part of every start, so it must not wait for the
// decoder; a request returns at once, and players destroyed while their samples may still be loading (a
// quit right after start) go quietly. Ending this test process right after is itself the check that the
// exit does not hang.
void TestMediaSoundPlayer::realDevice()
{
    MediaSoundPlayer missing;
    QVERIFY(!missing.open(QStringLiteral(QUORRA_SOUNDS "/NoSuch.wav")));
    missing.play();
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        {
            MediaSoundPlayer players[3];
            // Waiting in a nested event loop would run this at once (and, in Qt 6.4, could leave a sample
            // loading for good); the window's own events must not run in the middle of opening the sounds.
            bool eventsRan = false;
            QTimer::singleShot(0, [&eventsRan] { eventsRan = true; });
            int i = 0;
            for (const char *name : {"Move.wav", "Advice.wav", "Victory.wav"})
                QVERIFY2(players[i++].open(QStringLiteral(QUORRA_SOUNDS "/") + QLatin1String(name)), name);
            QVERIFY(!eventsRan);
            QVERIFY2(timer.elapsed() < 300, qPrintable(QString::number(timer.elapsed())));
            if (round == 1) // one round lets the decoder finish and plays, twice each (the second is ignored)
                QTest::qWait(100);
            for (MediaSoundPlayer &player : players) {
                player.play();
                player.play();
            }
        }
        QVERIFY2(timer.elapsed() < 600, qPrintable(QString::number(timer.elapsed())));
    }
}

QTEST_GUILESS_MAIN(TestMediaSoundPlayer)
#include "TestMediaSoundPlayer.moc"
