// Zoom and fit through the main window: the fit to the panel, the zoom steps, the limits, and the picture
// centred in the panel.
#include "TFormFixture.h"
#include "TPictureControl.h"
#include "TPicturePanel.h"

#include <QAction>
#include <QStandardPaths>
#include <QTest>

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
};

void TestZoom::newPuzzleOpensAtActualSizeCentred()
{
    TFormFixture F;
    QVERIFY(F.SetPanelSize(790, 560));
    F.New(F.MakePicture(QStringLiteral("p.bmp"), 400, 300));
    TPuzzle &P = *F.Form->Puzzle;
    QCOMPARE(P.Scale, 1.0);
    QVERIFY(qAbs(P.FitScale - 1.866666667) < 1e-6);
    QCOMPARE(P.CellWidth, 200);
    QCOMPARE(P.CellHeight, 150);
    QCOMPARE(F.Form->Image->size(), QSize(400, 300));
    QCOMPARE(F.Form->Image->pos(), F.Form->ImageSpeedBar->ClientRect().topLeft() + QPoint(195, 130));
    QVERIFY(F.Form->ZoomInAction->isEnabled());
    QVERIFY(F.Form->ZoomOutAction->isEnabled());
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

    TFormFixture F;
    QVERIFY(F.SetPanelSize(790, 560));
    F.New(F.MakePicture(QStringLiteral("p.bmp"), 400, 300));
    for (int I = 0; I < presses; ++I)
        F.Run(F.Form->ZoomInAction);
    TPuzzle &P = *F.Form->Puzzle;
    QVERIFY2(qAbs(P.Scale - scale) < 1e-6, qPrintable(QString::number(P.Scale, 'f', 8)));
    QCOMPARE(QSize(P.CellWidth, P.CellHeight), cell);
    QCOMPARE(F.Form->ZoomInAction->isEnabled(), canZoomIn);
    const QSize Picture(2 * cell.width(), 2 * cell.height());
    QCOMPARE(F.Form->Image->size(), Picture);
    QCOMPARE(F.Form->Image->pos(), F.Form->ImageSpeedBar->ClientRect().topLeft()
                                       + QPoint((790 - Picture.width()) / 2, (560 - Picture.height()) / 2));
}

void TestZoom::emptyColumnGetsRoomOfItsOwn()
{
    TFormFixture F;
    QVERIFY(F.SetPanelSize(790, 560));
    // A stored check mark of the hidden command still applies.
    F.Form->EmptyColumnAction->setChecked(true);
    F.New(F.MakePicture(QStringLiteral("p.bmp"), 400, 300));
    TPuzzle &P = *F.Form->Puzzle;
    QCOMPARE(P.Body.ExtraCol, 1);
    QVERIFY(qAbs(P.FitScale - 1.315) < 1e-9);
    QCOMPARE(F.Form->Image->size(), QSize(600, 300));
    F.Run(F.Form->BestFitAction);
    QVERIFY(qAbs(P.Scale - 1.315) < 1e-9);
    QVERIFY(F.Form->Image->width() <= 790);
}

void TestZoom::smallPictureCannotZoomOut()
{
    TFormFixture F;
    QVERIFY(F.SetPanelSize(790, 560));
    F.New(F.MakePicture(QStringLiteral("p.bmp"), 200, 150));
    QVERIFY(!F.Form->ZoomOutAction->isEnabled());
    QVERIFY(!F.Form->Puzzle->CanActualSize());
    F.Run(F.Form->ZoomInAction);
    QVERIFY(F.Form->Puzzle->CanActualSize());
    QVERIFY(!F.Form->ZoomOutAction->isEnabled()); // 220 is still not above 256
    F.Run(F.Form->ZoomInAction);
    F.Run(F.Form->ZoomInAction);
    QCOMPARE(F.Form->Image->width(), 266);
    QVERIFY(F.Form->ZoomOutAction->isEnabled());
}

void TestZoom::largePictureOpensAtTheFit()
{
    TFormFixture F;
    QVERIFY(F.SetPanelSize(790, 560));
    F.New(F.MakePicture(QStringLiteral("p.bmp"), 1600, 1200));
    TPuzzle &P = *F.Form->Puzzle;
    QVERIFY(qAbs(P.Scale - P.FitScale) < 1e-9);
    QVERIFY(P.FitScale < 0.99999);
    QVERIFY(!P.CanActualSize());
    QCOMPARE(F.Form->Image->height(), 560);
    QVERIFY(!F.Form->ZoomInAction->isEnabled());
}

void TestZoom::autoBestFitFollowsThePanelUntilZoomOut()
{
    TFormFixture F;
    QVERIFY(F.SetPanelSize(790, 560));
    F.Run(F.Form->AutoBestFitAction);
    QVERIFY(F.Form->AutoBestFitAction->isChecked());
    F.New(F.MakePicture(QStringLiteral("p.bmp"), 400, 300));
    TPuzzle &P = *F.Form->Puzzle;
    QVERIFY(qAbs(P.Scale - 1.866666667) < 1e-6);
    QVERIFY(!F.Form->ZoomInAction->isEnabled());
    QVERIFY(!F.Form->BestFitAction->isEnabled());

    QVERIFY(F.SetPanelSize(900, 700));
    F.Form->ActionListUpdate();
    QVERIFY(qAbs(P.Scale - P.FitScale) < 1e-9);
    QVERIFY(P.Scale > 2.2);
    QCOMPARE(F.Form->Image->pos(), F.Form->ImageSpeedBar->ClientRect().topLeft()
                                       + QPoint((900 - F.Form->Image->width()) / 2, (700 - F.Form->Image->height()) / 2));

    const double Before = P.Scale;
    F.Run(F.Form->ZoomOutAction);
    QVERIFY(!F.Form->AutoBestFitAction->isChecked());
    QVERIFY(qAbs(P.Scale - Before / 1.1) < 1e-9);
    QVERIFY(F.Form->ZoomInAction->isEnabled());
}

void TestZoom::shrinkingThePanelShrinksThePicture()
{
    TFormFixture F;
    QVERIFY(F.SetPanelSize(790, 560));
    F.New(F.MakePicture(QStringLiteral("p.bmp"), 400, 300));
    QVERIFY(F.SetPanelSize(500, 280));
    F.Form->ActionListUpdate();
    TPuzzle &P = *F.Form->Puzzle;
    QVERIFY(P.Scale < 1.0);
    QCOMPARE(F.Form->Image->height(), 280);
    QVERIFY(F.Form->Image->width() <= 500);
    // Growing the window again leaves the size as it is, re-centred.
    const QSize Small = F.Form->Image->size();
    QVERIFY(F.SetPanelSize(790, 560));
    F.Form->ActionListUpdate();
    QCOMPARE(F.Form->Image->size(), Small);
    QCOMPARE(F.Form->Image->pos(), F.Form->ImageSpeedBar->ClientRect().topLeft()
                                       + QPoint((790 - Small.width()) / 2, (560 - Small.height()) / 2));
}

QTEST_MAIN(TestZoom)
#include "TestZoom.moc"
