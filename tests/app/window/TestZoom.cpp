// SPDX-License-Identifier: GPL-3.0-or-later
// Zoom and fit through the main window: the fit to the panel, the zoom steps, the limits, and the picture
// centred in the panel.
#include "../../PuzzleProbe.h"
#include "DecodeLimits.h"
#include "PicturePanel.h"
#include "PictureView.h"
#include "WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QStandardPaths>
#include <QTest>
#include <QWheelEvent>

using namespace quorra;

class TestZoom : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void newPuzzleOpensAtActualSizeCentred();
    void zoomInSteps_data();
    void zoomInSteps();
    void emptyColumnGetsRoomOfItsOwn();
    void smallPictureCannotZoomOut();
    void largePictureOpensAtTheFit();
    void autoBestFitFollowsThePanelUntilZoomOut();
    void shrinkingThePanelShrinksThePicture();
    void actualSizeBeyondTheMemoryBudgetIsRefused();
    void ctrlWheelZooms_data();
    void ctrlWheelZooms();
    void fullScreenToggles();
};

void TestZoom::newPuzzleOpensAtActualSizeCentred()
{
    WindowFixture f;
    QVERIFY(f.setPanelSize(790, 560));
    f.New(f.makePicture(QStringLiteral("p.bmp"), 400, 300));
    Puzzle &p = *f.form->documents().puzzle();
    QCOMPARE(p.scale(), 1.0);
    QVERIFY(qAbs(p.fitScale() - 1.866666667) < 1e-6);
    QCOMPARE(p.cellWidth(), 200);
    QCOMPARE(p.cellHeight(), 150);
    QCOMPARE(f.form->pictureView()->size(), QSize(400, 300));
    QCOMPARE(f.form->pictureView()->pos(), f.form->picturePanel()->clientRect().topLeft() + QPoint(195, 130));
    QVERIFY(f.form->commands().action(Command::ZoomIn)->isEnabled());
    QVERIFY(f.form->commands().action(Command::ZoomOut)->isEnabled());
}

void TestZoom::zoomInSteps_data()
{
    QTest::addColumn<int>("presses");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QSize>("cell");
    QTest::addColumn<bool>("canZoomIn");

    QTest::newRow("1") << 1 << 1.1 << QSize(220, 165) << true;
    QTest::newRow("2") << 2 << 1.21 << QSize(242, 182) << true;
    QTest::newRow("3") << 3 << 1.331 << QSize(266, 200) << true;
    QTest::newRow("4") << 4 << 1.4641 << QSize(293, 220) << true;
    QTest::newRow("5") << 5 << 1.61051 << QSize(322, 242) << true;
    QTest::newRow("6") << 6 << 1.771561 << QSize(354, 266) << true;
    QTest::newRow("7: the fit") << 7 << 1.866666667 << QSize(373, 280) << false;
}

void TestZoom::zoomInSteps()
{
    QFETCH(int, presses);
    QFETCH(double, scale);
    QFETCH(QSize, cell);
    QFETCH(bool, canZoomIn);

    WindowFixture f;
    QVERIFY(f.setPanelSize(790, 560));
    f.New(f.makePicture(QStringLiteral("p.bmp"), 400, 300));
    for (int i = 0; i < presses; ++i)
        f.run(f.form->commands().action(Command::ZoomIn));
    Puzzle &p = *f.form->documents().puzzle();
    QVERIFY2(qAbs(p.scale() - scale) < 1e-6, qPrintable(QString::number(p.scale(), 'f', 8)));
    QCOMPARE(QSize(p.cellWidth(), p.cellHeight()), cell);
    QCOMPARE(f.form->commands().action(Command::ZoomIn)->isEnabled(), canZoomIn);
    const QSize picture(2 * cell.width(), 2 * cell.height());
    QCOMPARE(f.form->pictureView()->size(), picture);
    QCOMPARE(f.form->pictureView()->pos(), f.form->picturePanel()->clientRect().topLeft()
                                               + QPoint((790 - picture.width()) / 2, (560 - picture.height()) / 2));
}

void TestZoom::emptyColumnGetsRoomOfItsOwn()
{
    WindowFixture f;
    QVERIFY(f.setPanelSize(790, 560));
    // A stored check mark of the Edit option applies to the next new puzzle.
    f.form->commands().action(Command::EmptyColumn)->setChecked(true);
    f.New(f.makePicture(QStringLiteral("p.bmp"), 400, 300));
    Puzzle &p = *f.form->documents().puzzle();
    QCOMPARE(p.grid().hasEmptyColumn(), true);
    QVERIFY(qAbs(p.fitScale() - 1.315) < 1e-9);
    QCOMPARE(f.form->pictureView()->size(), QSize(600, 300));
    f.run(f.form->commands().action(Command::BestFit));
    QVERIFY(qAbs(p.scale() - 1.315) < 1e-9);
    QVERIFY(f.form->pictureView()->width() <= 790);
}

void TestZoom::smallPictureCannotZoomOut()
{
    WindowFixture f;
    QVERIFY(f.setPanelSize(790, 560));
    f.New(f.makePicture(QStringLiteral("p.bmp"), 200, 150));
    QVERIFY(!f.form->commands().action(Command::ZoomOut)->isEnabled());
    QVERIFY(!f.form->documents().puzzle()->canActualSize());
    f.run(f.form->commands().action(Command::ZoomIn));
    QVERIFY(f.form->documents().puzzle()->canActualSize());
    QVERIFY(!f.form->commands().action(Command::ZoomOut)->isEnabled()); // 220 is still not above 256
    f.run(f.form->commands().action(Command::ZoomIn));
    f.run(f.form->commands().action(Command::ZoomIn));
    QCOMPARE(f.form->pictureView()->width(), 266);
    QVERIFY(f.form->commands().action(Command::ZoomOut)->isEnabled());
}

void TestZoom::largePictureOpensAtTheFit()
{
    WindowFixture f;
    QVERIFY(f.setPanelSize(790, 560));
    f.New(f.makePicture(QStringLiteral("p.bmp"), 1600, 1200));
    Puzzle &p = *f.form->documents().puzzle();
    QVERIFY(qAbs(p.scale() - p.fitScale()) < 1e-9);
    QVERIFY(p.fitScale() < 0.99999);
    QVERIFY(!p.canActualSize());
    QCOMPARE(f.form->pictureView()->height(), 560);
    QVERIFY(!f.form->commands().action(Command::ZoomIn)->isEnabled());
}

void TestZoom::autoBestFitFollowsThePanelUntilZoomOut()
{
    WindowFixture f;
    QVERIFY(f.setPanelSize(790, 560));
    f.run(f.form->commands().action(Command::AutoBestFit));
    QVERIFY(f.form->commands().action(Command::AutoBestFit)->isChecked());
    f.New(f.makePicture(QStringLiteral("p.bmp"), 400, 300));
    Puzzle &p = *f.form->documents().puzzle();
    QVERIFY(qAbs(p.scale() - 1.866666667) < 1e-6);
    QVERIFY(!f.form->commands().action(Command::ZoomIn)->isEnabled());
    QVERIFY(!f.form->commands().action(Command::BestFit)->isEnabled());

    QVERIFY(f.setPanelSize(900, 700));
    f.form->updateCommands();
    QVERIFY(qAbs(p.scale() - p.fitScale()) < 1e-9);
    QVERIFY(p.scale() > 2.2);
    QCOMPARE(f.form->pictureView()->pos(),
             f.form->picturePanel()->clientRect().topLeft()
                 + QPoint((900 - f.form->pictureView()->width()) / 2, (700 - f.form->pictureView()->height()) / 2));

    const double before = p.scale();
    f.run(f.form->commands().action(Command::ZoomOut));
    QVERIFY(!f.form->commands().action(Command::AutoBestFit)->isChecked());
    QVERIFY(qAbs(p.scale() - before / 1.1) < 1e-9);
    QVERIFY(f.form->commands().action(Command::ZoomIn)->isEnabled());
}

void TestZoom::shrinkingThePanelShrinksThePicture()
{
    WindowFixture f;
    QVERIFY(f.setPanelSize(790, 560));
    f.New(f.makePicture(QStringLiteral("p.bmp"), 400, 300));
    QVERIFY(f.setPanelSize(500, 280));
    f.form->updateCommands();
    Puzzle &p = *f.form->documents().puzzle();
    QVERIFY(p.scale() < 1.0);
    QCOMPARE(f.form->pictureView()->height(), 280);
    QVERIFY(f.form->pictureView()->width() <= 500);
    // Growing the window again leaves the size as it is, re-centred.
    const QSize small = f.form->pictureView()->size();
    QVERIFY(f.setPanelSize(790, 560));
    f.form->updateCommands();
    QCOMPARE(f.form->pictureView()->size(), small);
    QCOMPARE(f.form->pictureView()->pos(), f.form->picturePanel()->clientRect().topLeft()
                                               + QPoint((790 - small.width()) / 2, (560 - small.height()) / 2));
}

// A photograph shown reduced whose own size passes the size guard but whose working bitmaps would not fit the
// memory budget: Actual Size is refused before anything is decoded or drawn, and the view stays as it was.
void TestZoom::actualSizeBeyondTheMemoryBudgetIsRefused()
{
    WindowFixture f;
    f.New(f.makePicture(QStringLiteral("small.bmp"), 400, 300));
    Puzzle &puzzle = *f.form->documents().puzzle();
    StoredPuzzle stored;
    stored.version = 1;
    stored.grid = puzzle.grid();
    stored.source = QImage(400, 300, QImage::Format_RGB32);
    stored.source.fill(Qt::gray);
    stored.pictureSize = QSize(16000, 12000);
    // Not a stream that decodes: reaching the decoder would raise a JPEG error instead.
    stored.pictureStream = QByteArray("not a stream");
    puzzle.adopt(stored);
    PuzzleProbe(puzzle).setFitScale(2.0);
    const double scale = puzzle.scale();
    f.dialogs->log.clear();
    f.form->guarded([&f] { f.form->pictureLayout().actualSize(); });
    QCOMPARE(f.dialogs->log, QStringList{QStringLiteral("Error|") + pictureNeedsTooMuchMemoryText()});
    QCOMPARE(puzzle.scale(), scale);
}

void TestZoom::ctrlWheelZooms_data()
{
    QTest::addColumn<int>("picture"); // its width; 3:4 high
    QTest::addColumn<int>("turn");    // the wheel's angle, positive away from the person
    QTest::addColumn<Qt::KeyboardModifiers>("held");
    QTest::addColumn<double>("scale");
    QTest::newRow("up zooms in") << 400 << 120 << Qt::KeyboardModifiers(Qt::ControlModifier) << 1.1;
    QTest::newRow("down zooms out") << 400 << -120 << Qt::KeyboardModifiers(Qt::ControlModifier) << 1 / 1.1;
    QTest::newRow("without Ctrl nothing") << 400 << 120 << Qt::KeyboardModifiers() << 1.0;
    // Zoom Out is off for a picture this small: the wheel keeps to the command's rules.
    QTest::newRow("no room to zoom out") << 200 << -120 << Qt::KeyboardModifiers(Qt::ControlModifier) << 1.0;
}

void TestZoom::ctrlWheelZooms()
{
    QFETCH(int, picture);
    QFETCH(int, turn);
    QFETCH(Qt::KeyboardModifiers, held);
    QFETCH(double, scale);
    WindowFixture f;
    QVERIFY(f.setPanelSize(790, 560));
    f.New(f.makePicture(QStringLiteral("p.bmp"), picture, picture * 3 / 4));
    // The picture passes a wheel turned over it on to the panel (checked under Xvfb: Qt passes on only the window
    // system's own events).
    PicturePanel *panel = f.form->picturePanel();
    const QPointF at(panel->width() / 2.0, panel->height() / 2.0);
    QWheelEvent wheel(at, panel->mapToGlobal(at), QPoint(), QPoint(0, turn), Qt::NoButton, held, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(f.form->picturePanel(), &wheel);
    QVERIFY2(qAbs(f.form->documents().puzzle()->scale() - scale) < 1e-9,
             qPrintable(QString::number(f.form->documents().puzzle()->scale())));
}

void TestZoom::fullScreenToggles()
{
    WindowFixture f;
    QAction *fullScreen = f.form->commands().action(Command::FullScreen);
    QCOMPARE(fullScreen->shortcut(), QKeySequence(Qt::Key_F11));
    for (const bool on : {true, false}) {
        f.run(fullScreen);
        QCOMPARE(bool(f.form->windowState() & Qt::WindowFullScreen), on);
        QCOMPARE(fullScreen->isChecked(), on);
    }
}

QTEST_MAIN(TestZoom)
#include "TestZoom.moc"
