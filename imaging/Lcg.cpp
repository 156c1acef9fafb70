// The program's shared linear congruential generator and its clock seeding.
#include "Lcg.h"

#include <chrono>

namespace {
std::function<quint32()> &testClock()
{
    static std::function<quint32()> clock;
    return clock;
}
} // namespace

double Lcg::next()
{
    m_seed = m_seed * 134775813u + 1u;
    return m_seed / 4294967296.0;
}

qint32 Lcg::below(qint32 n)
{
    return static_cast<qint32>(next() * n);
}

void Lcg::randomize()
{
    if (testClock()) {
        m_seed = testClock()();
        return;
    }
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    m_seed = static_cast<quint32>(static_cast<quint64>(ticks));
}

void Lcg::setTestClock(std::function<quint32()> clock)
{
    testClock() = std::move(clock);
}

Lcg &randomizer()
{
    static Lcg instance;
    return instance;
}
