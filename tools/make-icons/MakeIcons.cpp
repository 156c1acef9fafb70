// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the 24 x 24 tool-bar pictures used when the desktop's icon theme lacks one (resources/icons/*.png).
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace quorra {

namespace {

// Drawn on a 96 x 96 canvas and scaled down smoothly, so that thin lines keep their weight at 24 pixels.
constexpr int Canvas = 96;

const QColor Ink(40, 48, 60);

QPen outline(double width = 4.0)
{
    return QPen(Ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void page(QPainter &p, const QColor &paper)
{
    QPainterPath sheet;
    sheet.moveTo(18, 6);
    sheet.lineTo(60, 6);
    sheet.lineTo(78, 24);
    sheet.lineTo(78, 90);
    sheet.lineTo(18, 90);
    sheet.closeSubpath();
    p.setPen(outline());
    p.setBrush(paper);
    p.drawPath(sheet);
    QPainterPath fold;
    fold.moveTo(60, 6);
    fold.lineTo(60, 24);
    fold.lineTo(78, 24);
    p.setBrush(paper.darker(115));
    p.drawPath(fold);
}

void star(QPainter &p, QPointF c, double r, const QColor &fill)
{
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const double radius = i % 2 ? r * 0.45 : r;
        const QPointF point = c + QPointF(std::cos(angle) * radius, std::sin(angle) * radius);
        i ? path.lineTo(point) : path.moveTo(point);
    }
    path.closeSubpath();
    p.setPen(QPen(fill.darker(160), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

void documentNew(QPainter &p)
{
    page(p, QColor(250, 250, 245));
    star(p, QPointF(66, 70), 24, QColor(255, 200, 40));
}

void documentOpen(QPainter &p)
{
    p.setPen(outline());
    p.setBrush(QColor(214, 160, 60));
    QPainterPath back;
    back.moveTo(6, 20);
    back.lineTo(34, 20);
    back.lineTo(40, 28);
    back.lineTo(80, 28);
    back.lineTo(80, 84);
    back.lineTo(6, 84);
    back.closeSubpath();
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(16, 42);
    front.lineTo(92, 42);
    front.lineTo(80, 84);
    front.lineTo(6, 84);
    front.closeSubpath();
    p.setBrush(QColor(250, 204, 92));
    p.drawPath(front);
}

void documentSaveAs(QPainter &p)
{
    p.setPen(outline());
    p.setBrush(QColor(60, 110, 190));
    p.drawRoundedRect(QRectF(8, 8, 76, 80), 8, 8);
    p.setBrush(QColor(235, 240, 248));
    p.drawRect(QRectF(22, 8, 48, 30));
    p.setBrush(QColor(60, 110, 190).darker(140));
    p.drawRect(QRectF(54, 14, 10, 18));
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(QRectF(20, 54, 52, 34));
    // The pencil says "as": a new name.
    p.save();
    p.translate(70, 70);
    p.rotate(-45);
    p.setBrush(QColor(250, 190, 40));
    p.drawRect(QRectF(-6, -30, 12, 40));
    p.setBrush(QColor(245, 220, 180));
    QPainterPath tip;
    tip.moveTo(-6, 10);
    tip.lineTo(6, 10);
    tip.lineTo(0, 22);
    tip.closeSubpath();
    p.drawPath(tip);
    p.restore();
}

void imageGeneric(QPainter &p)
{
    p.setPen(outline());
    p.setBrush(QColor(250, 250, 250));
    p.drawRoundedRect(QRectF(6, 14, 84, 68), 6, 6);
    QLinearGradient sky(0, 20, 0, 76);
    sky.setColorAt(0, QColor(90, 160, 235));
    sky.setColorAt(1, QColor(190, 225, 250));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(QRectF(12, 20, 72, 56));
    p.setBrush(QColor(255, 210, 50));
    p.drawEllipse(QPointF(64, 36), 8, 8);
    QPainterPath hills;
    hills.moveTo(12, 76);
    hills.lineTo(12, 58);
    hills.quadTo(30, 38, 50, 62);
    hills.quadTo(66, 48, 84, 60);
    hills.lineTo(84, 76);
    hills.closeSubpath();
    p.setBrush(QColor(70, 160, 70));
    p.drawPath(hills);
}

void mailSend(QPainter &p)
{
    p.setPen(outline());
    p.setBrush(QColor(250, 246, 232));
    p.drawRect(QRectF(6, 24, 70, 50));
    QPainterPath flap;
    flap.moveTo(6, 24);
    flap.lineTo(41, 54);
    flap.lineTo(76, 24);
    p.setBrush(Qt::NoBrush);
    p.drawPath(flap);
    // An arrow leaving the envelope.
    p.setPen(QPen(QColor(40, 150, 70), 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(56, 84), QPointF(86, 84));
    QPainterPath head;
    head.moveTo(74, 72);
    head.lineTo(88, 84);
    head.lineTo(74, 96 - 2);
    p.drawPath(head);
}

void viewRefresh(QPainter &p)
{
    // Two arrows chasing each other round: the pieces are shuffled.
    const QColor green(40, 140, 200);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(green.darker(150), 14, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(16, 16, 64, 64), 20 * 16, 140 * 16);
    p.drawArc(QRectF(16, 16, 64, 64), 200 * 16, 140 * 16);
    p.setPen(QPen(green, 8, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(16, 16, 64, 64), 20 * 16, 140 * 16);
    p.drawArc(QRectF(16, 16, 64, 64), 200 * 16, 140 * 16);
    auto head = [&p, &green](double angleDegrees) {
        const double a = angleDegrees * M_PI / 180;
        const QPointF end(48 + 32 * std::cos(a), 48 - 32 * std::sin(a));
        const QPointF along(std::sin(a), std::cos(a)); // clockwise tangent
        const QPointF across(std::cos(a), -std::sin(a));
        QPainterPath path;
        path.moveTo(end + across * 14);
        path.lineTo(end + along * 16);
        path.lineTo(end - across * 14);
        path.closeSubpath();
        p.setPen(QPen(green.darker(150), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(green);
        p.drawPath(path);
    };
    head(20);
    head(200);
}

void magnifier(QPainter &p, bool plus)
{
    p.setPen(QPen(Ink, 12, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(62, 62), QPointF(86, 86));
    p.setPen(outline(6));
    p.setBrush(QColor(225, 240, 252));
    p.drawEllipse(QPointF(40, 40), 30, 30);
    p.setPen(QPen(QColor(30, 120, 40), 8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(26, 40), QPointF(54, 40));
    if (plus)
        p.drawLine(QPointF(40, 26), QPointF(40, 54));
}

bool make(const QString &folder, const QString &name, const std::function<void(QPainter &)> &draw)
{
    QImage large(Canvas, Canvas, QImage::Format_ARGB32_Premultiplied);
    large.fill(Qt::transparent);
    {
        QPainter p(&large);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    const QImage icon =
        large.scaled(24, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_ARGB32);
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!icon.save(path, "PNG")) {
        std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

} // namespace quorra

using namespace quorra;

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString folder = arguments.size() > 1 ? arguments.at(1) : QStringLiteral("resources/icons");
    QDir().mkpath(folder);
    bool ok = true;
    ok &= make(folder, QStringLiteral("document-new"), documentNew);
    ok &= make(folder, QStringLiteral("document-open"), documentOpen);
    ok &= make(folder, QStringLiteral("document-save-as"), documentSaveAs);
    ok &= make(folder, QStringLiteral("image-x-generic"), imageGeneric);
    ok &= make(folder, QStringLiteral("mail-send"), mailSend);
    ok &= make(folder, QStringLiteral("view-refresh"), viewRefresh);
    ok &= make(folder, QStringLiteral("zoom-in"), [](QPainter &p) { magnifier(p, true); });
    ok &= make(folder, QStringLiteral("zoom-out"), [](QPainter &p) { magnifier(p, false); });
    return ok ? 0 : 1;
}
