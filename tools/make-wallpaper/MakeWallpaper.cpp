// Makes the 150 x 150 seamless wallpaper tiled around the picture (resources/wallpaper/Wallpaper.png).
#include <QImage>
#include <QString>

#include <cmath>
#include <cstdio>

namespace {

constexpr int Side = 150;

// Sums of waves whose periods divide the side, so that the tile wraps without a seam: a woven slate-blue cloth
// that stays quiet behind a colourful picture.
double Weave(int X, int Y)
{
    const double U = 2 * M_PI * X / Side;
    const double V = 2 * M_PI * Y / Side;
    const double Warp = std::sin(U * 25) * 0.5 + 0.5;
    const double Weft = std::sin(V * 25) * 0.5 + 0.5;
    const bool Over = (int(X / 6) + int(Y / 6)) % 2 == 0;
    const double Thread = Over ? Warp * 0.7 + Weft * 0.3 : Weft * 0.7 + Warp * 0.3;
    const double Cloud = std::sin(U * 2 + std::cos(V * 3)) * 0.5 + std::sin(V * 2 + std::sin(U * 1)) * 0.5;
    return Thread * 0.6 + Cloud * 0.2;
}

} // namespace

int main(int argc, char *argv[])
{
    const QString Path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources/wallpaper/Wallpaper.png");
    QImage Tile(Side, Side, QImage::Format_RGB32);
    for (int Y = 0; Y < Side; ++Y) {
        auto *Line = reinterpret_cast<QRgb *>(Tile.scanLine(Y));
        for (int X = 0; X < Side; ++X) {
            const double W = Weave(X, Y);
            Line[X] = qRgb(int(58 + 26 * W), int(72 + 28 * W), int(92 + 30 * W));
        }
    }
    if (!Tile.save(Path, "PNG")) {
        std::fprintf(stderr, "make-wallpaper: cannot write %s\n", qPrintable(Path));
        return 1;
    }
    return 0;
}
