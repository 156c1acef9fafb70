// Makes the 150 x 150 seamless lavender-grey paper texture that conceals cells (resources/texture/Concealment.png).
#include <QImage>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int Side = 150;

// Value noise on a lattice whose period divides the texture side, so that the pattern wraps without a seam.
class TPeriodicNoise
{
public:
    TPeriodicNoise(int Cells, std::mt19937 &Engine) : FCells(Cells), FValues(size_t(Cells) * Cells)
    {
        std::uniform_real_distribution<double> Unit(-1.0, 1.0);
        for (double &V : FValues)
            V = Unit(Engine);
    }

    double At(int X, int Y) const
    {
        const double Step = double(Side) / FCells;
        const double FX = X / Step, FY = Y / Step;
        const int X0 = int(FX), Y0 = int(FY);
        const double TX = Smooth(FX - X0), TY = Smooth(FY - Y0);
        const double A = Value(X0, Y0), B = Value(X0 + 1, Y0);
        const double C = Value(X0, Y0 + 1), D = Value(X0 + 1, Y0 + 1);
        return (A * (1 - TX) + B * TX) * (1 - TY) + (C * (1 - TX) + D * TX) * TY;
    }

private:
    static double Smooth(double T) { return T * T * (3 - 2 * T); }
    double Value(int X, int Y) const { return FValues[size_t(Y % FCells) * FCells + size_t(X % FCells)]; }

    int FCells;
    std::vector<double> FValues;
};

struct TChannel
{
    double Mean, Low, High, Spread;
};

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-texture OUTPUT.png\n");
        return 2;
    }
    std::mt19937 Engine(20240611u);
    // Coarse clouds, medium mottling and fine fibres, all periodic over the tile; grain is added per pixel.
    const TPeriodicNoise Clouds(3, Engine), Mottle(10, Engine), Fibres(30, Engine);
    std::normal_distribution<double> Grain(0.0, 0.35), Tint(0.0, 0.12);

    // Blue, green, red: the byte order of the working bitmaps.
    const std::array<TChannel, 3> Channels{{{190, 169, 213, 15}, {161, 145, 182, 12}, {164, 145, 185, 13}}};
    std::vector<double> Planes[3];
    for (auto &Plane : Planes)
        Plane.resize(size_t(Side) * Side);
    for (int Y = 0; Y < Side; ++Y)
        for (int X = 0; X < Side; ++X) {
            const double V =
                0.35 * Clouds.At(X, Y) + 0.35 * Mottle.At(X, Y) + 0.45 * Fibres.At(X, Y) + Grain(Engine);
            for (int C = 0; C < 3; ++C)
                Planes[C][size_t(Y) * Side + X] = V + Tint(Engine);
        }

    QImage Texture(Side, Side, QImage::Format_BGR888);
    for (int C = 0; C < 3; ++C) {
        // Centre each channel on its mean colour before clamping it into its range.
        double Sum = 0;
        for (double V : Planes[C])
            Sum += V;
        const double Offset = Sum / Planes[C].size();
        for (int Y = 0; Y < Side; ++Y) {
            uchar *Row = Texture.scanLine(Y);
            for (int X = 0; X < Side; ++X) {
                const TChannel &Ch = Channels[C];
                const double V = Ch.Mean + (Planes[C][size_t(Y) * Side + X] - Offset) * Ch.Spread;
                Row[3 * X + C] = uchar(std::lround(std::clamp(V, Ch.Low, Ch.High)));
            }
        }
    }
    if (!Texture.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
