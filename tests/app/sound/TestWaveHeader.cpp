// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the WAVE header reader: the shipped sounds, and headers that are odd or damaged.
#include "WaveBytes.h"
#include "WaveHeader.h"

#include <QBuffer>
#include <QtTest>

using namespace quorra;

using namespace WaveBytes;

class TestWaveHeader : public QObject
{
    Q_OBJECT

private slots:
    void shippedSounds_data();
    void shippedSounds();
    void headers_data();
    void headers();
    void missingFile();
};

// The shipped sounds must be what the sound device decodes, and short.
void TestWaveHeader::shippedSounds_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("minMs");
    QTest::addColumn<qint64>("maxMs");
    QTest::newRow("Move") << QStringLiteral("Move.wav") << qint64(20) << qint64(150);
    QTest::newRow("Advice") << QStringLiteral("Advice.wav") << qint64(200) << qint64(1200);
    QTest::newRow("Victory") << QStringLiteral("Victory.wav") << qint64(800) << qint64(2500);
}

void TestWaveHeader::shippedSounds()
{
    QFETCH(QString, name);
    QFETCH(qint64, minMs);
    QFETCH(qint64, maxMs);
    const WaveHeader h = WaveHeader::readFile(QStringLiteral(QUORRA_SOUNDS "/") + name);
    QVERIFY(h.isValid());
    QVERIFY(h.isPlayable());
    QCOMPARE(h.formatTag(), quint16(WaveHeader::FormatPcm));
    QCOMPARE(h.bitsPerSample(), quint16(16));
    QCOMPARE(h.channels(), quint16(1));
    QCOMPARE(h.sampleRate(), quint32(44100));
    QVERIFY2(h.durationMs() >= minMs && h.durationMs() <= maxMs, qPrintable(QString::number(h.durationMs())));
}

void TestWaveHeader::headers_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("playable");
    QTest::addColumn<qint64>("durationMs");

    const QByteArray fmt16 = chunk("fmt ", format(1, 1, 44100, 16, 2));
    const QByteArray second(88200, '\0');

    QTest::newRow("one second") << pcm16(44100) << true << true << qint64(1000);
    QTest::newRow("one frame rounds up") << pcm16(1) << true << true << qint64(1);
    QTest::newRow("stereo 8-bit 22.05 kHz")
        << riff(chunk("fmt ", format(1, 2, 22050, 8, 2)) + chunk("data", QByteArray(11025 * 2, '\0'))) << true << true
        << qint64(500);
    QTest::newRow("odd chunk before fmt (padded)")
        << riff(chunk("LIST", "abc") + fmt16 + chunk("data", second)) << true << true << qint64(1000);
    QTest::newRow("data before fmt") << riff(chunk("data", second) + fmt16) << true << true << qint64(1000);
    QTest::newRow("extensible PCM") << riff(chunk("fmt ", format(0xFFFE, 1, 44100, 16, 2)
                                                              + QByteArray("\x16\x00\x10\x00\x04\x00\x00\x00"
                                                                           "\x01\x00\x00\x00\x00\x00\x10\x00"
                                                                           "\x80\x00\x00\xAA\x00\x38\x9B\x71",
                                                                           24))
                                            + chunk("data", second))
                                    << true << true << qint64(1000);
    // Lengths from a damaged data size: what the file holds counts, not what it claims.
    QTest::newRow("data cut short") << riff(fmt16 + chunk("data", QByteArray(882, '\0'), 88200)) << true << true
                                    << qint64(10);
    QTest::newRow("streaming size") << riff(fmt16 + chunk("data", QByteArray(882, '\0'), 0xFFFFFFFF)) << true << true
                                    << qint64(10);
    QTest::newRow("half a frame dropped")
        << riff(fmt16 + chunk("data", QByteArray(3, '\0'))) << true << true << qint64(1);
    // Readable, but not what the device decodes: such a sound stays silent.
    QTest::newRow("32-bit float") << riff(chunk("fmt ", format(3, 1, 44100, 32, 4)) + chunk("data", second)) << true
                                  << false << qint64(500);
    QTest::newRow("32-bit integer") << riff(chunk("fmt ", format(1, 1, 44100, 32, 4)) + chunk("data", second)) << true
                                    << false << qint64(500);
    // Damaged headers.
    QTest::newRow("empty") << QByteArray() << false << false << qint64(0);
    QTest::newRow("RIFF only") << QByteArray("RIFF\0\0\0\0WAV", 11) << false << false << qint64(0);
    QTest::newRow("not WAVE") << QByteArray("RIFF\4\0\0\0AVI ") + fmt16 << false << false << qint64(0);
    QTest::newRow("no data chunk") << riff(fmt16) << false << false << qint64(0);
    QTest::newRow("no fmt chunk") << riff(chunk("data", second)) << false << false << qint64(0);
    QTest::newRow("fmt too short") << riff(chunk("fmt ", format(1, 1, 44100, 16, 2).left(12)) + chunk("data", second))
                                   << false << false << qint64(0);
    QTest::newRow("fmt cut off") << riff(chunk("fmt ", format(1, 1, 44100, 16, 2).left(8), 16)) << false << false
                                 << qint64(0);
    QTest::newRow("zero channels") << riff(chunk("fmt ", format(1, 0, 44100, 16, 0)) + chunk("data", second)) << false
                                   << false << qint64(0);
    QTest::newRow("zero rate") << riff(chunk("fmt ", format(1, 1, 0, 16, 2)) + chunk("data", second)) << false << false
                               << qint64(0);
    QTest::newRow("block align disagrees")
        << riff(chunk("fmt ", format(1, 1, 44100, 16, 4)) + chunk("data", second)) << false << false << qint64(0);
    QTest::newRow("12-bit samples") << riff(chunk("fmt ", format(1, 1, 44100, 12, 2)) + chunk("data", second)) << false
                                    << false << qint64(0);
    QTest::newRow("huge chunk before fmt")
        << riff(chunk("junk", "xx", 0x7FFFFFF0) + fmt16 + chunk("data", second)) << false << false << qint64(0);
}

void TestWaveHeader::headers()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QFETCH(bool, playable);
    QFETCH(qint64, durationMs);
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const WaveHeader h = WaveHeader::read(buffer);
    QCOMPARE(h.isValid(), valid);
    QCOMPARE(h.isPlayable(), playable);
    QCOMPARE(h.durationMs(), durationMs);
}

void TestWaveHeader::missingFile()
{
    QVERIFY(!WaveHeader::readFile(QStringLiteral(QUORRA_SOUNDS "/NoSuch.wav")).isValid());
}

QTEST_GUILESS_MAIN(TestWaveHeader)
#include "TestWaveHeader.moc"
