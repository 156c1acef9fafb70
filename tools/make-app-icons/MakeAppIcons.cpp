// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the application icon and the puzzle-file icon in every hicolor size (resources/icons/hicolor/).
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cstdio>

namespace quorra {

namespace {

const int Sizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// Each size is drawn four times larger and scaled down smoothly, so edges are soft but lines keep their place.
constexpr int Oversample = 4;

// The little landscape that the tiles are cut from: sky, sun, far hills, meadow and a lake. It is drawn over
// the whole of Area every time and clipped to a tile, so the pieces line up into one picture.
void landscape(QPainter &p, const QRectF &area)
{
    const auto at = [&area](double x, double y) {
        return QPointF(area.left() + x * area.width(), area.top() + y * area.height());
    };
    QLinearGradient sky(at(0, 0), at(0, 0.62));
    sky.setColorAt(0, QColor(38, 92, 196));
    sky.setColorAt(1, QColor(132, 200, 246));
    p.fillRect(area, sky);

    QRadialGradient sun(at(0.82, 0.17), area.width() * 0.12);
    sun.setColorAt(0, QColor(255, 244, 160));
    sun.setColorAt(0.7, QColor(255, 196, 40));
    sun.setColorAt(1, QColor(255, 150, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(at(0.82, 0.17), area.width() * 0.11, area.width() * 0.11);

    QPainterPath hills;
    hills.moveTo(at(0, 0.62));
    hills.lineTo(at(0.18, 0.38));
    hills.lineTo(at(0.36, 0.56));
    hills.lineTo(at(0.52, 0.42));
    hills.lineTo(at(0.78, 0.64));
    hills.lineTo(at(1, 0.50));
    hills.lineTo(at(1, 1));
    hills.lineTo(at(0, 1));
    hills.closeSubpath();
    p.setBrush(QColor(112, 84, 168));
    p.drawPath(hills);

    QPainterPath meadow;
    meadow.moveTo(at(0, 0.68));
    meadow.cubicTo(at(0.30, 0.56), at(0.60, 0.74), at(1, 0.62));
    meadow.lineTo(at(1, 1));
    meadow.lineTo(at(0, 1));
    meadow.closeSubpath();
    QLinearGradient grass(at(0, 0.6), at(0, 1));
    grass.setColorAt(0, QColor(120, 204, 64));
    grass.setColorAt(1, QColor(40, 140, 60));
    p.setBrush(grass);
    p.drawPath(meadow);

    p.setBrush(QColor(40, 170, 210));
    p.drawEllipse(QRectF(at(0.06, 0.80), at(0.50, 0.94)));
    p.setBrush(QColor(230, 60, 60));
    p.drawRect(QRectF(at(0.72, 0.70), at(0.86, 0.84)));
    QPainterPath roof;
    roof.moveTo(at(0.69, 0.71));
    roof.lineTo(at(0.79, 0.62));
    roof.lineTo(at(0.89, 0.71));
    roof.closeSubpath();
    p.setBrush(QColor(150, 30, 40));
    p.drawPath(roof);
}

// A 3 x 3 board of landscape tiles inside Board, the top-right tile lifted out of its place with a shadow.
void tileBoard(QPainter &P, const QRectF &Board, double Unit, bool lifted)
{
    const double Gap = std::max(Unit, Board.width() * 0.035);
    const double Tile = (Board.width() - 4 * Gap) / 3;
    const QRectF Picture = Board.adjusted(Gap, Gap, -Gap, -Gap);
    const double Round = Tile * 0.12;

    P.setPen(Qt::NoPen);
    P.setBrush(QColor(36, 44, 60));
    P.drawRoundedRect(Board, Board.width() * 0.10, Board.width() * 0.10);

    const auto TileRect = [&](int col, int row) {
        return QRectF(Board.left() + Gap + col * (Tile + Gap), Board.top() + Gap + row * (Tile + Gap), Tile, Tile);
    };
    // The landscape is painted once and laid into each tile as a texture, so the pieces line up into one picture.
    QImage Scene(Picture.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    Scene.fill(Qt::transparent);
    {
        QPainter s(&Scene);
        s.setRenderHint(QPainter::Antialiasing);
        landscape(s, QRectF(QPointF(0, 0), Picture.size()));
    }
    const auto drawTile = [&](int col, int row, QPointF offset) {
        QBrush piece(Scene);
        piece.setTransform(QTransform::fromTranslate(Picture.left() + offset.x(), Picture.top() + offset.y()));
        P.setBrush(piece);
        P.setPen(QPen(QColor(255, 255, 255, 110), std::max(Unit * 0.6, Tile * 0.03)));
        P.drawRoundedRect(TileRect(col, row).translated(offset), Round, Round);
        P.setPen(Qt::NoPen);
    };

    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 3; ++row)
            if (!(lifted && col == 2 && row == 0))
                drawTile(col, row, QPointF());
    if (!lifted) {
        drawTile(2, 0, QPointF());
        return;
    }
    // The empty place, then the tile hovering above and beside it.
    P.setBrush(QColor(16, 20, 30));
    P.drawRoundedRect(TileRect(2, 0), Round, Round);
    const QPointF lift(Tile * 0.26, -Tile * 0.26);
    P.setBrush(QColor(0, 0, 0, 90));
    P.drawRoundedRect(TileRect(2, 0).translated(lift * 0.45 + QPointF(Tile * 0.06, Tile * 0.10)), Round, Round);
    drawTile(2, 0, lift);
}

void appIcon(QPainter &p, double s, double unit)
{
    // Room at the top and the right for the lifted tile.
    const double margin = s * 0.04;
    const double side = s - 2 * margin - s * 0.08;
    tileBoard(p, QRectF(margin, s - margin - side, side, side), unit, true);
}

void fileIcon(QPainter &p, double s, double unit)
{
    const double left = s * 0.14, right = s * 0.86, top = s * 0.04, bottom = s * 0.96;
    const double fold = s * 0.20;
    QPainterPath sheet;
    sheet.moveTo(left, top);
    sheet.lineTo(right - fold, top);
    sheet.lineTo(right, top + fold);
    sheet.lineTo(right, bottom);
    sheet.lineTo(left, bottom);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(90, 98, 112), std::max(unit, s * 0.02), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(250, 250, 246));
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(right - fold, top);
    corner.lineTo(right - fold, top + fold);
    corner.lineTo(right, top + fold);
    p.setBrush(QColor(214, 216, 220));
    p.drawPath(corner);

    const double side = (right - left) * 0.84;
    const double x = (left + right - side) / 2;
    tileBoard(p, QRectF(x, bottom - side - (right - left - side) / 2, side, side), unit, false);
}

QImage draw(int size, void (*picture)(QPainter &, double, double))
{
    const int big = size * Oversample;
    QImage canvas(big, big, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing);
        // One final pixel, so that gaps and outlines never vanish at the small sizes.
        picture(p, big, Oversample);
    }
    return canvas.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

bool save(const QImage &image, const QString &folder, const QString &name)
{
    if (!QDir().mkpath(folder) || !image.save(folder + QLatin1Char('/') + name, "PNG")) {
        std::fprintf(stderr, "make-app-icons: cannot write %s/%s\n", qPrintable(folder), qPrintable(name));
        return false;
    }
    return true;
}

} // namespace

} // namespace quorra

using namespace quorra;

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources/icons/hicolor");
    for (const int size : Sizes) {
        const QString folder = QStringLiteral("%1/%2x%2/").arg(root).arg(size);
        if (!save(draw(size, appIcon), folder + QStringLiteral("apps"), QStringLiteral("quorra.png"))
            || !save(draw(size, fileIcon), folder + QStringLiteral("mimetypes"),
                     QStringLiteral("application-x-nbq.png")))
            return 1;
    }
    return 0;
}
