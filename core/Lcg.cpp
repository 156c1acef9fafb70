// SPDX-License-Identifier: GPL-3.0-or-later
// The program's shared linear congruential generator and its clock seeding.
#include "Lcg.h"

#include <chrono>
#include <utility>

namespace quorra {

namespace {
std::function<std::uint32_t()> &testClock()
{
    static std::function<std::uint32_t()> clock;
    return clock;
}
} // namespace

double Lcg::next()
{
    m_seed = m_seed * 134775813u + 1u;
    return m_seed / 4294967296.0;
}

std::int32_t Lcg::below(std::int32_t n)
{
    return static_cast<std::int32_t>(next() * n);
}

void Lcg::randomize()
{
    if (testClock()) {
        m_seed = testClock()();
        return;
    }
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    m_seed = static_cast<std::uint32_t>(static_cast<std::uint64_t>(ticks));
}

void Lcg::setTestClock(std::function<std::uint32_t()> clock)
{
    testClock() = std::move(clock);
}

Lcg &randomizer()
{
    static Lcg instance;
    return instance;
}

} // namespace quorra
