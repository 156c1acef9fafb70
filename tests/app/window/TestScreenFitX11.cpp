// SPDX-License-Identifier: GPL-3.0-or-later
// The window on a real X server keeps to the screen, whatever its settings file says and however the screen is
// scaled (run under xvfb-run, once as it is and once with QT_SCALE_FACTOR=2).
#include "WindowFixture.h"

#include <QFile>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>

using namespace quorra;

class TestScreenFitX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void keptToTheScreen_data();
    void keptToTheScreen();
};

void TestScreenFitX11::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X server (run under xvfb-run)");
}

void TestScreenFitX11::keptToTheScreen_data()
{
    QTest::addColumn<QString>("normPos"); // the stored normal rectangle, empty for a first start
    QTest::addColumn<bool>("fillsTheScreen");

    QTest::newRow("first start") << QString() << false;
    QTest::newRow("30000 square") << "0,0,30000,30000" << true;
    QTest::newRow("30000 square far off the screen") << "-20000,40000,10000,70000" << true;
    QTest::newRow("off the bottom right") << "1000,900,1900,1600" << false;
    QTest::newRow("inverted") << "100,100,50,50" << false;
}

void TestScreenFitX11::keptToTheScreen()
{
    QFETCH(QString, normPos);
    QFETCH(bool, fillsTheScreen);

    WindowFixture f(790, 560, false);
    f.dialogs->demoAnswers << true;
    const QScreen *screen = f.form->screen();
    const QRect area = screen->availableGeometry();
    if (!normPos.isEmpty()) {
        QFile ini(f.settingsFile());
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[TNimbrelMainForm]\nFormVersion=0\nFlags=0\nShowCmd=1\nPixelsPerInch=%1\n"
                                 "MinMaxPos=-1,-1,-1,-1\nNormPos=%2\n")
                      .arg(qRound(screen->logicalDotsPerInch()))
                      .arg(normPos)
                      .toUtf8());
    }
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    QTest::qWait(50);

    QCOMPARE(area.intersected(f.form->frameGeometry()), f.form->frameGeometry());
    QVERIFY(f.form->width() >= f.form->minimumWidth() && f.form->height() >= f.form->minimumHeight());
    if (fillsTheScreen)
        QCOMPARE(f.form->size(), area.size());
    // What the window saves is what it shows, so the next start comes up the same.
    QCOMPARE(QRect(QPoint(f.form->settings().placement().left, f.form->settings().placement().top), f.form->size()),
             f.form->geometry());
}

QTEST_MAIN(TestScreenFitX11)
#include "TestScreenFitX11.moc"
