// Tests of a game sound's playing rules, over a fake device and a fake clock.
#include "TMediaSoundPlayer.h"
#include "TSoundOutput.h"
#include "WaveBytes.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// How the stand-in device reports playing: truthfully, stuck at "playing" once started (as
// without a sound server), or never (a device still loading when asked).
enum TDevice { Honest, Stuck, Lagging };

struct TFakeOutput : TSoundOutput
{
    const qint64 *Now = nullptr;
    TDevice Device = Honest;
    qint64 LengthMs = 0;
    QStringList Loaded;
    QList<qint64> Starts; // clock readings of every start from the beginning
    bool Failed = false;

    void Load(const QString &Path) override { Loaded << Path; }
    void Start() override { Starts << *Now; }
    bool IsPlaying() const override
    {
        if (Starts.isEmpty() || Device == Lagging)
            return false;
        return Device == Stuck || *Now - Starts.last() < LengthMs;
    }
    bool HasFailed() const override { return Failed; }
};

} // namespace

class TestTMediaSoundPlayer : public QObject
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
    void realDevice();

private:
    QTemporaryDir FDir;
    QString FTenthSecond; // a 100 ms sound
    qint64 FNow = 0;
    TFakeOutput *FOutput = nullptr;
    std::unique_ptr<TMediaSoundPlayer> MakePlayer(TDevice Device);
    QString Write(const QString &Name, const QByteArray &Bytes);
};

QString TestTMediaSoundPlayer::Write(const QString &Name, const QByteArray &Bytes)
{
    const QString Path = FDir.filePath(Name);
    QFile File(Path);
    if (File.open(QIODevice::WriteOnly))
        File.write(Bytes);
    return Path;
}

void TestTMediaSoundPlayer::initTestCase()
{
    FTenthSecond = Write(QStringLiteral("tenth.wav"), WaveBytes::Pcm16(4410));
}

std::unique_ptr<TMediaSoundPlayer> TestTMediaSoundPlayer::MakePlayer(TDevice Device)
{
    auto Output = std::make_unique<TFakeOutput>();
    Output->Now = &FNow;
    Output->Device = Device;
    Output->LengthMs = 100;
    FOutput = Output.get();
    FNow = 1000;
    return std::make_unique<TMediaSoundPlayer>(std::move(Output), [this] { return FNow; });
}

void TestTMediaSoundPlayer::playRules_data()
{
    QTest::addColumn<int>("Device");
    QTest::addColumn<QList<qint64>>("Requests"); // ms after the first request
    QTest::addColumn<QList<qint64>>("Starts");   // the requests that start the sound from the beginning

    QTest::newRow("first request plays") << int(Honest) << QList<qint64>{0} << QList<qint64>{0};
    QTest::newRow("request while playing is ignored")
        << int(Honest) << QList<qint64>{0, 50, 99} << QList<qint64>{0};
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

void TestTMediaSoundPlayer::playRules()
{
    QFETCH(int, Device);
    QFETCH(QList<qint64>, Requests);
    QFETCH(QList<qint64>, Starts);
    auto Player = MakePlayer(TDevice(Device));
    QVERIFY(Player->Open(FTenthSecond));
    QCOMPARE(Player->LengthMs(), qint64(100));
    QVERIFY(FOutput->Starts.isEmpty()); // opening plays nothing
    const qint64 Origin = FNow;
    for (qint64 At : Requests) {
        FNow = Origin + At;
        Player->Play();
    }
    QList<qint64> Got;
    for (qint64 At : FOutput->Starts)
        Got << At - Origin;
    QCOMPARE(Got, Starts);
}

void TestTMediaSoundPlayer::unusableFilesStaySilent_data()
{
    QTest::addColumn<QString>("Name");
    QTest::addColumn<QByteArray>("Bytes"); // empty: no file at all

    QTest::newRow("missing") << QStringLiteral("missing.wav") << QByteArray();
    QTest::newRow("not a sound") << QStringLiteral("text.wav") << QByteArray("Hello, this is no sound.\n");
    QTest::newRow("damaged header") << QStringLiteral("damaged.wav") << WaveBytes::Pcm16(100).left(30);
    QTest::newRow("32-bit float") << QStringLiteral("float.wav")
                                  << WaveBytes::Riff(WaveBytes::Chunk("fmt ", WaveBytes::Format(3, 1, 44100, 32, 4)) +
                                                     WaveBytes::Chunk("data", QByteArray(400, '\0')));
    QTest::newRow("no samples") << QStringLiteral("empty.wav") << WaveBytes::Pcm16(0);
}

void TestTMediaSoundPlayer::unusableFilesStaySilent()
{
    QFETCH(QString, Name);
    QFETCH(QByteArray, Bytes);
    const QString Path = Bytes.isEmpty() ? FDir.filePath(Name) : Write(Name, Bytes);
    auto Player = MakePlayer(Honest);
    QVERIFY(!Player->Open(Path));
    QVERIFY(!Player->IsOpen());
    for (int i = 0; i < 3; ++i) {
        Player->Play();
        FNow += 1000;
    }
    QVERIFY(FOutput->Loaded.isEmpty());
    QVERIFY(FOutput->Starts.isEmpty());
}

void TestTMediaSoundPlayer::deviceFailureStaysSilent()
{
    auto Player = MakePlayer(Honest);
    QVERIFY(Player->Open(FTenthSecond));
    QCOMPARE(FOutput->Loaded, QStringList{FTenthSecond});
    FOutput->Failed = true; // decoding failed after the open had started it
    Player->Play();
    FNow += 1000;
    Player->Play();
    QVERIFY(FOutput->Starts.isEmpty());
}

void TestTMediaSoundPlayer::reopenForgetsTheRunningSound()
{
    auto Player = MakePlayer(Honest);
    QVERIFY(Player->Open(FTenthSecond));
    Player->Play();
    QVERIFY(!Player->Open(FDir.filePath(QStringLiteral("missing.wav"))));
    FNow += 1000;
    Player->Play();
    QCOMPARE(FOutput->Starts.size(), 1);
}

// The real device: opening the three shipped sounds is part of every start, so it must not wait for the
// decoder; a request returns at once, and players destroyed while their samples may still be loading (a
// quit right after start) go quietly. Ending this test process right after is itself the check that the
// exit does not hang.
void TestTMediaSoundPlayer::realDevice()
{
    TMediaSoundPlayer Missing;
    QVERIFY(!Missing.Open(QStringLiteral(QUORRA_SOUNDS "/NoSuch.wav")));
    Missing.Play();
    for (int Round = 0; Round < 3; ++Round) {
        QElapsedTimer Timer;
        Timer.start();
        {
            TMediaSoundPlayer Players[3];
            // Waiting in a nested event loop would run this at once (and, in Qt 6.4, could leave a sample
            // loading for good); the window's own events must not run in the middle of opening the sounds.
            bool EventsRan = false;
            QTimer::singleShot(0, [&EventsRan] { EventsRan = true; });
            int i = 0;
            for (const char *Name : {"Move.wav", "Advice.wav", "Victory.wav"})
                QVERIFY2(Players[i++].Open(QStringLiteral(QUORRA_SOUNDS "/") + QLatin1String(Name)), Name);
            QVERIFY(!EventsRan);
            QVERIFY2(Timer.elapsed() < 300, qPrintable(QString::number(Timer.elapsed())));
            if (Round == 1) // one round lets the decoder finish and plays, twice each (the second is ignored)
                QTest::qWait(100);
            for (TMediaSoundPlayer &Player : Players) {
                Player.Play();
                Player.Play();
            }
        }
        QVERIFY2(Timer.elapsed() < 600, qPrintable(QString::number(Timer.elapsed())));
    }
}

QTEST_GUILESS_MAIN(TestTMediaSoundPlayer)
#include "TestTMediaSoundPlayer.moc"
