// Renders the sample landscape that the first puzzle is made from (samples/Sample.jpg): sky, sun, hills, a house,
// trees and a lake, in clear shapes and colours so that every cell of a 3 x 3 split is easy to tell apart.
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

namespace {

constexpr int Width = 720;
constexpr int Height = 540;

void Sky(QPainter &P)
{
    QLinearGradient Gradient(0, 0, 0, Height * 0.6);
    Gradient.setColorAt(0, QColor(36, 88, 170));
    Gradient.setColorAt(0.6, QColor(120, 176, 230));
    Gradient.setColorAt(1, QColor(250, 214, 160));
    P.fillRect(0, 0, Width, Height, Gradient);
}

void Sun(QPainter &P)
{
    const QPointF Centre(560, 110);
    QRadialGradient Glow(Centre, 120);
    Glow.setColorAt(0, QColor(255, 240, 170, 200));
    Glow.setColorAt(1, QColor(255, 240, 170, 0));
    P.setPen(Qt::NoPen);
    P.setBrush(Glow);
    P.drawEllipse(Centre, 120, 120);
    P.setBrush(QColor(255, 214, 60));
    P.drawEllipse(Centre, 46, 46);
}

void Cloud(QPainter &P, QPointF At, double Size)
{
    P.setPen(Qt::NoPen);
    P.setBrush(QColor(255, 255, 255, 230));
    P.drawEllipse(At, Size * 1.2, Size * 0.6);
    P.drawEllipse(At + QPointF(-Size * 0.8, Size * 0.15), Size * 0.7, Size * 0.45);
    P.drawEllipse(At + QPointF(Size * 0.9, Size * 0.1), Size * 0.8, Size * 0.5);
    P.drawEllipse(At + QPointF(-Size * 0.1, -Size * 0.35), Size * 0.7, Size * 0.55);
}

void Mountains(QPainter &P)
{
    QPainterPath Range;
    Range.moveTo(0, 300);
    Range.lineTo(90, 190);
    Range.lineTo(170, 250);
    Range.lineTo(260, 150);
    Range.lineTo(360, 260);
    Range.lineTo(430, 210);
    Range.lineTo(520, 280);
    Range.lineTo(Width, 240);
    Range.lineTo(Width, 340);
    Range.lineTo(0, 340);
    Range.closeSubpath();
    P.setPen(Qt::NoPen);
    P.setBrush(QColor(112, 120, 168));
    P.drawPath(Range);
    // Snow on the highest peak.
    QPainterPath Snow;
    Snow.moveTo(260, 150);
    Snow.lineTo(290, 183);
    Snow.lineTo(272, 178);
    Snow.lineTo(258, 190);
    Snow.lineTo(244, 176);
    Snow.lineTo(232, 181);
    Snow.closeSubpath();
    P.setBrush(QColor(245, 248, 255));
    P.drawPath(Snow);
}

void Hills(QPainter &P)
{
    QPainterPath Far;
    Far.moveTo(0, 320);
    Far.cubicTo(160, 250, 300, 330, 420, 300);
    Far.cubicTo(540, 270, 640, 300, Width, 290);
    Far.lineTo(Width, Height);
    Far.lineTo(0, Height);
    Far.closeSubpath();
    QLinearGradient FarGreen(0, 260, 0, Height);
    FarGreen.setColorAt(0, QColor(120, 184, 80));
    FarGreen.setColorAt(1, QColor(70, 130, 50));
    P.setPen(Qt::NoPen);
    P.setBrush(FarGreen);
    P.drawPath(Far);

    QPainterPath Near;
    Near.moveTo(0, 420);
    Near.cubicTo(200, 360, 380, 440, Width, 380);
    Near.lineTo(Width, Height);
    Near.lineTo(0, Height);
    Near.closeSubpath();
    QLinearGradient NearGreen(0, 360, 0, Height);
    NearGreen.setColorAt(0, QColor(92, 164, 62));
    NearGreen.setColorAt(1, QColor(40, 100, 36));
    P.setBrush(NearGreen);
    P.drawPath(Near);
}

void Lake(QPainter &P)
{
    QLinearGradient Water(0, 440, 0, 520);
    Water.setColorAt(0, QColor(90, 160, 220));
    Water.setColorAt(1, QColor(40, 90, 160));
    P.setPen(QPen(QColor(30, 70, 120), 2));
    P.setBrush(Water);
    P.drawEllipse(QRectF(470, 440, 220, 74));
    P.setPen(QPen(QColor(220, 240, 255), 3, Qt::SolidLine, Qt::RoundCap));
    P.drawLine(QPointF(520, 468), QPointF(560, 468));
    P.drawLine(QPointF(590, 486), QPointF(640, 486));
}

void House(QPainter &P)
{
    const QRectF Wall(300, 330, 150, 110);
    P.setPen(QPen(QColor(90, 60, 40), 2));
    P.setBrush(QColor(246, 226, 178));
    P.drawRect(Wall);
    // Chimney before the roof so the roof covers its foot.
    P.setBrush(QColor(150, 70, 50));
    P.drawRect(QRectF(410, 270, 20, 50));
    QPainterPath Roof;
    Roof.moveTo(284, 334);
    Roof.lineTo(375, 262);
    Roof.lineTo(466, 334);
    Roof.closeSubpath();
    P.setBrush(QColor(200, 50, 40));
    P.drawPath(Roof);
    P.setBrush(QColor(120, 70, 40));
    P.drawRect(QRectF(360, 380, 32, 60));
    P.setBrush(QColor(255, 220, 80));
    P.drawEllipse(QPointF(385, 412), 3, 3);
    P.setBrush(QColor(140, 200, 240));
    for (double X : {318.0, 408.0}) {
        P.drawRect(QRectF(X, 358, 26, 26));
        P.drawLine(QPointF(X + 13, 358), QPointF(X + 13, 384));
        P.drawLine(QPointF(X, 371), QPointF(X + 26, 371));
    }
    // Smoke drifting away from the chimney.
    P.setPen(Qt::NoPen);
    P.setBrush(QColor(230, 230, 235, 160));
    P.drawEllipse(QPointF(424, 252), 10, 8);
    P.drawEllipse(QPointF(438, 232), 13, 10);
    P.drawEllipse(QPointF(458, 210), 16, 12);
}

void Track(QPainter &P)
{
    QPainterPath Way;
    Way.moveTo(366, 440);
    Way.cubicTo(350, 480, 300, 500, 250, Height);
    Way.lineTo(330, Height);
    Way.cubicTo(360, 500, 390, 480, 390, 440);
    Way.closeSubpath();
    P.setPen(Qt::NoPen);
    P.setBrush(QColor(214, 184, 130));
    P.drawPath(Way);
}

void Tree(QPainter &P, QPointF Foot, double Size, const QColor &Leaves)
{
    P.setPen(QPen(QColor(70, 45, 25), 1));
    P.setBrush(QColor(110, 70, 40));
    P.drawRect(QRectF(Foot.x() - Size * 0.08, Foot.y() - Size * 0.55, Size * 0.16, Size * 0.55));
    P.setPen(QPen(Leaves.darker(140), 2));
    P.setBrush(Leaves);
    P.drawEllipse(QPointF(Foot.x(), Foot.y() - Size * 0.85), Size * 0.42, Size * 0.4);
    P.drawEllipse(QPointF(Foot.x() - Size * 0.25, Foot.y() - Size * 0.62), Size * 0.3, Size * 0.26);
    P.drawEllipse(QPointF(Foot.x() + Size * 0.27, Foot.y() - Size * 0.64), Size * 0.3, Size * 0.26);
}

void Pine(QPainter &P, QPointF Foot, double Size)
{
    P.setPen(Qt::NoPen);
    P.setBrush(QColor(90, 60, 35));
    P.drawRect(QRectF(Foot.x() - Size * 0.06, Foot.y() - Size * 0.2, Size * 0.12, Size * 0.2));
    P.setBrush(QColor(30, 110, 60));
    for (int Tier = 0; Tier < 3; ++Tier) {
        const double Base = Foot.y() - Size * (0.18 + Tier * 0.25);
        const double Half = Size * (0.34 - Tier * 0.08);
        QPainterPath Cone;
        Cone.moveTo(Foot.x() - Half, Base);
        Cone.lineTo(Foot.x(), Base - Size * 0.4);
        Cone.lineTo(Foot.x() + Half, Base);
        Cone.closeSubpath();
        P.drawPath(Cone);
    }
}

void Flowers(QPainter &P)
{
    const QColor Colours[] = {QColor(240, 70, 90), QColor(255, 220, 60), QColor(250, 250, 250),
                              QColor(170, 90, 220)};
    P.setPen(Qt::NoPen);
    for (int I = 0; I < 28; ++I) {
        const double X = 20 + (I * 97) % 220;
        const double Y = 470 + (I * 53) % 60;
        P.setBrush(Colours[I % 4]);
        P.drawEllipse(QPointF(X, Y), 4, 4);
    }
}

void Birds(QPainter &P)
{
    P.setPen(QPen(QColor(40, 40, 60), 2.5, Qt::SolidLine, Qt::RoundCap));
    P.setBrush(Qt::NoBrush);
    for (QPointF At : {QPointF(120, 90), QPointF(150, 110), QPointF(180, 84)}) {
        QPainterPath Wing;
        Wing.moveTo(At + QPointF(-12, 0));
        Wing.quadTo(At + QPointF(-6, -8), At);
        Wing.quadTo(At + QPointF(6, -8), At + QPointF(12, 0));
        P.drawPath(Wing);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication Application(argc, argv);
    const QString Path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("samples/Sample.jpg");
    QImage Picture(Width, Height, QImage::Format_RGB32);
    {
        QPainter P(&Picture);
        P.setRenderHint(QPainter::Antialiasing);
        Sky(P);
        Sun(P);
        Cloud(P, QPointF(150, 170), 44);
        Cloud(P, QPointF(420, 80), 34);
        Birds(P);
        Mountains(P);
        Hills(P);
        Pine(P, QPointF(560, 320), 90);
        Pine(P, QPointF(610, 330), 70);
        Track(P);
        House(P);
        Lake(P);
        Tree(P, QPointF(120, 420), 150, QColor(60, 150, 60));
        Tree(P, QPointF(220, 400), 100, QColor(150, 180, 50));
        Flowers(P);
    }
    if (!Picture.save(Path, "JPEG", 92)) {
        std::fprintf(stderr, "make-sample-picture: cannot write %s\n", qPrintable(Path));
        return 1;
    }
    return 0;
}
