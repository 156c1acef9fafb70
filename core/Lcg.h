// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one pseudo-random generator: 32-bit linear congruential, reseeded from the clock.
#pragma once

#include <cstdint>
#include <functional>

namespace quorra {

class Lcg
{
public:
    // seed := seed * 134775813 + 1 (mod 2^32); a draw is the new seed / 2^32.
    double next();
    // A uniform integer in 0 .. N - 1.
    std::int32_t below(std::int32_t n);
    void setSeed(std::uint32_t seed) { m_seed = seed; }
    std::uint32_t seed() const { return m_seed; }
    // Seeds from the low 32 bits of the steady clock, or from the test clock while one is installed.
    void randomize();

    // Tests install a clock so that every reseed gives a known seed; an empty function restores the real one.
    static void setTestClock(std::function<std::uint32_t()> clock);

private:
    std::uint32_t m_seed = 0;
};

// The generator that effects and tangling share.
Lcg &randomizer();

} // namespace quorra
