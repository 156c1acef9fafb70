// The picture on a screen scaled by 2 (run with QT_SCALE_FACTOR=2): made at the screen's own pixels, fitted to
// the panel's pixels, and the mouse and the pointer in step with it.
#include "TFormFixture.h"
#include "TPictureControl.h"
#include "TPicturePanel.h"
#include "WorkingBitmap.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QTest>

class TestHiDpi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fitInScreenPixels_data();
    void fitInScreenPixels();
    void mouseInScreenPixels_data();
    void mouseInScreenPixels();
};

void TestHiDpi::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    TFormFixture F;
    QCOMPARE(F.Form->devicePixelRatioF(), 2.0);
}

void TestHiDpi::fitInScreenPixels_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<bool>("autoFit");

    QTest::newRow("large, auto fit") << QSize(2400, 1800) << true;
    QTest::newRow("large, fitted once") << QSize(2400, 1800) << false;
    QTest::newRow("small: shown at its own size") << QSize(500, 300) << true;
    QTest::newRow("odd sizes") << QSize(1601, 999) << true;
}

// The window's picture is exactly what the engine makes for a panel of twice the panel's units, and the picture
// control covers it at half its pixels.
void TestHiDpi::fitInScreenPixels()
{
    QFETCH(QSize, picture);
    QFETCH(bool, autoFit);

    TFormFixture F(700, 500);
    if (autoFit)
        F.Run(F.Form->AutoBestFitAction);
    const QString Path = F.MakePicture(QStringLiteral("p.bmp"), picture.width(), picture.height());
    F.New(Path);
    QCOMPARE(F.Form->PanelPixels(), QSize(1400, 1000));

    QImage Display;
    const QImage Texture = ConcealmentTexture();
    TPuzzle Expected(&Display, &Texture);
    Expected.LoadPicture(Path);
    Expected.Setup(F.Form->CurrentEffect, 2, 2, false, false, false);
    Expected.UpdateFit(1400, 1000, autoFit);
    QCOMPARE(F.Form->Puzzle->Scale, Expected.Scale);
    const QImage &Shown = *F.Form->Puzzle->Display;
    QCOMPARE(Shown.size(), Display.size());
    QVERIFY(Shown.width() > 700 || Shown.width() == picture.width());

    const QSize Half((Shown.width() + 1) / 2, (Shown.height() + 1) / 2);
    QCOMPARE(F.Form->Image->size(), Half);
    // Centred in the panel in its units.
    const QRect Client = F.Form->ImageSpeedBar->ClientRect();
    QCOMPARE(F.Form->Image->geometry().center().x() / 4, Client.center().x() / 4);
    // Painted one picture pixel to one screen pixel: the grabbed control is the picture itself.
    QImage Grabbed = F.Form->Image->grab().toImage().convertToFormat(QImage::Format_RGB888);
    QCOMPARE(Grabbed.size(), Half * 2);
    Grabbed.setDevicePixelRatio(1);
    QCOMPARE(Grabbed.copy(QRect(QPoint(0, 0), Shown.size())), Shown.convertToFormat(QImage::Format_RGB888));
}

void TestHiDpi::mouseInScreenPixels_data()
{
    QTest::addColumn<QPointF>("where"); // as a fraction of the control's size
    QTest::addColumn<QPoint>("cell");

    // Read as unscaled units, the first three would all land in the top left cell.
    QTest::newRow("bottom right") << QPointF(0.75, 0.75) << QPoint(2, 2);
    QTest::newRow("top right") << QPointF(0.7, 0.2) << QPoint(2, 1);
    QTest::newRow("bottom left") << QPointF(0.3, 0.9) << QPoint(1, 2);
    QTest::newRow("top left") << QPointF(0.2, 0.2) << QPoint(1, 1);
}

// A press at a point of the control catches the cell under the same point of the picture, and the pointer is put
// on that cell's centre on screen.
void TestHiDpi::mouseInScreenPixels()
{
    QFETCH(QPointF, where);
    QFETCH(QPoint, cell);

    TFormFixture F(700, 500);
    F.Open(F.MakePuzzleFile(QStringLiteral("p.nbq"), 1200, 800));
    TPictureControl *Image = F.Form->Image;
    const QPoint At(qRound(Image->width() * where.x()), qRound(Image->height() * where.y()));
    const QPoint Device = At * 2;
    QCOMPARE(F.Form->Puzzle->CellAt(Device.x(), Device.y()), cell);

    QMouseEvent Press(QEvent::MouseButtonPress, QPointF(At), QPointF(Image->mapToGlobal(At)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Image, &Press);
    QCOMPARE(F.Form->Puzzle->Selected, cell);
    QCOMPARE(F.Form->Puzzle->DragState, TDragState::Caught);
    QVERIFY(!F.Pointer->Moves.isEmpty());
    const QPoint Centre = F.Form->Puzzle->SelectedCentre();
    QCOMPARE(F.Pointer->Moves.last(), Image->mapToGlobal(QPointF(Centre) / 2).toPoint());
    // Held within the picture as the screen shows it.
    QCOMPARE(F.Pointer->Confined, QRect(Image->mapToGlobal(QPoint(0, 0)), F.Form->Puzzle->Display->size() / 2));

    QMouseEvent Release(QEvent::MouseButtonRelease, QPointF(At), QPointF(Image->mapToGlobal(At)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Image, &Release);
}

QTEST_MAIN(TestHiDpi)
#include "TestHiDpi.moc"
