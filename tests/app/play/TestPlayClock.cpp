// SPDX-License-Identifier: GPL-3.0-or-later
// The game clock's rules on a clock the test turns: when the time runs, what restarts it, what counts as a move.
#include "PlayClock.h"

#include <QtTest>

using namespace quorra;

class TestPlayClock : public QObject
{
    Q_OBJECT

private slots:
    void script_data();
    void script();
};

// A script is words run in order: "active"/"inactive", "min"/"restore", "play"/"edit", "restart", "move",
// "win", or a number of seconds that pass.
void TestPlayClock::script_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("moves");

    QTest::newRow("not yet playing") << "active 5" << 0 << 0;
    QTest::newRow("playing in front") << "active play 5 move 7 move" << 12 << 2;
    QTest::newRow("order does not matter") << "play 3 active 4" << 4 << 0;
    QTest::newRow("window behind another") << "active play 5 inactive 60 active 2" << 7 << 0;
    QTest::newRow("minimised while active") << "active play 5 min 60 restore 3" << 8 << 0;
    QTest::newRow("restored but behind") << "active play 5 min inactive 60 restore 60 active 1" << 6 << 0;
    QTest::newRow("set up in edit mode") << "active play 5 edit 60" << 5 << 0;
    QTest::newRow("tangle starts anew") << "active play 5 move edit restart 2 play 3 move" << 3 << 1;
    QTest::newRow("restart while playing") << "active play 9 move move restart 4 move" << 4 << 1;
    QTest::newRow("victory stops it") << "active play 5 move win 60 play 60 move" << 5 << 1;
    QTest::newRow("moves count when paused") << "active play 2 inactive move move" << 2 << 2;
    QTest::newRow("restart after victory") << "active play 5 move win restart 6 move" << 6 << 1;
    QTest::newRow("over an hour") << "active play 3725" << 3725 << 0;
}

void TestPlayClock::script()
{
    QFETCH(QString, script);
    QFETCH(int, seconds);
    QFETCH(int, moves);

    qint64 now = 1'000'000;
    PlayClock clock([&now] { return now; });
    for (const QString &word : script.split(QLatin1Char(' '))) {
        bool isNumber = false;
        const int passing = word.toInt(&isNumber);
        if (isNumber)
            now += passing * 1000LL;
        else if (word == QLatin1String("active") || word == QLatin1String("inactive"))
            clock.setWindowActive(word == QLatin1String("active"));
        else if (word == QLatin1String("min") || word == QLatin1String("restore"))
            clock.setMinimised(word == QLatin1String("min"));
        else if (word == QLatin1String("play") || word == QLatin1String("edit"))
            clock.setPlaying(word == QLatin1String("play"));
        else if (word == QLatin1String("restart"))
            clock.restart();
        else if (word == QLatin1String("move"))
            clock.countMove();
        else if (word == QLatin1String("win"))
            clock.finish();
        else
            QFAIL(qPrintable(QStringLiteral("unknown word ") + word));
    }
    QCOMPARE(clock.elapsedMs(), seconds * 1000LL);
    QCOMPARE(clock.moves(), moves);
}

QTEST_GUILESS_MAIN(TestPlayClock)
#include "TestPlayClock.moc"
