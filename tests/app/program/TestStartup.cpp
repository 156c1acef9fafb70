// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the main window with and without a puzzle file on the command line, the about box, and the file
// dialogs' filters.
#include "AboutDialog.h"
#include "AboutDialogProbe.h"
#include "PictureLoader.h"
#include "PicturePanel.h"
#include "PictureView.h"
#include "PlayControllerProbe.h"
#include "ProgramInfo.h"
#include "QtDialogs.h"
#include "TextStamp.h"
#include "WindowFixture.h"
#include "WindowTexts.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace quorra;

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void commandLine_data();
    void commandLine();
    void freshWindow();
    void aboutBox();
    void aboutBoxFitsItsTexts_data();
    void aboutBoxFitsItsTexts();
    void nameFilters_data();
    void nameFilters();
    void pictureFilterListsEveryKind_data();
    void pictureFilterListsEveryKind();
};

void TestStartup::commandLine_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("puzzle");

    QTest::newRow("a puzzle file") << "sample.nbq"
                                   << "Quorra - sample" << true;
    QTest::newRow("a missing file") << "absent.nbq"
                                    << "Quorra" << false;
    QTest::newRow("none") << ""
                          << "Quorra" << false;
}

void TestStartup::commandLine()
{
    QFETCH(QString, argument);
    QFETCH(QString, title);
    QFETCH(bool, puzzle);

    WindowFixture F(790, 560, false);
    const QString sample = F.makePuzzleFile(QStringLiteral("sample.nbq"), 400, 300, 3, 3);
    if (!argument.isEmpty())
        F.form->setCommandLinePuzzle(F.pathOf(argument));
    // The puzzle from the command line is tangled where the person sees it, after the window has appeared.
    int Steps = 0;
    bool visibleDuring = true;
    connect(F.form.get(), &MainWindow::tangleStepped, this, [&] {
        ++Steps;
        visibleDuring &= F.form->isVisible() && F.form->pictureView()->width() > 0;
    });
    F.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.form.get()));
    QTRY_COMPARE(F.form->documents().puzzle() != nullptr, puzzle);
    QTest::qWait(50);
    QCOMPARE(F.form->windowTitle(), title);
    // Nothing asked, nothing reported: a missing file is passed over in silence.
    QCOMPARE(F.dialogs->log, QStringList());
    QCOMPARE(Steps, puzzle ? 5 : 0);
    QVERIFY(visibleDuring);
    if (puzzle) {
        QVERIFY(!F.form->documents().puzzle()->isEditMode());
        QCOMPARE(F.form->documents().document()->fileName(), sample);
        QVERIFY(F.form->pictureView()->width() > 0);
        QVERIFY(PlayControllerProbe(F.form->play()).isMouseAttached());
    } else {
        QCOMPARE(F.form->pictureView()->width(), 0);
    }
}

void TestStartup::freshWindow()
{
    WindowFixture f(790, 560, false);
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    QCOMPARE(f.form->objectName(), QStringLiteral("NimbrelMainForm"));
    QCOMPARE(f.form->windowTitle(), QStringLiteral("Quorra"));
    for (WindowMenu shown : {WindowMenu::Split, WindowMenu::Effect, WindowMenu::Edit})
        QVERIFY(f.form->commands().menu(shown)->menuAction()->isVisible());
    QVERIFY(!f.form->commands().action(Command::ActualSize)->isVisible());
    for (Command option : {Command::EmptyRow, Command::EmptyColumn, Command::SemiEffect})
        QVERIFY2(f.form->commands().action(option)->isVisible() && !f.form->commands().action(option)->isChecked(),
                 qPrintable(f.form->commands().action(option)->objectName()));
    QVERIFY(f.form->commands().action(Command::Split2x2)->isChecked());
    QVERIFY(f.form->commands().action(Command::Hidden)->isChecked());
    QVERIFY(f.form->commands().soundItem()->isChecked());
    QVERIFY(f.form->commands().action(Command::ShowAtStart)->isChecked());
    QVERIFY(!f.form->commands().action(Command::AutoBestFit)->isChecked());
    // The Split menu keeps the command list's order, one column after another.
    QStringList items;
    for (const QAction *item : f.form->commands().menu(WindowMenu::Split)->actions())
        items << (item->isSeparator() ? QStringLiteral("-") : item->text());
    QCOMPARE(items, (QStringList{"2x2", "3x2", "4x2", "-", "2x3", "3x3", "4x3", "-", "2x4", "3x4", "4x4"}));
    // The design size is at 120 dots per inch.
    QCOMPARE(f.form->width(), qRound(790 * f.form->logicalDpiX() / 120.0));

    // The empty panel says what to do, on a box in the desktop's colours, until there is a puzzle.
    f.form->updateCommands();
    PicturePanel *panel = f.form->picturePanel();
    QVERIFY(panel->hint().startsWith(QStringLiteral("Make a puzzle from a photograph with Puzzle > New...")));
    const QImage shown = panel->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb base = QGuiApplication::palette().color(QPalette::Base).rgb();
    int boxPixels = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            boxPixels += shown.pixel(x, y) == base;
    QVERIFY2(boxPixels > 10000, qPrintable(QString::number(boxPixels)));
    f.New(f.makePicture(QStringLiteral("p.bmp"), 300, 200));
    QVERIFY(panel->hint().isEmpty());
}

void TestStartup::aboutBox()
{
    AboutDialog about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About Crypsel"));
    QCOMPARE(AboutDialogProbe(about).programName()->text(), QStringLiteral("Quorra"));
    QCOMPARE(AboutDialogProbe(about).programName()->font().family(), stampFont().family());
    QVERIFY(AboutDialogProbe(about).programName()->font().bold());
    QCOMPARE(AboutDialogProbe(about).version()->text(), QStringLiteral("Version " QUORRA_VERSION));
    QVERIFY(!AboutDialogProbe(about).copyright()->text().isEmpty());
    QVERIFY(AboutDialogProbe(about).webAddress()->text().contains(QuorraWebAddress));

    // A stand-in opener records the address it is handed.
    QTemporaryDir bin;
    const QString opened = bin.filePath(QStringLiteral("opened"));
    QFile opener(bin.filePath(QStringLiteral("xdg-open")));
    QVERIFY(opener.open(QIODevice::WriteOnly));
    opener.write("#!/bin/sh\nprintf '%s' \"$1\" > \"${0%/*}/opened\"\n");
    opener.close();
    QVERIFY(opener.setPermissions(opener.permissions() | QFile::ExeOwner));
    AboutDialogProbe(about).opener()->setProgram(opener.fileName());
    QTimer::singleShot(0, &about, [&about] {
        // The link opens the page and leaves the box open; OK closes it.
        emit AboutDialogProbe(about).webAddress()->linkActivated(QuorraWebAddress);
        QVERIFY(about.isVisible());
        AboutDialogProbe(about).okButton()->click();
    });
    QCOMPARE(about.exec(), int(QDialog::Accepted));
    QTRY_VERIFY(QFile::exists(opened));
    QFile record(opened);
    QVERIFY(record.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(record.readAll()), QuorraWebAddress);
    QVERIFY(!about.isVisible());
}

void TestStartup::aboutBoxFitsItsTexts_data()
{
    QTest::addColumn<int>("pixelSize"); // of the application's font; 0 keeps the desktop's
    QTest::newRow("the desktop's font") << 0;
    QTest::newRow("a large font") << 24;
    QTest::newRow("a very large font") << 34;
}

// Every text has at least the room it asks for, inside the box, and the box is in the middle of the screen, not
// over the main window.
void TestStartup::aboutBoxFitsItsTexts()
{
    QFETCH(int, pixelSize);
    const QFont before = QApplication::font();
    if (pixelSize > 0) {
        QFont large = before;
        large.setPixelSize(pixelSize);
        QApplication::setFont(large);
    }
    QWidget main;
    main.setGeometry(20, 30, 300, 200);
    main.show();
    AboutDialog about(&main);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    const auto design = [&about](int pixels) { return qRound(pixels * about.logicalDpiX() / 120.0); };
    QVERIFY(about.width() >= design(375) && about.height() >= design(263));
    const AboutDialogProbe parts(about);
    for (QWidget *part : std::initializer_list<QWidget *>{parts.programName(), parts.version(), parts.copyright(),
                                                          parts.webAddress(), parts.okButton()}) {
        const QSize room = part->size(), asked = part->sizeHint();
        QVERIFY2(room.width() >= asked.width() && room.height() >= asked.height(),
                 qPrintable(QStringLiteral("%1 has %2 x %3, asks %4 x %5")
                                .arg(part->objectName())
                                .arg(room.width())
                                .arg(room.height())
                                .arg(asked.width())
                                .arg(asked.height())));
        QVERIFY2(about.rect().contains(part->geometry()), qPrintable(part->objectName()));
    }
    const QRect screen = about.screen()->availableGeometry();
    const QPoint offset = about.frameGeometry().center() - screen.center();
    QVERIFY2(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1,
             qPrintable(QStringLiteral("%1, %2 off the middle of %3 x %4 (box %5 x %6)")
                            .arg(offset.x())
                            .arg(offset.y())
                            .arg(screen.width())
                            .arg(screen.height())
                            .arg(about.width())
                            .arg(about.height())));
    QApplication::setFont(before);
}

void TestStartup::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("puzzles") << "Nimbrel (*.nbq)|*.nbq" << QStringList{"Nimbrel (*.nbq) (*.nbq *.NBQ)"};
    QTest::newRow("pictures")
        << "All (*.gif;*.jpg;*.bmp)|*.gif;*.jpg;*.bmp|CompuServe GIF Image (*.gif)|*.gif|JPEG Image File "
           "(*.jpg)|*.jpg|Bitmaps (*.bmp)|*.bmp"
        << QStringList{"All (*.gif;*.jpg;*.bmp) (*.gif *.GIF *.jpg *.JPG *.bmp *.BMP)",
                       "CompuServe GIF Image (*.gif) (*.gif *.GIF)", "JPEG Image File (*.jpg) (*.jpg *.JPG)",
                       "Bitmaps (*.bmp) (*.bmp *.BMP)"};
}

void TestStartup::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(QtDialogs::qtNameFilters(filter), expected);
}

void TestStartup::pictureFilterListsEveryKind_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("picture");
    for (const char *name :
         {"a.bmp", "a.jpg", "a.JPEG", "a.jpe", "a.Jfif", "a.gif", "a.png", "a.WebP", "a.tif", "a.TIFF"})
        QTest::newRow(name) << QString::fromLatin1(name) << true;
    QTest::newRow("puzzle") << QStringLiteral("a.nbq") << false;
    QTest::newRow("Photoshop") << QStringLiteral("a.psd") << false;
}

// The picture dialog offers, in its first filter, exactly the files that New reads; the dialog matches names
// in any letter case, as QDir::match does.
void TestStartup::pictureFilterListsEveryKind()
{
    QFETCH(QString, name);
    QFETCH(bool, picture);
    const QStringList parts = QString::fromLatin1(WindowTexts::PictureFilter).split(QLatin1Char('|'));
    QCOMPARE(QDir::match(parts.value(1), name), picture);
    QCOMPARE(hasPictureExtension(name), picture);
}

QTEST_MAIN(TestStartup)
#include "TestStartup.moc"
