// The program's one pseudo-random generator: 32-bit linear congruential, reseeded from the clock.
#pragma once

#include <QtGlobal>
#include <functional>

class TRandom
{
public:
    // seed := seed * 134775813 + 1 (mod 2^32); a draw is the new seed / 2^32.
    double Next();
    // A uniform integer in 0 .. N - 1.
    qint32 Below(qint32 N);
    void SetSeed(quint32 Seed) { FSeed = Seed; }
    quint32 Seed() const { return FSeed; }
    // Seeds from the low 32 bits of the steady clock, or from the test clock while one is installed.
    void Randomize();

    // Tests install a clock so that every reseed gives a known seed; an empty function restores the real one.
    static void SetTestClock(std::function<quint32()> Clock);

private:
    quint32 FSeed = 0;
};

// The generator that effects and tangling share.
TRandom &Randomizer();
