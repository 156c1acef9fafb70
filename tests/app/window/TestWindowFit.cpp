// SPDX-License-Identifier: GPL-3.0-or-later
// The window's rectangle kept to the free area of its screen: never larger, never off it, never below the
// smallest size where there is room for it.
#include "WindowFit.h"

#include <QTest>

using namespace quorra;

class TestWindowFit : public QObject
{
    Q_OBJECT

private slots:
    void fitToArea_data();
    void fitToArea();
};

void TestWindowFit::fitToArea_data()
{
    QTest::addColumn<QRect>("wanted");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QRect>("fitted");

    const QRect screen(0, 0, 1280, 994); // 1280 x 1024 less a panel of 30 at the bottom
    const QSize smallest(420, 320);
    QTest::newRow("fits already") << QRect(100, 80, 800, 600) << screen << smallest << QRect(100, 80, 800, 600);
    QTest::newRow("30000 square") << QRect(0, 0, 30000, 30000) << screen << smallest << screen;
    QTest::newRow("30000 square far off") << QRect(-20000, 40000, 30000, 30000) << screen << smallest << screen;
    QTest::newRow("too wide") << QRect(1000, 100, 1500, 500) << screen << smallest << QRect(0, 100, 1280, 500);
    QTest::newRow("off the bottom right")
        << QRect(900, 800, 600, 400) << screen << smallest << QRect(680, 594, 600, 400);
    QTest::newRow("above and left, panel on top")
        << QRect(-300, -200, 800, 600) << QRect(0, 30, 1280, 994) << smallest << QRect(0, 30, 800, 600);
    QTest::newRow("below the smallest size") << QRect(50, 50, 100, 80) << screen << smallest << QRect(50, 50, 420, 320);
    QTest::newRow("inverted height") << QRect(50, 50, 300, -40) << screen << smallest << QRect(50, 50, 420, 320);
    QTest::newRow("screen below the smallest size")
        << QRect(10, 10, 800, 600) << QRect(0, 0, 320, 256) << smallest << QRect(0, 0, 320, 256);
    QTest::newRow("second screen") << QRect(1500, 100, 2500, 900) << QRect(1280, 0, 1920, 1050) << smallest
                                   << QRect(1280, 100, 1920, 900);
    // QT_SCALE_FACTOR=2 on 1280 x 1024: the design size with its menu bar is taller than the screen.
    QTest::newRow("design size on a scaled screen")
        << QRect(0, 0, 632, 531) << QRect(0, 0, 640, 512) << QSize(336, 256) << QRect(0, 0, 632, 512);
}

void TestWindowFit::fitToArea()
{
    QFETCH(QRect, wanted);
    QFETCH(QRect, area);
    QFETCH(QSize, minimum);
    QFETCH(QRect, fitted);

    QCOMPARE(quorra::fitToArea(wanted, area, minimum), fitted);
}

QTEST_GUILESS_MAIN(TestWindowFit)
#include "TestWindowFit.moc"
