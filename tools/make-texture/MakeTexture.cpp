// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the 150 x 150 seamless lavender-grey paper texture that conceals cells (resources/texture/Concealment.png).
#include <QImage>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace quorra {

namespace {

constexpr int Side = 150;

// Value noise on a lattice whose period divides the texture side, so that the pattern wraps without a seam.
class PeriodicNoise
{
public:
    PeriodicNoise(int cells, std::mt19937 &engine) : m_cells(cells), m_values(size_t(cells) * cells)
    {
        std::uniform_real_distribution<double> unit(-1.0, 1.0);
        for (double &v : m_values)
            v = unit(engine);
    }

    double at(int x, int y) const
    {
        const double step = double(Side) / m_cells;
        const double fx = x / step, fy = y / step;
        const int x0 = int(fx), y0 = int(fy);
        const double tx = smooth(fx - x0), ty = smooth(fy - y0);
        const double a = value(x0, y0), b = value(x0 + 1, y0);
        const double c = value(x0, y0 + 1), d = value(x0 + 1, y0 + 1);
        return (a * (1 - tx) + b * tx) * (1 - ty) + (c * (1 - tx) + d * tx) * ty;
    }

private:
    static double smooth(double t) { return t * t * (3 - 2 * t); }
    double value(int x, int y) const { return m_values[size_t(y % m_cells) * m_cells + size_t(x % m_cells)]; }

    int m_cells;
    std::vector<double> m_values;
};

struct Channel {
    double mean, low, high, spread;
};

} // namespace

} // namespace quorra

using namespace quorra;

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-texture OUTPUT.png\n");
        return 2;
    }
    std::mt19937 engine(20240611u);
    // Coarse clouds, medium mottling and fine fibres, all periodic over the tile; grain is added per pixel.
    const PeriodicNoise clouds(3, engine), mottle(10, engine), fibres(30, engine);
    std::normal_distribution<double> grain(0.0, 0.35), tint(0.0, 0.12);

    // Blue, green, red: the byte order of the working bitmaps.
    const std::array<Channel, 3> channels{{{190, 169, 213, 15}, {161, 145, 182, 12}, {164, 145, 185, 13}}};
    std::vector<double> planes[3];
    for (auto &plane : planes)
        plane.resize(size_t(Side) * Side);
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) {
            const double v = 0.35 * clouds.at(x, y) + 0.35 * mottle.at(x, y) + 0.45 * fibres.at(x, y) + grain(engine);
            for (int c = 0; c < 3; ++c)
                planes[c][size_t(y) * Side + x] = v + tint(engine);
        }

    QImage texture(Side, Side, QImage::Format_BGR888);
    for (int c = 0; c < 3; ++c) {
        // Centre each channel on its mean colour before clamping it into its range.
        double sum = 0;
        for (double v : planes[c])
            sum += v;
        const double offset = sum / planes[c].size();
        for (int y = 0; y < Side; ++y) {
            uchar *row = texture.scanLine(y);
            for (int x = 0; x < Side; ++x) {
                const Channel &ch = channels[c];
                const double v = ch.mean + (planes[c][size_t(y) * Side + x] - offset) * ch.spread;
                row[3 * x + c] = uchar(std::lround(std::clamp(v, ch.low, ch.high)));
            }
        }
    }
    if (!texture.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
