// The concealing effects that hide each cell of an unsolved puzzle.
#include "Effects.h"

#include "Lcg.h"
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
const QImage &measuringBitmap()
{
    static const QImage bitmap = createWorkingBitmap(1, 1);
    return bitmap;
}

// Eight steps of the generator at once: seed(n + 8) = Multiplier^8 * seed(n) + Increment8.
constexpr quint32 Multiplier8 = [] {
    quint32 m = 1;
    for (int i = 0; i < 8; ++i)
        m *= Multiplier;
    return m;
}();
constexpr quint32 Increment8 = [] {
    quint32 c = 0;
    for (int i = 0; i < 8; ++i)
        c = c * Multiplier + 1u;
    return c;
}();

// Steps back one draw: seed(n - 1) = (seed(n) - 1) / Multiplier, the multiplier being odd and so invertible.
constexpr quint32 InverseMultiplier = [] {
    quint32 x = Multiplier;
    for (int i = 0; i < 5; ++i)
        x *= 2u - Multiplier * x;
    return x;
}();
static_assert(Multiplier * InverseMultiplier == 1u);

// Multiplier^16 and the increment of sixteen steps, for two lanes of eight draws each.
constexpr quint32 Multiplier16 = Multiplier8 * Multiplier8;
constexpr quint32 Increment16 = Increment8 * Multiplier8 + Increment8;

// Conceals one row of Width pixels: one draw per pixel from left to right; a draw below 0.5 (a new seed below
// 2^31) halves the pixel (Dark) or whitens it (Transparent). Sixteen pixels are drawn and changed at once: the
// generator runs as sixteen interleaved lanes whose seeds are those of sixteen consecutive draws. Processors
// without AVX2 take this one.
void concealRowPortable(uchar *p, int width, quint32 &seed, bool whiten)
{
    typedef quint32 TLanes __attribute__((vector_size(32)));
    typedef uchar TBytes __attribute__((vector_size(16)));
    quint32 s = seed;
    int x = 0;
    if (width >= 16) {
        TLanes low, high;
        for (int j = 0; j < 8; ++j) {
            s = s * Multiplier + 1u;
            low[j] = s;
        }
        for (int j = 0; j < 8; ++j) {
            s = s * Multiplier + 1u;
            high[j] = s;
        }
        // Which bytes of three consecutive 16-byte pieces belong to which of the sixteen pixels.
        const TBytes spread0 = {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5};
        const TBytes spread1 = {5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10};
        const TBytes spread2 = {10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15};
        // GCC's byte shuffle takes a mask vector; clang (the fuzzing build) has no such builtin.
        const auto spreadBytes = [](TBytes hit, TBytes map) {
#if defined(__clang__)
            TBytes r;
            for (int j = 0; j < 16; ++j)
                r[j] = hit[map[j] & 15];
            return r;
#else
            return __builtin_shuffle(hit, map);
#endif
        };
        for (; x + 16 <= width; x += 16, p += 48) {
            // The top bit of each seed, gathered into one byte per pixel: 0xFF below 2^31, else 0.
            TBytes hit;
            for (int j = 0; j < 8; ++j) {
                hit[j] = uchar((low[j] >> 31) - 1u);
                hit[j + 8] = uchar((high[j] >> 31) - 1u);
            }
            const TBytes keys[3] = {spreadBytes(hit, spread0), spreadBytes(hit, spread1), spreadBytes(hit, spread2)};
            for (int k = 0; k < 3; ++k) {
                TBytes v;
                std::memcpy(&v, p + 16 * ptrdiff_t(k), 16);
                v = whiten ? (v | keys[k]) : ((v & ~keys[k]) | ((v >> 1) & keys[k]));
                std::memcpy(p + 16 * ptrdiff_t(k), &v, 16);
            }
            low = low * Multiplier16 + Increment16;
            high = high * Multiplier16 + Increment16;
        }
        s = (low[0] - 1u) * InverseMultiplier;
    }
    for (; x < width; ++x, p += 3) {
        s = s * Multiplier + 1u;
        if (s < 0x80000000u)
            for (int k = 0; k < 3; ++k)
                p[k] = whiten ? 255 : uchar(p[k] >> 1);
    }
    seed = s;
}

// The seed after Count draws from Seed, by composing the generator's power-of-two jumps.
quint32 seedAfter(quint32 seed, quint64 count)
{
    quint32 m = Multiplier, c = 1u;
    for (; count != 0; count >>= 1) {
        if (count & 1u)
            seed = seed * m + c;
        c = c * m + c;
        m *= m;
    }
    return seed;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QUORRA_AVX2_PATH 1

// Draw N + 1 of a row is Multiplier^(N + 1) * seed + Increment(N + 1): the starting seeds of 64 lanes, one per
// draw of a block of 64 pixels, and the step that moves every lane on by 64 draws.
struct LaneStartTable {
    quint32 mul[64];
    quint32 add[64];
};
constexpr LaneStartTable LaneStart = [] {
    LaneStartTable t{};
    quint32 m = 1, c = 0;
    for (int n = 0; n < 64; ++n) {
        m *= Multiplier;
        c = c * Multiplier + 1u;
        t.mul[n] = m;
        t.add[n] = c;
    }
    return t;
}();

// For each byte of three 32-byte pieces (32 pixels of three bytes), which byte of the pixels' 32-bit mask holds
// that pixel's bit, and which bit it is.
struct SpreadTable {
    uchar index[3][32];
    uchar bit[3][32];
};
constexpr SpreadTable Spread = [] {
    SpreadTable t{};
    for (int k = 0; k < 3; ++k)
        for (int b = 0; b < 32; ++b) {
            const int pixel = (32 * k + b) / 3;
            t.index[k][b] = uchar(pixel / 8);
            t.bit[k][b] = uchar(1u << (pixel % 8));
        }
    return t;
}();

// Changes 32 pixels; Signs holds the top bit of each pixel's seed, so a clear bit is a hit.
template <bool Whiten>
__attribute__((target("avx2"), always_inline)) inline void conceal32(uchar *q, quint32 signs)
{
    const __m256i mask = _mm256_set1_epi32(int(signs));
    for (int k = 0; k < 3; ++k) {
        const __m256i bit = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(Spread.bit[k]));
        const __m256i index = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(Spread.index[k]));
        const __m256i hit =
            _mm256_cmpeq_epi8(_mm256_and_si256(_mm256_shuffle_epi8(mask, index), bit), _mm256_setzero_si256());
        __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(q + 32 * ptrdiff_t(k)));
        if constexpr (Whiten)
            v = _mm256_or_si256(v, hit);
        else
            v = _mm256_blendv_epi8(v, _mm256_and_si256(_mm256_srli_epi16(v, 1), _mm256_set1_epi8(0x7F)), hit);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(q + 32 * ptrdiff_t(k)), v);
    }
}

// The same row with 64 lanes in eight registers: the multiplies of one block overlap, and the draws come out as
// sign bits that are spread over the pixels' bytes by shuffles. The lanes run past the row's end up to the
// block's; the seed returned is worked out from the count of draws.
template <bool Whiten>
__attribute__((target("avx2"))) void concealRowAvx2(uchar *p, int width, quint32 seed)
{
    const __m256i step = _mm256_set1_epi32(int(LaneStart.mul[63]));
    const __m256i increment = _mm256_set1_epi32(int(LaneStart.add[63]));
    const __m256i first = _mm256_set1_epi32(int(seed));
    __m256i lanes[8];
    for (int l = 0; l < 8; ++l)
        lanes[l] = _mm256_add_epi32(
            _mm256_mullo_epi32(first,
                               _mm256_loadu_si256(reinterpret_cast<const __m256i *>(LaneStart.mul + 8 * ptrdiff_t(l)))),
            _mm256_loadu_si256(reinterpret_cast<const __m256i *>(LaneStart.add + 8 * ptrdiff_t(l))));
    for (int x = 0; x < width; x += 64, p += 192) {
        quint64 signs = 0;
        for (int l = 0; l < 8; ++l) {
            signs |= quint64(quint32(_mm256_movemask_ps(_mm256_castsi256_ps(lanes[l])))) << (8 * l);
            lanes[l] = _mm256_add_epi32(_mm256_mullo_epi32(lanes[l], step), increment);
        }
        if (x + 64 <= width) {
            conceal32<Whiten>(p, quint32(signs));
            conceal32<Whiten>(p + 96, quint32(signs >> 32));
        } else {
            // The row's last pixels are changed in a copy so that nothing past the row is read or written.
            uchar tail[192] = {};
            const size_t bytes = size_t(width - x) * 3;
            std::memcpy(tail, p, bytes);
            conceal32<Whiten>(tail, quint32(signs));
            conceal32<Whiten>(tail + 96, quint32(signs >> 32));
            std::memcpy(p, tail, bytes);
        }
    }
}
#endif

void concealRow(uchar *p, int width, quint32 &seed, bool whiten)
{
#if defined(QUORRA_AVX2_PATH)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        if (whiten)
            concealRowAvx2<true>(p, width, seed);
        else
            concealRowAvx2<false>(p, width, seed);
        seed = seedAfter(seed, quint64(std::max(width, 0)));
        return;
    }
#endif
    concealRowPortable(p, width, seed, whiten);
}

// The per-pixel effects treat a row as 64-bit words of eight channel bytes; no byte carries into the next.
constexpr quint64 Bytes01 = 0x0101010101010101ull;

template <typename TWord>
void rowWords(uchar *p, const uchar *m, qsizetype bytes, TWord word)
{
    qsizetype i = 0;
    for (; i + 8 <= bytes; i += 8) {
        quint64 v, k = 0;
        std::memcpy(&v, p + i, 8);
        if (m)
            std::memcpy(&k, m + i, 8);
        v = word(v, k);
        std::memcpy(p + i, &v, 8);
    }
    if (i < bytes) {
        quint64 v = 0, k = 0;
        std::memcpy(&v, p + i, size_t(bytes - i));
        if (m)
            std::memcpy(&k, m + i, size_t(bytes - i));
        v = word(v, k);
        std::memcpy(p + i, &v, size_t(bytes - i));
    }
}

template <typename TWord>
void forEachWord(QImage &cell, TWord word)
{
    const qsizetype bytes = qsizetype(cell.width()) * 3;
    for (int y = 0; y < cell.height(); ++y)
        rowWords(cell.scanLine(y), nullptr, bytes, word);
}

void obscure(QImage &cell)
{
    // (c >> 2) + 96 never exceeds 159, so the bytes of a word add without carries.
    forEachWord(cell, [](quint64 v, quint64) { return ((v >> 2) & (Bytes01 * 0x3F)) + Bytes01 * 96; });
}

void negative(QImage &cell)
{
    forEachWord(cell, [](quint64 v, quint64) { return ~v; });
}

// One draw per pixel, rows from the top, each from the left, whether or not the pixel changes.
void halfOfThePixels(QImage &cell, bool whiten)
{
    quint32 seed = randomizer().seed();
    for (int y = 0; y < cell.height(); ++y)
        concealRow(cell.scanLine(y), cell.width(), seed, whiten);
    randomizer().setSeed(seed);
}

void lowResolution(QImage &cell)
{
    // Halves round to the even neighbour (2.5 -> 2, 3.5 -> 4). A cell under 5 pixels would round to no pixels
    // at all, so it keeps at least one: the whole cell becomes one block.
    const int w = std::max(1, int(std::nearbyint(cell.width() / 8.0)));
    const int h = std::max(1, int(std::nearbyint(cell.height() / 8.0)));
    QImage reduced = createWorkingBitmap(w, h);
    stretchDraw(cell, reduced);
    stretchDraw(reduced, cell);
}

// A number drawn on the texture: the pixels it changed, within their bounding box.
struct NumberPatch {
    QRect box;
    QImage pixels;
};

struct NumberKey {
    QString font;
    QString text;
    int width;
    int height;
    qint64 texture;
    bool operator==(const NumberKey &other) const = default;
};

size_t qHash(const NumberKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.font, key.text, key.width, key.height, key.texture);
}

// Drawing big glyphs costs far more than the texture under them, and every rebuild, tangle and save conceals
// the same cells again, so each number is drawn once per cell size and then pasted as the pixels it changed.
QHash<NumberKey, NumberPatch> &numberPatches()
{
    static QHash<NumberKey, NumberPatch> patches;
    return patches;
}

// The bounding box of the pixels where Cell differs from Texture tiled from its top-left corner.
QRect changedBox(const QImage &cell, const QImage &texture)
{
    const int w = cell.width(), h = cell.height(), pw = texture.width(), ph = texture.height();
    int left = w, right = -1, top = h, bottom = -1;
    for (int y = 0; y < h; ++y) {
        const uchar *c = cell.constScanLine(y);
        const uchar *t = texture.constScanLine(y % ph);
        for (int x = 0; x < w; x += pw) {
            const int count = std::min(pw, w - x);
            if (std::memcmp(c + qsizetype(x) * 3, t, size_t(count) * 3) == 0)
                continue;
            for (int i = 0; i < count; ++i)
                if (std::memcmp(c + qsizetype(x + i) * 3, t + qsizetype(i) * 3, 3) != 0) {
                    left = std::min(left, x + i);
                    right = std::max(right, x + i);
                }
            top = std::min(top, y);
            bottom = y;
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

void drawNumber(QImage &cell, const QFont &font, const QString &text)
{
    const int w = cell.width(), h = cell.height();
    const QFontMetrics metrics(font, &measuringBitmap());
    // Point sizes are meant at 96 dots per inch, as they were measured.
    cell.setDotsPerMeterX(measuringBitmap().dotsPerMeterX());
    cell.setDotsPerMeterY(measuringBitmap().dotsPerMeterY());
    QPainter painter(&cell);
    painter.setFont(font);
    painter.setPen(stampColor());
    painter.drawText((w - metrics.horizontalAdvance(text)) / 2, (h - metrics.height()) / 2 + metrics.ascent(), text);
}

// Cell already holds the tiled Texture.
void writeNumber(QImage &cell, qint32 number, const QImage &texture)
{
    const int w = cell.width(), h = cell.height();
    // The size is chosen for "00" so that no cell's number gives away how many digits it has.
    const QFont font = fitFont(stampFont(), QStringLiteral("00"), w, h);
    const QString text = QString::number(number);
    if (cell.format() != WorkingFormat || texture.format() != WorkingFormat) {
        drawNumber(cell, font, text);
        return;
    }
    const NumberKey key{font.toString(), text, w, h, texture.cacheKey()};
    auto &patches = numberPatches();
    if (const auto found = patches.constFind(key); found != patches.constEnd()) {
        cell.setDotsPerMeterX(measuringBitmap().dotsPerMeterX());
        cell.setDotsPerMeterY(measuringBitmap().dotsPerMeterY());
        const QRect &box = found->box;
        for (int y = 0; y < box.height(); ++y)
            std::memcpy(cell.scanLine(box.top() + y) + qsizetype(box.left()) * 3, found->pixels.constScanLine(y),
                        size_t(box.width()) * 3);
        return;
    }
    drawNumber(cell, font, text);
    const QRect box = changedBox(cell, texture);
    // A few dozen numbers of a few cell sizes are all a session needs; a forgotten one is merely drawn again.
    static qsizetype bytes = 0;
    const QImage pixels = box.isEmpty() ? QImage() : cell.copy(box);
    if (patches.size() >= 256 || bytes + pixels.sizeInBytes() > (qsizetype(64) << 20)) {
        patches.clear();
        bytes = 0;
    }
    bytes += pixels.sizeInBytes();
    patches.insert(key, {box, pixels});
}

} // namespace

void applyEffect(QImage &cell, qint32 effect, qint32 number, const QImage &texture)
{
    randomizer().randomize();
    if (cell.isNull() || cell.width() <= 0 || cell.height() <= 0)
        return;
    switch (effect) {
    case Effect::Obscure:
        obscure(cell);
        break;
    case Effect::Dark:
        halfOfThePixels(cell, false);
        break;
    case Effect::Transparent:
        halfOfThePixels(cell, true);
        break;
    case Effect::Negative:
        negative(cell);
        break;
    case Effect::Hidden:
        tilePicture(cell, texture);
        writeNumber(cell, number, texture);
        break;
    case Effect::TopSecret:
        tilePicture(cell, texture);
        break;
    case Effect::LowResolution:
        lowResolution(cell);
        break;
    default:
        break;
    }
}
