// The program's shared linear congruential generator and its clock seeding.
#include "TRandom.h"

#include <chrono>

namespace {
std::function<quint32()> &TestClock()
{
    static std::function<quint32()> Clock;
    return Clock;
}
}

double TRandom::Next()
{
    FSeed = FSeed * 134775813u + 1u;
    return FSeed / 4294967296.0;
}

qint32 TRandom::Below(qint32 N)
{
    return static_cast<qint32>(Next() * N);
}

void TRandom::Randomize()
{
    if (TestClock()) {
        FSeed = TestClock()();
        return;
    }
    const auto Ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    FSeed = static_cast<quint32>(static_cast<quint64>(Ticks));
}

void TRandom::SetTestClock(std::function<quint32()> Clock)
{
    TestClock() = std::move(Clock);
}

TRandom &Randomizer()
{
    static TRandom Instance;
    return Instance;
}
