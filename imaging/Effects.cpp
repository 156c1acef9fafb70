// The concealing effects that hide each cell of an unsolved puzzle.
#include "Effects.h"

#include "TRandom.h"
#include "TextStamp.h"
#include "WorkingBitmap.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

namespace {

constexpr quint32 Multiplier = 134775813u;

// A 96-dpi bitmap to measure text on, as every working bitmap is.
const QImage &MeasuringBitmap()
{
    static const QImage Bitmap = CreateWorkingBitmap(1, 1);
    return Bitmap;
}

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

// Steps back one draw: seed(n - 1) = (seed(n) - 1) / Multiplier, the multiplier being odd and so invertible.
constexpr quint32 InverseMultiplier = [] {
    quint32 X = Multiplier;
    for (int I = 0; I < 5; ++I)
        X *= 2u - Multiplier * X;
    return X;
}();
static_assert(Multiplier * InverseMultiplier == 1u);

// Multiplier^16 and the increment of sixteen steps, for two lanes of eight draws each.
constexpr quint32 Multiplier16 = Multiplier8 * Multiplier8;
constexpr quint32 Increment16 = Increment8 * Multiplier8 + Increment8;

// Conceals one row of Width pixels: one draw per pixel from left to right; a draw below 0.5 (a new seed below
// 2^31) halves the pixel (Dark) or whitens it (Transparent). Sixteen pixels are drawn and changed at once: the
// generator runs as sixteen interleaved lanes whose seeds are those of sixteen consecutive draws. Processors
// without AVX2 take this one.
void ConcealRowPortable(uchar *P, int Width, quint32 &Seed, bool Whiten)
{
    typedef quint32 TLanes __attribute__((vector_size(32)));
    typedef uchar TBytes __attribute__((vector_size(16)));
    quint32 S = Seed;
    int X = 0;
    if (Width >= 16) {
        TLanes Low, High;
        for (int J = 0; J < 8; ++J) {
            S = S * Multiplier + 1u;
            Low[J] = S;
        }
        for (int J = 0; J < 8; ++J) {
            S = S * Multiplier + 1u;
            High[J] = S;
        }
        // Which bytes of three consecutive 16-byte pieces belong to which of the sixteen pixels.
        const TBytes Spread0 = {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5};
        const TBytes Spread1 = {5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10};
        const TBytes Spread2 = {10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15};
        // GCC's byte shuffle takes a mask vector; clang (the fuzzing build) has no such builtin.
        const auto SpreadBytes = [](TBytes Hit, TBytes Map) {
#if defined(__clang__)
            TBytes R;
            for (int J = 0; J < 16; ++J)
                R[J] = Hit[Map[J] & 15];
            return R;
#else
            return __builtin_shuffle(Hit, Map);
#endif
        };
        for (; X + 16 <= Width; X += 16, P += 48) {
            // The top bit of each seed, gathered into one byte per pixel: 0xFF below 2^31, else 0.
            TBytes Hit;
            for (int J = 0; J < 8; ++J) {
                Hit[J] = uchar((Low[J] >> 31) - 1u);
                Hit[J + 8] = uchar((High[J] >> 31) - 1u);
            }
            const TBytes Keys[3] = {SpreadBytes(Hit, Spread0), SpreadBytes(Hit, Spread1), SpreadBytes(Hit, Spread2)};
            for (int K = 0; K < 3; ++K) {
                TBytes V;
                std::memcpy(&V, P + 16 * K, 16);
                V = Whiten ? (V | Keys[K]) : ((V & ~Keys[K]) | ((V >> 1) & Keys[K]));
                std::memcpy(P + 16 * K, &V, 16);
            }
            Low = Low * Multiplier16 + Increment16;
            High = High * Multiplier16 + Increment16;
        }
        S = (Low[0] - 1u) * InverseMultiplier;
    }
    for (; X < Width; ++X, P += 3) {
        S = S * Multiplier + 1u;
        if (S < 0x80000000u)
            for (int K = 0; K < 3; ++K)
                P[K] = Whiten ? 255 : uchar(P[K] >> 1);
    }
    Seed = S;
}

// The seed after Count draws from Seed, by composing the generator's power-of-two jumps.
quint32 SeedAfter(quint32 Seed, quint64 Count)
{
    quint32 M = Multiplier, C = 1u;
    for (; Count != 0; Count >>= 1) {
        if (Count & 1u)
            Seed = Seed * M + C;
        C = C * M + C;
        M *= M;
    }
    return Seed;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QUORRA_AVX2_PATH 1

// Draw N + 1 of a row is Multiplier^(N + 1) * seed + Increment(N + 1): the starting seeds of 64 lanes, one per
// draw of a block of 64 pixels, and the step that moves every lane on by 64 draws.
struct TLaneStart
{
    quint32 Mul[64];
    quint32 Add[64];
};
constexpr TLaneStart LaneStart = [] {
    TLaneStart T{};
    quint32 M = 1, C = 0;
    for (int N = 0; N < 64; ++N) {
        M *= Multiplier;
        C = C * Multiplier + 1u;
        T.Mul[N] = M;
        T.Add[N] = C;
    }
    return T;
}();

// For each byte of three 32-byte pieces (32 pixels of three bytes), which byte of the pixels' 32-bit mask holds
// that pixel's bit, and which bit it is.
struct TSpread
{
    uchar Index[3][32];
    uchar Bit[3][32];
};
constexpr TSpread Spread = [] {
    TSpread T{};
    for (int K = 0; K < 3; ++K)
        for (int B = 0; B < 32; ++B) {
            const int Pixel = (32 * K + B) / 3;
            T.Index[K][B] = uchar(Pixel / 8);
            T.Bit[K][B] = uchar(1u << (Pixel % 8));
        }
    return T;
}();

// Changes 32 pixels; Signs holds the top bit of each pixel's seed, so a clear bit is a hit.
template <bool Whiten>
__attribute__((target("avx2"), always_inline)) inline void Conceal32(uchar *Q, quint32 Signs)
{
    const __m256i Mask = _mm256_set1_epi32(int(Signs));
    for (int K = 0; K < 3; ++K) {
        const __m256i Bit = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(Spread.Bit[K]));
        const __m256i Index = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(Spread.Index[K]));
        const __m256i Hit =
            _mm256_cmpeq_epi8(_mm256_and_si256(_mm256_shuffle_epi8(Mask, Index), Bit), _mm256_setzero_si256());
        __m256i V = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(Q + 32 * K));
        if constexpr (Whiten)
            V = _mm256_or_si256(V, Hit);
        else
            V = _mm256_blendv_epi8(V, _mm256_and_si256(_mm256_srli_epi16(V, 1), _mm256_set1_epi8(0x7F)), Hit);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(Q + 32 * K), V);
    }
}

// The same row with 64 lanes in eight registers: the multiplies of one block overlap, and the draws come out as
// sign bits that are spread over the pixels' bytes by shuffles. The lanes run past the row's end up to the
// block's; the seed returned is worked out from the count of draws.
template <bool Whiten>
__attribute__((target("avx2"))) void ConcealRowAvx2(uchar *P, int Width, quint32 Seed)
{
    const __m256i Step = _mm256_set1_epi32(int(LaneStart.Mul[63]));
    const __m256i Increment = _mm256_set1_epi32(int(LaneStart.Add[63]));
    const __m256i First = _mm256_set1_epi32(int(Seed));
    __m256i Lanes[8];
    for (int L = 0; L < 8; ++L)
        Lanes[L] = _mm256_add_epi32(
            _mm256_mullo_epi32(First, _mm256_loadu_si256(reinterpret_cast<const __m256i *>(LaneStart.Mul + 8 * L))),
            _mm256_loadu_si256(reinterpret_cast<const __m256i *>(LaneStart.Add + 8 * L)));
    for (int X = 0; X < Width; X += 64, P += 192) {
        quint64 Signs = 0;
        for (int L = 0; L < 8; ++L) {
            Signs |= quint64(quint32(_mm256_movemask_ps(_mm256_castsi256_ps(Lanes[L])))) << (8 * L);
            Lanes[L] = _mm256_add_epi32(_mm256_mullo_epi32(Lanes[L], Step), Increment);
        }
        if (X + 64 <= Width) {
            Conceal32<Whiten>(P, quint32(Signs));
            Conceal32<Whiten>(P + 96, quint32(Signs >> 32));
        } else {
            // The row's last pixels are changed in a copy so that nothing past the row is read or written.
            uchar Tail[192] = {};
            const size_t Bytes = size_t(Width - X) * 3;
            std::memcpy(Tail, P, Bytes);
            Conceal32<Whiten>(Tail, quint32(Signs));
            Conceal32<Whiten>(Tail + 96, quint32(Signs >> 32));
            std::memcpy(P, Tail, Bytes);
        }
    }
}
#endif

void ConcealRow(uchar *P, int Width, quint32 &Seed, bool Whiten)
{
#if defined(QUORRA_AVX2_PATH)
    static const bool Avx2 = __builtin_cpu_supports("avx2");
    if (Avx2) {
        if (Whiten)
            ConcealRowAvx2<true>(P, Width, Seed);
        else
            ConcealRowAvx2<false>(P, Width, Seed);
        Seed = SeedAfter(Seed, quint64(std::max(Width, 0)));
        return;
    }
#endif
    ConcealRowPortable(P, Width, Seed, Whiten);
}

// The per-pixel effects treat a row as 64-bit words of eight channel bytes; no byte carries into the next.
constexpr quint64 Bytes01 = 0x0101010101010101ull;

template <typename TWord>
void RowWords(uchar *P, const uchar *M, qsizetype Bytes, TWord Word)
{
    qsizetype I = 0;
    for (; I + 8 <= Bytes; I += 8) {
        quint64 V, K = 0;
        std::memcpy(&V, P + I, 8);
        if (M)
            std::memcpy(&K, M + I, 8);
        V = Word(V, K);
        std::memcpy(P + I, &V, 8);
    }
    if (I < Bytes) {
        quint64 V = 0, K = 0;
        std::memcpy(&V, P + I, size_t(Bytes - I));
        if (M)
            std::memcpy(&K, M + I, size_t(Bytes - I));
        V = Word(V, K);
        std::memcpy(P + I, &V, size_t(Bytes - I));
    }
}

template <typename TWord>
void ForEachWord(QImage &Cell, TWord Word)
{
    const qsizetype Bytes = qsizetype(Cell.width()) * 3;
    for (int Y = 0; Y < Cell.height(); ++Y)
        RowWords(Cell.scanLine(Y), nullptr, Bytes, Word);
}

void Obscure(QImage &Cell)
{
    // (c >> 2) + 96 never exceeds 159, so the bytes of a word add without carries.
    ForEachWord(Cell, [](quint64 V, quint64) { return ((V >> 2) & (Bytes01 * 0x3F)) + Bytes01 * 96; });
}

void Negative(QImage &Cell)
{
    ForEachWord(Cell, [](quint64 V, quint64) { return ~V; });
}

// One draw per pixel, rows from the top, each from the left, whether or not the pixel changes.
void HalfOfThePixels(QImage &Cell, bool Whiten)
{
    quint32 Seed = Randomizer().Seed();
    for (int Y = 0; Y < Cell.height(); ++Y)
        ConcealRow(Cell.scanLine(Y), Cell.width(), Seed, Whiten);
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

// A number drawn on the texture: the pixels it changed, within their bounding box.
struct TNumberPatch
{
    QRect Box;
    QImage Pixels;
};

struct TNumberKey
{
    QString Font;
    QString Text;
    int Width;
    int Height;
    qint64 Texture;
    bool operator==(const TNumberKey &Other) const = default;
};

size_t qHash(const TNumberKey &Key, size_t Seed = 0)
{
    return qHashMulti(Seed, Key.Font, Key.Text, Key.Width, Key.Height, Key.Texture);
}

// Drawing big glyphs costs far more than the texture under them, and every rebuild, tangle and save conceals
// the same cells again, so each number is drawn once per cell size and then pasted as the pixels it changed.
QHash<TNumberKey, TNumberPatch> &NumberPatches()
{
    static QHash<TNumberKey, TNumberPatch> Patches;
    return Patches;
}

// The bounding box of the pixels where Cell differs from Texture tiled from its top-left corner.
QRect ChangedBox(const QImage &Cell, const QImage &Texture)
{
    const int W = Cell.width(), H = Cell.height(), PW = Texture.width(), PH = Texture.height();
    int Left = W, Right = -1, Top = H, Bottom = -1;
    for (int Y = 0; Y < H; ++Y) {
        const uchar *C = Cell.constScanLine(Y);
        const uchar *T = Texture.constScanLine(Y % PH);
        for (int X = 0; X < W; X += PW) {
            const int Count = std::min(PW, W - X);
            if (std::memcmp(C + qsizetype(X) * 3, T, size_t(Count) * 3) == 0)
                continue;
            for (int I = 0; I < Count; ++I)
                if (std::memcmp(C + qsizetype(X + I) * 3, T + qsizetype(I) * 3, 3) != 0) {
                    Left = std::min(Left, X + I);
                    Right = std::max(Right, X + I);
                }
            Top = std::min(Top, Y);
            Bottom = Y;
        }
    }
    return Right < 0 ? QRect() : QRect(QPoint(Left, Top), QPoint(Right, Bottom));
}

void DrawNumber(QImage &Cell, const QFont &Font, const QString &Text)
{
    const int W = Cell.width(), H = Cell.height();
    const QFontMetrics Metrics(Font, &MeasuringBitmap());
    // Point sizes are meant at 96 dots per inch, as they were measured.
    Cell.setDotsPerMeterX(MeasuringBitmap().dotsPerMeterX());
    Cell.setDotsPerMeterY(MeasuringBitmap().dotsPerMeterY());
    QPainter Painter(&Cell);
    Painter.setFont(Font);
    Painter.setPen(StampColor());
    Painter.drawText((W - Metrics.horizontalAdvance(Text)) / 2, (H - Metrics.height()) / 2 + Metrics.ascent(),
                     Text);
}

// Cell already holds the tiled Texture.
void WriteNumber(QImage &Cell, qint32 Number, const QImage &Texture)
{
    const int W = Cell.width(), H = Cell.height();
    QFont Font = StampFont();
    // The size is chosen for "00" so that no cell's number gives away how many digits it has.
    FitFontSize(Font, QStringLiteral("00"), W, H);
    const QString Text = QString::number(Number);
    if (Cell.format() != WorkingFormat || Texture.format() != WorkingFormat) {
        DrawNumber(Cell, Font, Text);
        return;
    }
    const TNumberKey Key{Font.toString(), Text, W, H, Texture.cacheKey()};
    auto &Patches = NumberPatches();
    if (const auto Found = Patches.constFind(Key); Found != Patches.constEnd()) {
        Cell.setDotsPerMeterX(MeasuringBitmap().dotsPerMeterX());
        Cell.setDotsPerMeterY(MeasuringBitmap().dotsPerMeterY());
        const QRect &Box = Found->Box;
        for (int Y = 0; Y < Box.height(); ++Y)
            std::memcpy(Cell.scanLine(Box.top() + Y) + qsizetype(Box.left()) * 3, Found->Pixels.constScanLine(Y),
                        size_t(Box.width()) * 3);
        return;
    }
    DrawNumber(Cell, Font, Text);
    const QRect Box = ChangedBox(Cell, Texture);
    // A few dozen numbers of a few cell sizes are all a session needs; a forgotten one is merely drawn again.
    static qsizetype Bytes = 0;
    const QImage Pixels = Box.isEmpty() ? QImage() : Cell.copy(Box);
    if (Patches.size() >= 256 || Bytes + Pixels.sizeInBytes() > (qsizetype(64) << 20)) {
        Patches.clear();
        Bytes = 0;
    }
    Bytes += Pixels.sizeInBytes();
    Patches.insert(Key, {Box, Pixels});
}

} // namespace

void ApplyEffect(QImage &Cell, qint32 Effect, qint32 Number, const QImage &Texture)
{
    Randomizer().Randomize();
    if (Cell.isNull() || Cell.width() <= 0 || Cell.height() <= 0)
        return;
    switch (Effect) {
    case Effect::Obscure:
        Obscure(Cell);
        break;
    case Effect::Dark:
        HalfOfThePixels(Cell, false);
        break;
    case Effect::Transparent:
        HalfOfThePixels(Cell, true);
        break;
    case Effect::Negative:
        Negative(Cell);
        break;
    case Effect::Hidden:
        TilePicture(Cell, Texture);
        WriteNumber(Cell, Number, Texture);
        break;
    case Effect::TopSecret:
        TilePicture(Cell, Texture);
        break;
    case Effect::LowResolution:
        LowResolution(Cell);
        break;
    default:
        break;
    }
}
