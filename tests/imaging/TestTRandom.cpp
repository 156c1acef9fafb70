// Tests of the program's linear congruential generator and its clock seeding.
#include "TRandom.h"

#include <QtTest>

class TestTRandom : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { TRandom::SetTestClock({}); }

    void sequence_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<quint32>("next");
        QTest::newRow("zero") << 0u << 1u;
        QTest::newRow("one") << 1u << 134775814u;
        QTest::newRow("third step") << 134775814u << 3698175007u;
        QTest::newRow("wraps modulo 2^32") << 0xFFFFFFFFu << 4160191484u;
    }

    void sequence()
    {
        QFETCH(quint32, seed);
        QFETCH(quint32, next);
        TRandom Random;
        Random.SetSeed(seed);
        const double Draw = Random.Next();
        QCOMPARE(Random.Seed(), next);
        QCOMPARE(Draw, next / 4294967296.0);
        QVERIFY(Draw >= 0.0 && Draw < 1.0);
    }

    void belowTruncates()
    {
        TRandom Random;
        Random.SetSeed(12345);
        QList<qint32> Got;
        for (int I = 0; I < 5; ++I)
            Got << Random.Below(10);
        QCOMPARE(Got, (QList<qint32>{3, 2, 0, 5, 6}));
        QCOMPARE(Random.Seed(), 2721613530u);
    }

    void belowStaysInRange()
    {
        TRandom Random;
        Random.SetSeed(0xFFFFFFFEu);
        for (int I = 0; I < 10000; ++I) {
            const qint32 Value = Random.Below(3);
            QVERIFY(Value >= 0 && Value < 3);
        }
    }

    void randomizeTakesTheTestClock()
    {
        quint32 Ticks = 41;
        TRandom::SetTestClock([&Ticks] { return ++Ticks; });
        TRandom Random;
        Random.Randomize();
        QCOMPARE(Random.Seed(), 42u);
        Random.Randomize();
        QCOMPARE(Random.Seed(), 43u);
    }

    void randomizeFollowsTheRealClockWithoutATestClock()
    {
        TRandom Random;
        Random.SetSeed(7);
        Random.Randomize();
        const quint32 First = Random.Seed();
        QTest::qWait(2);
        Random.Randomize();
        QVERIFY(Random.Seed() != First);
    }

    void oneSharedGenerator()
    {
        QCOMPARE(&Randomizer(), &Randomizer());
        Randomizer().SetSeed(5);
        QCOMPARE(Randomizer().Seed(), 5u);
    }
};

QTEST_GUILESS_MAIN(TestTRandom)
#include "TestTRandom.moc"
