// The concealing effects that hide each cell of an unsolved puzzle.
#include "Effects.h"

#include "TRandom.h"
#include "TextStamp.h"
#include "WorkingBitmap.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr quint32 Multiplier = 134775813u;

// Eight steps of the generator at once: seed(n + 8) = Multiplier^8 * seed(n) + Increment8.
constexpr quint32 Multiplier8 = [] {
    quint32 M = 1;
    for (int I = 0; I < 8; ++I)
        M *= Multiplier;
    return M;
}();
constexpr quint32 Increment8 = [] {
    quint32 C = 0;
    for (int I = 0; I < 8; ++I)
        C = C * Multiplier + 1u;
    return C;
}();

// Draws Count numbers from the generator whose state is Seed, in order, and marks with 0xFF each draw below 0.5
// (a new seed below 2^31). Eight interleaved lanes keep the multiplications independent of each other.
void DrawHalfMask(quint32 &Seed, uchar *Mask, int Count)
{
    quint32 S = Seed;
    int I = 0;
    if (Count >= 8) {
        quint32 Lane[8];
        for (quint32 &L : Lane) {
            S = S * Multiplier + 1u;
            L = S;
        }
        for (; I + 8 <= Count; I += 8) {
            for (int J = 0; J < 8; ++J)
                Mask[I + J] = uchar((Lane[J] >> 31) - 1u);
            S = Lane[7];
            for (quint32 &L : Lane)
                L = L * Multiplier8 + Increment8;
        }
    }
    for (; I < Count; ++I) {
        S = S * Multiplier + 1u;
        Mask[I] = uchar((S >> 31) - 1u);
    }
    Seed = S;
}

void Obscure(QImage &Cell)
{
    const qsizetype Bytes = qsizetype(Cell.width()) * 3;
    for (int Y = 0; Y < Cell.height(); ++Y) {
        uchar *P = Cell.scanLine(Y);
        for (qsizetype I = 0; I < Bytes; ++I)
            P[I] = uchar((P[I] >> 2) + 96);
    }
}

void Negative(QImage &Cell)
{
    const qsizetype Bytes = qsizetype(Cell.width()) * 3;
    for (int Y = 0; Y < Cell.height(); ++Y) {
        uchar *P = Cell.scanLine(Y);
        for (qsizetype I = 0; I < Bytes; ++I)
            P[I] = uchar(~P[I]);
    }
}

// One draw per pixel, rows from the top, each row from the left, whether or not the pixel changes.
template <bool Whiten>
void HalfOfThePixels(QImage &Cell)
{
    const int W = Cell.width();
    std::vector<uchar> Mask(static_cast<size_t>(W));
    quint32 Seed = Randomizer().Seed();
    for (int Y = 0; Y < Cell.height(); ++Y) {
        DrawHalfMask(Seed, Mask.data(), W);
        uchar *P = Cell.scanLine(Y);
        for (int X = 0; X < W; ++X, P += 3) {
            const uchar M = Mask[size_t(X)];
            for (int K = 0; K < 3; ++K) {
                if constexpr (Whiten)
                    P[K] = uchar(P[K] | M);
                else
                    P[K] = uchar(P[K] - ((P[K] - (P[K] >> 1)) & M));
            }
        }
    }
    Randomizer().SetSeed(Seed);
}

void LowResolution(QImage &Cell)
{
    // Halves round to the even neighbour (2.5 -> 2, 3.5 -> 4). A cell under 5 pixels would round to no pixels
    // at all, so it keeps at least one: the whole cell becomes one block.
    const int W = std::max(1, int(std::nearbyint(Cell.width() / 8.0)));
    const int H = std::max(1, int(std::nearbyint(Cell.height() / 8.0)));
    QImage Reduced = CreateWorkingBitmap(W, H);
    StretchDraw(Cell, Reduced);
    StretchDraw(Reduced, Cell);
}

void WriteNumber(QImage &Cell, qint32 Number)
{
    const int W = Cell.width(), H = Cell.height();
    QFont Font = StampFont();
    // The size is chosen for "00" so that no cell's number gives away how many digits it has.
    FitFontSize(Font, QStringLiteral("00"), W, H);
    const QString Text = QString::number(Number);
    // Point sizes are meant at 96 dots per inch, as they were measured.
    Cell.setDotsPerMeterX(3780);
    Cell.setDotsPerMeterY(3780);
    QPainter Painter(&Cell);
    Painter.setFont(Font);
    Painter.setPen(StampColor());
    const QFontMetrics Metrics(Font, &Cell);
    Painter.drawText((W - Metrics.horizontalAdvance(Text)) / 2, (H - Metrics.height()) / 2 + Metrics.ascent(),
                     Text);
}

} // namespace

void ApplyEffect(QImage &Cell, qint32 Effect, qint32 Number, const QImage &Texture)
{
    Randomizer().Randomize();
    if (Cell.isNull() || Cell.width() <= 0 || Cell.height() <= 0)
        return;
    switch (Effect) {
    case ekObscure:
        Obscure(Cell);
        break;
    case ekDark:
        HalfOfThePixels<false>(Cell);
        break;
    case ekTransparent:
        HalfOfThePixels<true>(Cell);
        break;
    case ekNegative:
        Negative(Cell);
        break;
    case ekHidden:
        TilePicture(Cell, Texture);
        WriteNumber(Cell, Number);
        break;
    case ekTopSecret:
        TilePicture(Cell, Texture);
        break;
    case ekLowResolution:
        LowResolution(Cell);
        break;
    default:
        break;
    }
}
