// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the sample landscape that the first puzzle is made from (samples/Sample.jpg): sky, sun, hills, a house,
// trees and a lake, in clear shapes and colours so that every cell of a 3 x 3 split is easy to tell apart.
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

namespace quorra {

namespace {

constexpr int Width = 720;
constexpr int Height = 540;

void sky(QPainter &p)
{
    QLinearGradient gradient(0, 0, 0, Height * 0.6);
    gradient.setColorAt(0, QColor(36, 88, 170));
    gradient.setColorAt(0.6, QColor(120, 176, 230));
    gradient.setColorAt(1, QColor(250, 214, 160));
    p.fillRect(0, 0, Width, Height, gradient);
}

void sun(QPainter &p)
{
    const QPointF centre(560, 110);
    QRadialGradient glow(centre, 120);
    glow.setColorAt(0, QColor(255, 240, 170, 200));
    glow.setColorAt(1, QColor(255, 240, 170, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre, 120, 120);
    p.setBrush(QColor(255, 214, 60));
    p.drawEllipse(centre, 46, 46);
}

void cloud(QPainter &p, QPointF at, double size)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawEllipse(at, size * 1.2, size * 0.6);
    p.drawEllipse(at + QPointF(-size * 0.8, size * 0.15), size * 0.7, size * 0.45);
    p.drawEllipse(at + QPointF(size * 0.9, size * 0.1), size * 0.8, size * 0.5);
    p.drawEllipse(at + QPointF(-size * 0.1, -size * 0.35), size * 0.7, size * 0.55);
}

void mountains(QPainter &p)
{
    QPainterPath range;
    range.moveTo(0, 300);
    range.lineTo(90, 190);
    range.lineTo(170, 250);
    range.lineTo(260, 150);
    range.lineTo(360, 260);
    range.lineTo(430, 210);
    range.lineTo(520, 280);
    range.lineTo(Width, 240);
    range.lineTo(Width, 340);
    range.lineTo(0, 340);
    range.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(112, 120, 168));
    p.drawPath(range);
    // Snow on the highest peak.
    QPainterPath snow;
    snow.moveTo(260, 150);
    snow.lineTo(290, 183);
    snow.lineTo(272, 178);
    snow.lineTo(258, 190);
    snow.lineTo(244, 176);
    snow.lineTo(232, 181);
    snow.closeSubpath();
    p.setBrush(QColor(245, 248, 255));
    p.drawPath(snow);
}

void hills(QPainter &p)
{
    QPainterPath far;
    far.moveTo(0, 320);
    far.cubicTo(160, 250, 300, 330, 420, 300);
    far.cubicTo(540, 270, 640, 300, Width, 290);
    far.lineTo(Width, Height);
    far.lineTo(0, Height);
    far.closeSubpath();
    QLinearGradient farGreen(0, 260, 0, Height);
    farGreen.setColorAt(0, QColor(120, 184, 80));
    farGreen.setColorAt(1, QColor(70, 130, 50));
    p.setPen(Qt::NoPen);
    p.setBrush(farGreen);
    p.drawPath(far);

    QPainterPath near;
    near.moveTo(0, 420);
    near.cubicTo(200, 360, 380, 440, Width, 380);
    near.lineTo(Width, Height);
    near.lineTo(0, Height);
    near.closeSubpath();
    QLinearGradient nearGreen(0, 360, 0, Height);
    nearGreen.setColorAt(0, QColor(92, 164, 62));
    nearGreen.setColorAt(1, QColor(40, 100, 36));
    p.setBrush(nearGreen);
    p.drawPath(near);
}

void lake(QPainter &p)
{
    QLinearGradient water(0, 440, 0, 520);
    water.setColorAt(0, QColor(90, 160, 220));
    water.setColorAt(1, QColor(40, 90, 160));
    p.setPen(QPen(QColor(30, 70, 120), 2));
    p.setBrush(water);
    p.drawEllipse(QRectF(470, 440, 220, 74));
    p.setPen(QPen(QColor(220, 240, 255), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(520, 468), QPointF(560, 468));
    p.drawLine(QPointF(590, 486), QPointF(640, 486));
}

void house(QPainter &p)
{
    const QRectF wall(300, 330, 150, 110);
    p.setPen(QPen(QColor(90, 60, 40), 2));
    p.setBrush(QColor(246, 226, 178));
    p.drawRect(wall);
    // Chimney before the roof so the roof covers its foot.
    p.setBrush(QColor(150, 70, 50));
    p.drawRect(QRectF(410, 270, 20, 50));
    QPainterPath roof;
    roof.moveTo(284, 334);
    roof.lineTo(375, 262);
    roof.lineTo(466, 334);
    roof.closeSubpath();
    p.setBrush(QColor(200, 50, 40));
    p.drawPath(roof);
    p.setBrush(QColor(120, 70, 40));
    p.drawRect(QRectF(360, 380, 32, 60));
    p.setBrush(QColor(255, 220, 80));
    p.drawEllipse(QPointF(385, 412), 3, 3);
    p.setBrush(QColor(140, 200, 240));
    for (double x : {318.0, 408.0}) {
        p.drawRect(QRectF(x, 358, 26, 26));
        p.drawLine(QPointF(x + 13, 358), QPointF(x + 13, 384));
        p.drawLine(QPointF(x, 371), QPointF(x + 26, 371));
    }
    // Smoke drifting away from the chimney.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 230, 235, 160));
    p.drawEllipse(QPointF(424, 252), 10, 8);
    p.drawEllipse(QPointF(438, 232), 13, 10);
    p.drawEllipse(QPointF(458, 210), 16, 12);
}

void track(QPainter &p)
{
    QPainterPath way;
    way.moveTo(366, 440);
    way.cubicTo(350, 480, 300, 500, 250, Height);
    way.lineTo(330, Height);
    way.cubicTo(360, 500, 390, 480, 390, 440);
    way.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(214, 184, 130));
    p.drawPath(way);
}

void tree(QPainter &p, QPointF foot, double size, const QColor &leaves)
{
    p.setPen(QPen(QColor(70, 45, 25), 1));
    p.setBrush(QColor(110, 70, 40));
    p.drawRect(QRectF(foot.x() - size * 0.08, foot.y() - size * 0.55, size * 0.16, size * 0.55));
    p.setPen(QPen(leaves.darker(140), 2));
    p.setBrush(leaves);
    p.drawEllipse(QPointF(foot.x(), foot.y() - size * 0.85), size * 0.42, size * 0.4);
    p.drawEllipse(QPointF(foot.x() - size * 0.25, foot.y() - size * 0.62), size * 0.3, size * 0.26);
    p.drawEllipse(QPointF(foot.x() + size * 0.27, foot.y() - size * 0.64), size * 0.3, size * 0.26);
}

void pine(QPainter &p, QPointF foot, double size)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 60, 35));
    p.drawRect(QRectF(foot.x() - size * 0.06, foot.y() - size * 0.2, size * 0.12, size * 0.2));
    p.setBrush(QColor(30, 110, 60));
    for (int tier = 0; tier < 3; ++tier) {
        const double base = foot.y() - size * (0.18 + tier * 0.25);
        const double half = size * (0.34 - tier * 0.08);
        QPainterPath cone;
        cone.moveTo(foot.x() - half, base);
        cone.lineTo(foot.x(), base - size * 0.4);
        cone.lineTo(foot.x() + half, base);
        cone.closeSubpath();
        p.drawPath(cone);
    }
}

void flowers(QPainter &p)
{
    const QColor colours[] = {QColor(240, 70, 90), QColor(255, 220, 60), QColor(250, 250, 250), QColor(170, 90, 220)};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 28; ++i) {
        const double x = 20 + (i * 97) % 220;
        const double y = 470 + (i * 53) % 60;
        p.setBrush(colours[i % 4]);
        p.drawEllipse(QPointF(x, y), 4, 4);
    }
}

void birds(QPainter &p)
{
    p.setPen(QPen(QColor(40, 40, 60), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (QPointF at : {QPointF(120, 90), QPointF(150, 110), QPointF(180, 84)}) {
        QPainterPath wing;
        wing.moveTo(at + QPointF(-12, 0));
        wing.quadTo(at + QPointF(-6, -8), at);
        wing.quadTo(at + QPointF(6, -8), at + QPointF(12, 0));
        p.drawPath(wing);
    }
}

} // namespace

} // namespace quorra

using namespace quorra;

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("samples/Sample.jpg");
    QImage picture(Width, Height, QImage::Format_RGB32);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        sky(p);
        sun(p);
        cloud(p, QPointF(150, 170), 44);
        cloud(p, QPointF(420, 80), 34);
        birds(p);
        mountains(p);
        hills(p);
        pine(p, QPointF(560, 320), 90);
        pine(p, QPointF(610, 330), 70);
        track(p);
        house(p);
        lake(p);
        tree(p, QPointF(120, 420), 150, QColor(60, 150, 60));
        tree(p, QPointF(220, 400), 100, QColor(150, 180, 50));
        flowers(p);
    }
    if (!picture.save(path, "JPEG", 92)) {
        std::fprintf(stderr, "make-sample-picture: cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}
