// Start-up of the main window with and without a puzzle file on the command line, the about box, and the file
// dialogs' filters.
#include "ProgramInfo.h"
#include "TAboutForm.h"
#include "TFormFixture.h"
#include "TPictureControl.h"
#include "TQtDialogs.h"
#include "TextStamp.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QUrl>

class TUrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> Urls;

public slots:
    void Open(const QUrl &Url) { Urls << Url; }
};

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
};

void TestStartup::commandLine_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("puzzle");

    QTest::newRow("a puzzle file") << "sample.nbq" << "Quorra - " << true;
    QTest::newRow("a missing file") << "absent.nbq" << "Quorra" << false;
    QTest::newRow("none") << "" << "Quorra" << false;
}

void TestStartup::commandLine()
{
    QFETCH(QString, argument);
    QFETCH(QString, title);
    QFETCH(bool, puzzle);

    TFormFixture F(790, 560, false);
    const QString Sample = F.MakePuzzleFile(QStringLiteral("sample.nbq"), 400, 300, 3, 3);
    if (!argument.isEmpty())
        F.Form->CommandLinePuzzle = F.PathOf(argument);
    // The puzzle from the command line is tangled where the person sees it, after the window has appeared.
    int Steps = 0;
    bool VisibleDuring = true;
    connect(F.Form.get(), &TNimbrelMainForm::TangleStepped, this, [&] {
        ++Steps;
        VisibleDuring &= F.Form->isVisible() && F.Form->Image->width() > 0;
    });
    F.Form->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.Form.get()));
    QTRY_COMPARE(F.Form->Puzzle != nullptr, puzzle);
    QTest::qWait(50);
    QCOMPARE(F.Form->windowTitle(), title);
    // Nothing asked, nothing reported: a missing file is passed over in silence.
    QCOMPARE(F.Dialogs->Log, QStringList());
    QCOMPARE(Steps, puzzle ? 5 : 0);
    QVERIFY(VisibleDuring);
    if (puzzle) {
        QVERIFY(!F.Form->Puzzle->EditMode);
        QCOMPARE(F.Form->Puzzle->FileName, Sample);
        QVERIFY(F.Form->Image->width() > 0);
        QVERIFY(F.Form->ImageMouseAttached());
    } else {
        QCOMPARE(F.Form->Image->width(), 0);
    }
}

void TestStartup::freshWindow()
{
    TFormFixture F(790, 560, false);
    F.Form->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.Form.get()));
    QCOMPARE(F.Form->objectName(), QStringLiteral("NimbrelMainForm"));
    QCOMPARE(F.Form->windowTitle(), QStringLiteral("Quorra"));
    QVERIFY(!F.Form->mEffect->menuAction()->isVisible());
    QVERIFY(!F.Form->mEdit->menuAction()->isVisible());
    QVERIFY(F.Form->mSplit->menuAction()->isVisible());
    for (QAction *Hidden : {F.Form->ActualSizeAction, F.Form->EmptyRowAction, F.Form->EmptyColumnAction,
                            F.Form->SemiEffectAction})
        QVERIFY2(!Hidden->isVisible() && !Hidden->isChecked(), qPrintable(Hidden->objectName()));
    QVERIFY(F.Form->Action2x2->isChecked());
    QVERIFY(F.Form->HiddenAction->isChecked());
    QVERIFY(F.Form->mSound->isChecked());
    QVERIFY(F.Form->ShowAtStartAction->isChecked());
    QVERIFY(!F.Form->AutoBestFitAction->isChecked());
    // The Split menu keeps the command list's order, one column after another.
    QStringList Items;
    for (const QAction *Item : F.Form->mSplit->actions())
        Items << (Item->isSeparator() ? QStringLiteral("-") : Item->text());
    QCOMPARE(Items, (QStringList{"2x2", "3x2", "4x2", "-", "2x3", "3x3", "4x3", "-", "2x4", "3x4", "4x4"}));
    // The design size is at 120 dots per inch.
    QCOMPARE(F.Form->width(), qRound(790 * F.Form->logicalDpiX() / 120.0));
}

void TestStartup::aboutBox()
{
    TAboutForm About;
    QCOMPARE(About.windowTitle(), QStringLiteral("About Crypsel"));
    QCOMPARE(About.ProgramNameLabel->text(), QStringLiteral("Quorra"));
    QCOMPARE(About.ProgramNameLabel->font().family(), StampFont().family());
    QVERIFY(About.ProgramNameLabel->font().bold());
    QCOMPARE(About.VersionLabel->text(), QStringLiteral("Version 1.0.2"));
    QVERIFY(!About.Label3->text().isEmpty());
    QVERIFY(About.WebLabel->text().contains(QuorraWebAddress));

    TUrlCatcher Catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &Catcher, "Open");
    QTimer::singleShot(0, &About, [&About] {
        // The link opens the page and leaves the box open; OK closes it.
        emit About.WebLabel->linkActivated(QuorraWebAddress);
        QVERIFY(About.isVisible());
        About.OKBitBtn->click();
    });
    QCOMPARE(About.exec(), int(QDialog::Accepted));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(Catcher.Urls, QList<QUrl>{QUrl(QuorraWebAddress)});
    QVERIFY(!About.isVisible());
}

void TestStartup::aboutBoxFitsItsTexts_data()
{
    QTest::addColumn<int>("PixelSize"); // of the application's font; 0 keeps the desktop's
    QTest::newRow("the desktop's font") << 0;
    QTest::newRow("a large font") << 24;
    QTest::newRow("a very large font") << 34;
}

// Every text has at least the room it asks for, inside the box, and the box is in the middle of the screen, not
// over the main window.
void TestStartup::aboutBoxFitsItsTexts()
{
    QFETCH(int, PixelSize);
    const QFont Before = QApplication::font();
    if (PixelSize > 0) {
        QFont Large = Before;
        Large.setPixelSize(PixelSize);
        QApplication::setFont(Large);
    }
    QWidget Main;
    Main.setGeometry(20, 30, 300, 200);
    Main.show();
    TAboutForm About(&Main);
    About.show();
    QVERIFY(QTest::qWaitForWindowExposed(&About));
    const auto Design = [&About](int Pixels) { return qRound(Pixels * About.logicalDpiX() / 120.0); };
    QVERIFY(About.width() >= Design(375) && About.height() >= Design(263));
    for (QWidget *Part : std::initializer_list<QWidget *>{About.ProgramNameLabel, About.VersionLabel, About.Label3,
                                                           About.WebLabel, About.OKBitBtn}) {
        const QSize Room = Part->size(), Asked = Part->sizeHint();
        QVERIFY2(Room.width() >= Asked.width() && Room.height() >= Asked.height(),
                 qPrintable(QStringLiteral("%1 has %2 x %3, asks %4 x %5")
                                .arg(Part->objectName())
                                .arg(Room.width()).arg(Room.height()).arg(Asked.width()).arg(Asked.height())));
        QVERIFY2(About.rect().contains(Part->geometry()), qPrintable(Part->objectName()));
    }
    const QRect Screen = About.screen()->availableGeometry();
    const QPoint Offset = About.frameGeometry().center() - Screen.center();
    QVERIFY2(qAbs(Offset.x()) <= 1 && qAbs(Offset.y()) <= 1,
             qPrintable(QStringLiteral("%1, %2 off the middle of %3 x %4 (box %5 x %6)")
                            .arg(Offset.x()).arg(Offset.y()).arg(Screen.width()).arg(Screen.height())
                            .arg(About.width()).arg(About.height())));
    QApplication::setFont(Before);
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
    QCOMPARE(TQtDialogs::QtNameFilters(filter), expected);
}

QTEST_MAIN(TestStartup)
#include "TestStartup.moc"
