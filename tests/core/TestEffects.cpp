// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the concealing effects on plain pixel views: their pixels for a fixed seed, the row padding, the stamp.
#include "core/Effects.h"
#include "core/Lcg.h"

#include <doctest/doctest.h>

#include <cstdint>
#include <vector>

using namespace quorra;

namespace {

constexpr std::uint32_t ClockSeed = 0x2545F491u;
constexpr std::uint8_t Padding = 0xA5;

std::uint32_t checksum(ConstPixelView view)
{
    std::uint32_t hash = 2166136261u;
    for (int y = 0; y < view.height(); ++y)
        for (std::ptrdiff_t i = 0; i < view.rowBytes(); ++i)
            hash = (hash ^ view.row(y)[i]) * 16777619u;
    return hash;
}

// A picture with neighbouring bytes all different, in rows of Stride bytes whose padding must never be written.
struct Bitmap {
    Bitmap(int w, int h, std::ptrdiff_t stride) : bytes(std::size_t(stride) * std::size_t(h), Padding)
    {
        view = PixelView(bytes.data(), w, h, stride);
        for (int y = 0; y < h; ++y)
            for (int i = 0; i < w * 3; ++i)
                view.row(y)[i] = std::uint8_t(2 + (i * 7 + y * 13) % 251);
    }
    bool paddingUntouched() const
    {
        for (int y = 0; y < view.height(); ++y)
            for (std::ptrdiff_t i = view.rowBytes(); i < view.stride(); ++i)
                if (view.row(y)[i] != Padding)
                    return false;
        return true;
    }
    std::vector<std::uint8_t> bytes;
    PixelView view;
};

// A 7 x 3 paper, so that its tiles are clipped at the right and bottom of every cell tried.
struct Paper {
    Paper() : bytes(24 * 3)
    {
        for (int y = 0; y < 3; ++y)
            for (int i = 0; i < 21; ++i)
                bytes[std::size_t(y * 24 + i)] = std::uint8_t(200 + (i + 5 * y) % 50);
    }
    ConstPixelView view() const { return {bytes.data(), 7, 3, 24}; }
    std::vector<std::uint8_t> bytes;
};

// Writes nothing; records what it was asked to write, where, and what the cell showed then.
class RecordingStamp : public NumberStamp
{
public:
    void stamp(PixelView cell, std::int32_t number) override
    {
        numbers.push_back(number);
        cells.push_back(cell.bits());
        cellChecksums.push_back(checksum(cell));
    }
    std::vector<std::int32_t> numbers;
    std::vector<const std::uint8_t *> cells;
    std::vector<std::uint32_t> cellChecksums;
};

struct FixedClock {
    FixedClock()
    {
        Lcg::setTestClock([] { return ClockSeed; });
    }
    ~FixedClock() { Lcg::setTestClock({}); }
};

} // namespace

TEST_CASE("each effect gives the desktop's pixels for a fixed seed and leaves the row padding alone")
{
    struct Row {
        EffectCode effect;
        int width, height, stride;
        std::uint32_t checksum;
    };
    // Widths under one block of draws, with whole blocks, and with blocks and a tail; a cell inside a wider bitmap.
    const Row rows[] = {
        {Effect::Obscure, 20, 6, 100, 0x194AC7D0u},       {Effect::Negative, 13, 5, 40, 0xF7FDABABu},
        {Effect::Dark, 13, 5, 40, 0x39A46049u},           {Effect::Dark, 70, 9, 212, 0x3E6226E3u},
        {Effect::Dark, 64, 3, 192, 0xC5B997BAu},          {Effect::Dark, 129, 2, 388, 0xF3C3785Eu},
        {Effect::Transparent, 70, 9, 212, 0x8352A620u},   {Effect::TopSecret, 70, 9, 212, 0xE41A113Fu},
        {Effect::Hidden, 13, 5, 40, 0x931F5B08u},         {Effect::LowResolution, 13, 5, 40, 0x21104A6Cu},
        {Effect::LowResolution, 20, 6, 100, 0xEA78A1C5u}, {7, 13, 5, 40, 0xB41F45F4u},
    };
    const FixedClock clock;
    const Paper paper;
    for (const Row &row : rows) {
        CAPTURE(row.effect);
        CAPTURE(row.width);
        CAPTURE(row.height);
        Bitmap cell(row.width, row.height, row.stride);
        RecordingStamp stamp;
        applyEffect(cell.view, row.effect, 3, paper.view(), stamp);
        CHECK(checksum(cell.view) == row.checksum);
        CHECK(cell.paddingUntouched());
        // The random effects leave the generator where one draw per pixel leaves it, for the next cell.
        Lcg reference;
        reference.setSeed(ClockSeed);
        if (row.effect == Effect::Dark || row.effect == Effect::Transparent)
            for (int i = 0; i < row.width * row.height; ++i)
                reference.next();
        CHECK(randomizer().seed() == reference.seed());
    }
}

TEST_CASE("only the numbered paper asks the stamp, once, for the cell's number on the paper already tiled")
{
    const Paper paper;
    Bitmap tiled(30, 20, 92);
    RecordingStamp ignored;
    applyEffect(tiled.view, Effect::TopSecret, 0, paper.view(), ignored);
    for (const EffectCode effect :
         {Effect::Obscure, Effect::Dark, Effect::Transparent, Effect::Negative, Effect::Hidden, Effect::TopSecret,
          Effect::LowResolution, EffectCode(-1), EffectCode(7)}) {
        CAPTURE(effect);
        Bitmap cell(30, 20, 92);
        RecordingStamp stamp;
        applyEffect(cell.view, effect, -17, paper.view(), stamp);
        if (effect != Effect::Hidden) {
            CHECK(stamp.numbers.empty());
            continue;
        }
        REQUIRE(stamp.numbers.size() == 1);
        CHECK(stamp.numbers[0] == -17);
        CHECK(stamp.cells[0] == cell.view.bits());
        CHECK(stamp.cellChecksums[0] == checksum(tiled.view));
    }
}

TEST_CASE("a view without pixels to conceal leaves every byte as it was, and a paper without pixels tiles nothing")
{
    struct Row {
        const char *name;
        int width, height, stride;
    };
    const Row rows[] = {
        {"no columns", 0, 4, 16},
        {"a negative height", 4, -2, 16},
        // Rows of 12 bytes 8 bytes apart overlap: their shared bytes would be concealed twice.
        {"rows that overlap", 4, 4, 8},
    };
    const Paper paper;
    for (const Row &row : rows)
        for (EffectCode effect = Effect::Obscure; effect <= Effect::LowResolution; ++effect) {
            CAPTURE(row.name);
            CAPTURE(effect);
            Bitmap bytes(4, 4, 16);
            const std::vector<std::uint8_t> before = bytes.bytes;
            RecordingStamp stamp;
            applyEffect(PixelView(bytes.bytes.data(), row.width, row.height, row.stride), effect, 1, paper.view(),
                        stamp);
            CHECK(bytes.bytes == before);
            CHECK(stamp.numbers.empty());
        }
    Bitmap cell(4, 4, 16);
    const std::vector<std::uint8_t> before = cell.bytes;
    RecordingStamp stamp;
    applyEffect(cell.view, Effect::TopSecret, 1, ConstPixelView(), stamp);
    CHECK(cell.bytes == before);
}
