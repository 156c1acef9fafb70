// SPDX-License-Identifier: GPL-3.0-or-later
// The picture on a screen scaled by 2 (run with QT_SCALE_FACTOR=2): made at the screen's own pixels, fitted to
// the panel's pixels, and the mouse and the pointer in step with it.
#include "PicturePanel.h"
#include "PictureView.h"
#include "WindowFixture.h"
#include "WorkingBitmap.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QTest>

using namespace quorra;

class TestHiDpi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fitInScreenPixels_data();
    void fitInScreenPixels();
    void mouseInScreenPixels_data();
    void mouseInScreenPixels();
    void dragShowsTheDisplay_data();
    void dragShowsTheDisplay();
};

void TestHiDpi::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    WindowFixture f;
    QCOMPARE(f.form->devicePixelRatioF(), 2.0);
}

void TestHiDpi::fitInScreenPixels_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<bool>("autoFit");

    QTest::newRow("large, auto fit") << QSize(2400, 1800) << true;
    QTest::newRow("large, fitted once") << QSize(2400, 1800) << false;
    QTest::newRow("small: shown at its own size") << QSize(500, 300) << true;
    // As large in units as at a scale factor of 1, rather than at half that size.
    QTest::newRow("small, not fitted: its own size in units") << QSize(500, 300) << false;
    QTest::newRow("odd sizes") << QSize(1601, 999) << true;
}

// The window's picture is exactly what the engine makes for a panel of twice the panel's units, and the picture
// control covers it at half its pixels.
void TestHiDpi::fitInScreenPixels()
{
    QFETCH(QSize, picture);
    QFETCH(bool, autoFit);

    WindowFixture f(700, 500);
    if (autoFit)
        f.run(f.form->commands().action(Command::AutoBestFit));
    const QString path = f.makePicture(QStringLiteral("p.bmp"), picture.width(), picture.height());
    f.New(path);
    QCOMPARE(f.form->pictureLayout().panelPixels(), QSize(1400, 1000));

    QImage display;
    const QImage texture = concealmentTexture();
    Puzzle expected(&display, &texture);
    expected.setOpenPanel(QSize(1400, 1000), autoFit, 2.0);
    expected.loadPicture(path);
    expected.setUp(f.form->commands().currentEffect(), 2, 2, false, false, false);
    expected.updateFit(1400, 1000, autoFit);
    QCOMPARE(f.form->documents().puzzle()->scale(), expected.scale());
    if (!autoFit && picture.width() < 700)
        QCOMPARE(expected.scale(), 2.0);
    const QImage &shown = f.form->documents().puzzle()->display();
    QCOMPARE(shown.size(), display.size());
    QVERIFY(shown.width() > 700 || shown.width() == picture.width());

    const QSize half((shown.width() + 1) / 2, (shown.height() + 1) / 2);
    QCOMPARE(f.form->pictureView()->size(), half);
    // Centred in the panel in its units.
    const QRect client = f.form->picturePanel()->clientRect();
    QCOMPARE(f.form->pictureView()->geometry().center().x() / 4, client.center().x() / 4);
    // Painted one picture pixel to one screen pixel: the grabbed control is the picture itself (without the focus
    // frame, which is drawn over its edge).
    f.form->pictureView()->clearFocus();
    QImage grabbed = f.form->pictureView()->grab().toImage().convertToFormat(QImage::Format_RGB888);
    QCOMPARE(grabbed.size(), half * 2);
    grabbed.setDevicePixelRatio(1);
    QCOMPARE(grabbed.copy(QRect(QPoint(0, 0), shown.size())), shown.convertToFormat(QImage::Format_RGB888));
}

void TestHiDpi::mouseInScreenPixels_data()
{
    QTest::addColumn<QPointF>("where"); // as a fraction of the control's size
    QTest::addColumn<CellPos>("cell");

    // Read as unscaled units, the first three would all land in the top left cell.
    QTest::newRow("bottom right") << QPointF(0.75, 0.75) << CellPos(2, 2);
    QTest::newRow("top right") << QPointF(0.7, 0.2) << CellPos(2, 1);
    QTest::newRow("bottom left") << QPointF(0.3, 0.9) << CellPos(1, 2);
    QTest::newRow("top left") << QPointF(0.2, 0.2) << CellPos(1, 1);
}

// A press at a point of the control catches the cell under the same point of the picture, and the pointer is put
// on that cell's centre on screen.
void TestHiDpi::mouseInScreenPixels()
{
    QFETCH(QPointF, where);
    QFETCH(CellPos, cell);

    WindowFixture f(700, 500);
    f.open(f.makePuzzleFile(QStringLiteral("p.nbq"), 1200, 800));
    PictureView *image = f.form->pictureView();
    const QPoint at(qRound(image->width() * where.x()), qRound(image->height() * where.y()));
    const QPoint device = at * 2;
    QCOMPARE(f.form->documents().puzzle()->cellAt(device.x(), device.y()), cell);

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(image->mapToGlobal(at)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(image, &press);
    QCOMPARE(f.form->documents().puzzle()->selected(), cell);
    QCOMPARE(f.form->documents().puzzle()->dragState(), DragState::Caught);
    QVERIFY(!f.pointer->moves.isEmpty());
    const QPoint centre = f.form->documents().puzzle()->selectedCentre();
    QCOMPARE(f.pointer->moves.last(), image->mapToGlobal(QPointF(centre) / 2).toPoint());
    // Held within the picture as the screen shows it.
    QCOMPARE(f.pointer->confined,
             QRect(image->mapToGlobal(QPoint(0, 0)), f.form->documents().puzzle()->display().size() / 2));

    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(image->mapToGlobal(at)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(image, &release);
}

void TestHiDpi::dragShowsTheDisplay_data()
{
    QTest::addColumn<QPoint>("step"); // the pointer's moves along the line, wrapping past its start

    QTest::newRow("row") << QPoint(-97, 0);
    QTest::newRow("column") << QPoint(0, 131);
}

// The screen's copy of the picture follows a dragged line, and a cell drawn after it, pixel for pixel.
void TestHiDpi::dragShowsTheDisplay()
{
    QFETCH(QPoint, step);

    WindowFixture f(700, 500);
    f.open(f.makePuzzleFile(QStringLiteral("p.nbq"), 1200, 800));
    // The focus frame is drawn over the picture's edge; the comparison is of the picture alone.
    f.form->pictureView()->clearFocus();
    Puzzle &p = *f.form->documents().puzzle();
    auto shownMatches = [&f, &p] {
        QImage grabbed = f.form->pictureView()->grab().toImage().convertToFormat(QImage::Format_RGB888);
        grabbed.setDevicePixelRatio(1);
        return grabbed.copy(p.display().rect()) == p.display().convertToFormat(QImage::Format_RGB888);
    };
    QVERIFY(shownMatches());
    QPoint at = p.cellCentre(CellPos(1, 1));
    f.form->play().press(Qt::LeftButton, {}, at.x(), at.y());
    for (int i = 0; i < 12 && p.dragState() != DragState::Idle; ++i) {
        at += step;
        f.form->play().move(Qt::LeftButton, {}, at.x(), at.y());
        QVERIFY2(shownMatches(), qPrintable(QString::number(i)));
    }
    f.form->play().release(Qt::LeftButton, {}, at.x(), at.y());
    const QPoint other = p.cellCentre(CellPos(2, 2));
    f.form->play().move(Qt::NoButton, {}, other.x(), other.y());
    QVERIFY(shownMatches());
}

QTEST_MAIN(TestHiDpi)
#include "TestHiDpi.moc"
