// SPDX-License-Identifier: GPL-3.0-or-later
// The concealing effects that hide each cell of an unsolved puzzle, worked on plain pixels.
#include "Effects.h"

#include "Lcg.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

namespace quorra {

namespace {

constexpr std::uint32_t Multiplier = 134775813u;

// Eight steps of the generator at once: seed(n + 8) = Multiplier^8 * seed(n) + Increment8.
constexpr std::uint32_t Multiplier8 = [] {
    std::uint32_t m = 1;
    for (int i = 0; i < 8; ++i)
        m *= Multiplier;
    return m;
}();
constexpr std::uint32_t Increment8 = [] {
    std::uint32_t c = 0;
    for (int i = 0; i < 8; ++i)
        c = c * Multiplier + 1u;
    return c;
}();

// Steps back one draw: seed(n - 1) = (seed(n) - 1) / Multiplier, the multiplier being odd and so invertible.
constexpr std::uint32_t InverseMultiplier = [] {
    std::uint32_t x = Multiplier;
    for (int i = 0; i < 5; ++i)
        x *= 2u - Multiplier * x;
    return x;
}();
static_assert(Multiplier * InverseMultiplier == 1u);

// Multiplier^16 and the increment of sixteen steps, for two lanes of eight draws each.
constexpr std::uint32_t Multiplier16 = Multiplier8 * Multiplier8;
constexpr std::uint32_t Increment16 = Increment8 * Multiplier8 + Increment8;

// Conceals one row of Width pixels: one draw per pixel from left to right; a draw below 0.5 (a new seed below
// 2^31) halves the pixel (Dark) or whitens it (Transparent). Sixteen pixels are drawn and changed at once: the
// generator runs as sixteen interleaved lanes whose seeds are those of sixteen consecutive draws. Processors
// without AVX2 take this one.
void concealRowPortable(std::uint8_t *p, int width, std::uint32_t &seed, bool whiten)
{
    typedef std::uint32_t TLanes __attribute__((vector_size(32)));
    typedef std::uint8_t TBytes __attribute__((vector_size(16)));
    std::uint32_t s = seed;
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
                hit[j] = std::uint8_t((low[j] >> 31) - 1u);
                hit[j + 8] = std::uint8_t((high[j] >> 31) - 1u);
            }
            const TBytes keys[3] = {spreadBytes(hit, spread0), spreadBytes(hit, spread1), spreadBytes(hit, spread2)};
            for (int k = 0; k < 3; ++k) {
                TBytes v;
                std::memcpy(&v, p + 16 * std::ptrdiff_t(k), 16);
                v = whiten ? (v | keys[k]) : ((v & ~keys[k]) | ((v >> 1) & keys[k]));
                std::memcpy(p + 16 * std::ptrdiff_t(k), &v, 16);
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
                p[k] = whiten ? 255 : std::uint8_t(p[k] >> 1);
    }
    seed = s;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QUORRA_AVX2_PATH 1

// The seed after Count draws from Seed, by composing the generator's power-of-two jumps.
std::uint32_t seedAfter(std::uint32_t seed, std::uint64_t count)
{
    std::uint32_t m = Multiplier, c = 1u;
    for (; count != 0; count >>= 1) {
        if (count & 1u)
            seed = seed * m + c;
        c = c * m + c;
        m *= m;
    }
    return seed;
}

// Draw N + 1 of a row is Multiplier^(N + 1) * seed + Increment(N + 1): the starting seeds of 64 lanes, one per
// draw of a block of 64 pixels, and the step that moves every lane on by 64 draws.
struct LaneStartTable {
    std::uint32_t mul[64];
    std::uint32_t add[64];
};
constexpr LaneStartTable LaneStart = [] {
    LaneStartTable t{};
    std::uint32_t m = 1, c = 0;
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
    std::uint8_t index[3][32];
    std::uint8_t bit[3][32];
};
constexpr SpreadTable Spread = [] {
    SpreadTable t{};
    for (int k = 0; k < 3; ++k)
        for (int b = 0; b < 32; ++b) {
            const int pixel = (32 * k + b) / 3;
            t.index[k][b] = std::uint8_t(pixel / 8);
            t.bit[k][b] = std::uint8_t(1u << (pixel % 8));
        }
    return t;
}();

// Changes 32 pixels; Signs holds the top bit of each pixel's seed, so a clear bit is a hit.
template <bool Whiten>
__attribute__((target("avx2"), always_inline)) inline void conceal32(std::uint8_t *q, std::uint32_t signs)
{
    const __m256i mask = _mm256_set1_epi32(int(signs));
    for (int k = 0; k < 3; ++k) {
        const __m256i bit = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(Spread.bit[k]));
        const __m256i index = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(Spread.index[k]));
        const __m256i hit =
            _mm256_cmpeq_epi8(_mm256_and_si256(_mm256_shuffle_epi8(mask, index), bit), _mm256_setzero_si256());
        __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(q + 32 * std::ptrdiff_t(k)));
        if constexpr (Whiten)
            v = _mm256_or_si256(v, hit);
        else
            v = _mm256_blendv_epi8(v, _mm256_and_si256(_mm256_srli_epi16(v, 1), _mm256_set1_epi8(0x7F)), hit);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(q + 32 * std::ptrdiff_t(k)), v);
    }
}

// The same row with 64 lanes in eight registers: the multiplies of one block overlap, and the draws come out as
// sign bits that are spread over the pixels' bytes by shuffles. The lanes run past the row's end up to the
// block's; the seed returned is worked out from the count of draws.
template <bool Whiten>
__attribute__((target("avx2"))) void concealRowAvx2(std::uint8_t *p, int width, std::uint32_t seed)
{
    const __m256i step = _mm256_set1_epi32(int(LaneStart.mul[63]));
    const __m256i increment = _mm256_set1_epi32(int(LaneStart.add[63]));
    const __m256i first = _mm256_set1_epi32(int(seed));
    __m256i lanes[8];
    for (int l = 0; l < 8; ++l)
        lanes[l] = _mm256_add_epi32(
            _mm256_mullo_epi32(
                first, _mm256_loadu_si256(reinterpret_cast<const __m256i *>(LaneStart.mul + 8 * std::ptrdiff_t(l)))),
            _mm256_loadu_si256(reinterpret_cast<const __m256i *>(LaneStart.add + 8 * std::ptrdiff_t(l))));
    for (int x = 0; x < width; x += 64, p += 192) {
        std::uint64_t signs = 0;
        for (int l = 0; l < 8; ++l) {
            signs |= std::uint64_t(std::uint32_t(_mm256_movemask_ps(_mm256_castsi256_ps(lanes[l])))) << (8 * l);
            lanes[l] = _mm256_add_epi32(_mm256_mullo_epi32(lanes[l], step), increment);
        }
        if (x + 64 <= width) {
            conceal32<Whiten>(p, std::uint32_t(signs));
            conceal32<Whiten>(p + 96, std::uint32_t(signs >> 32));
        } else {
            // The row's last pixels are changed in a copy so that nothing past the row is read or written.
            std::uint8_t tail[192] = {};
            const std::size_t bytes = std::size_t(width - x) * 3;
            std::memcpy(tail, p, bytes);
            conceal32<Whiten>(tail, std::uint32_t(signs));
            conceal32<Whiten>(tail + 96, std::uint32_t(signs >> 32));
            std::memcpy(p, tail, bytes);
        }
    }
}
#endif

void concealRow(std::uint8_t *p, int width, std::uint32_t &seed, bool whiten)
{
#if defined(QUORRA_AVX2_PATH)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        if (whiten)
            concealRowAvx2<true>(p, width, seed);
        else
            concealRowAvx2<false>(p, width, seed);
        seed = seedAfter(seed, std::uint64_t(std::max(width, 0)));
        return;
    }
#endif
    concealRowPortable(p, width, seed, whiten);
}

// The per-pixel effects treat a row as 64-bit words of eight channel bytes; no byte carries into the next.
constexpr std::uint64_t Bytes01 = 0x0101010101010101ull;

template <typename TWord>
void rowWords(std::uint8_t *p, const std::uint8_t *m, std::ptrdiff_t bytes, TWord word)
{
    std::ptrdiff_t i = 0;
    for (; i + 8 <= bytes; i += 8) {
        std::uint64_t v, k = 0;
        std::memcpy(&v, p + i, 8);
        if (m)
            std::memcpy(&k, m + i, 8);
        v = word(v, k);
        std::memcpy(p + i, &v, 8);
    }
    if (i < bytes) {
        std::uint64_t v = 0, k = 0;
        std::memcpy(&v, p + i, std::size_t(bytes - i));
        if (m)
            std::memcpy(&k, m + i, std::size_t(bytes - i));
        v = word(v, k);
        std::memcpy(p + i, &v, std::size_t(bytes - i));
    }
}

template <typename TWord>
void forEachWord(PixelView cell, TWord word)
{
    for (int y = 0; y < cell.height(); ++y)
        rowWords(cell.row(y), nullptr, cell.rowBytes(), word);
}

void obscure(PixelView cell)
{
    // (c >> 2) + 96 never exceeds 159, so the bytes of a word add without carries.
    forEachWord(cell, [](std::uint64_t v, std::uint64_t) { return ((v >> 2) & (Bytes01 * 0x3F)) + Bytes01 * 96; });
}

void negative(PixelView cell)
{
    forEachWord(cell, [](std::uint64_t v, std::uint64_t) { return ~v; });
}

// One draw per pixel, rows from the top, each from the left, whether or not the pixel changes.
void halfOfThePixels(PixelView cell, bool whiten)
{
    std::uint32_t seed = randomizer().seed();
    for (int y = 0; y < cell.height(); ++y)
        concealRow(cell.row(y), cell.width(), seed, whiten);
    randomizer().setSeed(seed);
}

// Nearest-neighbour stretch of the whole of Source onto the whole of Target: the pixel at (x, y) of Target is
// the one at (x * sw / tw, y * sh / th) of Source, as the desktop's working bitmaps stretch.
void stretch(ConstPixelView source, PixelView target)
{
    const int sw = source.width(), sh = source.height(), tw = target.width(), th = target.height();
    std::vector<int> columns(static_cast<std::size_t>(tw));
    for (int x = 0; x < tw; ++x)
        columns[std::size_t(x)] = int(std::int64_t(x) * sw / tw);
    int previousRow = -1;
    for (int y = 0; y < th; ++y) {
        const int sy = int(std::int64_t(y) * sh / th);
        std::uint8_t *d = target.row(y);
        // Enlarging repeats each source row many times: copying the row just made is far cheaper.
        if (sy == previousRow) {
            std::memcpy(d, target.row(y - 1), std::size_t(target.rowBytes()));
            continue;
        }
        previousRow = sy;
        const std::uint8_t *s = source.row(sy);
        for (int x = 0; x < tw; ++x, d += 3)
            std::memcpy(d, s + std::ptrdiff_t(columns[std::size_t(x)]) * 3, 3);
    }
}

void lowResolution(PixelView cell)
{
    // Halves round to the even neighbour (2.5 -> 2, 3.5 -> 4). A cell under 5 pixels would round to no pixels
    // at all, so it keeps at least one: the whole cell becomes one block.
    const int w = std::max(1, int(std::nearbyint(cell.width() / 8.0)));
    const int h = std::max(1, int(std::nearbyint(cell.height() / 8.0)));
    std::vector<std::uint8_t> bytes(std::size_t(w) * 3 * std::size_t(h));
    const PixelView reduced(bytes.data(), w, h, std::ptrdiff_t(w) * 3);
    stretch(cell, reduced);
    stretch(reduced, cell);
}

// Tiles Texture unscaled from Cell's top-left corner; tiles past the edges are clipped.
void tile(PixelView cell, ConstPixelView texture)
{
    if (!texture.hasPixels())
        return;
    const int tw = texture.width();
    for (int y = 0; y < cell.height(); ++y) {
        const std::uint8_t *s = texture.row(y % texture.height());
        std::uint8_t *d = cell.row(y);
        for (int x = 0; x < cell.width(); x += tw) {
            const int count = std::min(tw, cell.width() - x);
            std::memcpy(d + std::ptrdiff_t(x) * 3, s, std::size_t(count) * 3);
        }
    }
}

} // namespace

void applyEffect(PixelView cell, EffectCode effect, std::int32_t number, ConstPixelView texture, NumberStamp &stamp)
{
    randomizer().randomize();
    if (!cell.hasPixels())
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
        tile(cell, texture);
        stamp.stamp(cell, number);
        break;
    case Effect::TopSecret:
        tile(cell, texture);
        break;
    case Effect::LowResolution:
        lowResolution(cell);
        break;
    default:
        break;
    }
}

} // namespace quorra
