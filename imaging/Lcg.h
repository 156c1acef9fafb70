// The program's one pseudo-random generator: 32-bit linear congruential, reseeded from the clock.
#pragma once

#include <QtGlobal>
#include <functional>

class Lcg
{
public:
    // seed := seed * 134775813 + 1 (mod 2^32); a draw is the new seed / 2^32.
    double next();
    // A uniform integer in 0 .. N - 1.
    qint32 below(qint32 n);
    void setSeed(quint32 seed) { m_seed = seed; }
    quint32 seed() const { return m_seed; }
    // Seeds from the low 32 bits of the steady clock, or from the test clock while one is installed.
    void randomize();

    // Tests install a clock so that every reseed gives a known seed; an empty function restores the real one.
    static void setTestClock(std::function<quint32()> clock);

private:
    quint32 m_seed = 0;
};

// The generator that effects and tangling share.
Lcg &randomizer();
