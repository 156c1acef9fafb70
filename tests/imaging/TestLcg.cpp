// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the program's linear congruential generator and its clock seeding.
#include "Lcg.h"

#include <QtTest>

using namespace quorra;

class TestLcg : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Lcg::setTestClock({}); }

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
        Lcg random;
        random.setSeed(seed);
        const double draw = random.next();
        QCOMPARE(random.seed(), next);
        QCOMPARE(draw, next / 4294967296.0);
        QVERIFY(draw >= 0.0 && draw < 1.0);
    }

    void belowTruncates()
    {
        Lcg random;
        random.setSeed(12345);
        QList<qint32> got;
        for (int i = 0; i < 5; ++i)
            got << random.below(10);
        QCOMPARE(got, (QList<qint32>{3, 2, 0, 5, 6}));
        QCOMPARE(random.seed(), 2721613530u);
    }

    void belowStaysInRange()
    {
        Lcg random;
        random.setSeed(0xFFFFFFFEu);
        for (int i = 0; i < 10000; ++i) {
            const qint32 value = random.below(3);
            QVERIFY(value >= 0 && value < 3);
        }
    }

    void randomizeTakesTheTestClock()
    {
        quint32 ticks = 41;
        Lcg::setTestClock([&ticks] { return ++ticks; });
        Lcg random;
        random.randomize();
        QCOMPARE(random.seed(), 42u);
        random.randomize();
        QCOMPARE(random.seed(), 43u);
    }

    void randomizeFollowsTheRealClockWithoutATestClock()
    {
        Lcg random;
        random.setSeed(7);
        random.randomize();
        const quint32 first = random.seed();
        QTest::qWait(2);
        random.randomize();
        QVERIFY(random.seed() != first);
    }

    void oneSharedGenerator()
    {
        QCOMPARE(&randomizer(), &randomizer());
        randomizer().setSeed(5);
        QCOMPARE(randomizer().seed(), 5u);
    }
};

QTEST_GUILESS_MAIN(TestLcg)
#include "TestLcg.moc"
