// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the 150 x 150 seamless wallpaper tiled around the picture (resources/wallpaper/Wallpaper.png).
#include <QImage>
#include <QString>

#include <cmath>
#include <cstdio>

namespace quorra {

namespace {

constexpr int Side = 150;

// Sums of waves whose periods divide the side, so that the tile wraps without a seam: a woven slate-blue cloth
// that stays quiet behind a colourful picture.
double weave(int x, int y)
{
    const double u = 2 * M_PI * x / Side;
    const double v = 2 * M_PI * y / Side;
    const double warp = std::sin(u * 25) * 0.5 + 0.5;
    const double weft = std::sin(v * 25) * 0.5 + 0.5;
    const bool over = (int(x / 6) + int(y / 6)) % 2 == 0;
    const double thread = over ? warp * 0.7 + weft * 0.3 : weft * 0.7 + warp * 0.3;
    const double cloud = std::sin(u * 2 + std::cos(v * 3)) * 0.5 + std::sin(v * 2 + std::sin(u * 1)) * 0.5;
    return thread * 0.6 + cloud * 0.2;
}

} // namespace

} // namespace quorra

using namespace quorra;

int main(int argc, char *argv[])
{
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources/wallpaper/Wallpaper.png");
    QImage tile(Side, Side, QImage::Format_RGB32);
    for (int y = 0; y < Side; ++y) {
        auto *line = reinterpret_cast<QRgb *>(tile.scanLine(y));
        for (int x = 0; x < Side; ++x) {
            const double w = weave(x, y);
            line[x] = qRgb(int(58 + 26 * w), int(72 + 28 * w), int(92 + 30 * w));
        }
    }
    if (!tile.save(path, "PNG")) {
        std::fprintf(stderr, "make-wallpaper: cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}
