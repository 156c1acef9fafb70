// One game sound: opened once, played on request, never restarted while it is still sounding.
#pragma once

#include "TSoundPlayer.h"

#include <functional>
#include <memory>

class TSoundOutput;

class TMediaSoundPlayer : public TSoundPlayer
{
public:
    // Milliseconds from any fixed origin; must never run backwards.
    using TClock = std::function<qint64()>;

    // Without arguments the player drives a QSoundEffect on the steady clock.
    explicit TMediaSoundPlayer(std::unique_ptr<TSoundOutput> Output = nullptr, TClock Clock = {});
    ~TMediaSoundPlayer() override;

    bool Open(const QString &Path) override;
    void Play() override;

    bool IsOpen() const { return FOpen; }
    qint64 LengthMs() const { return FLengthMs; }

    // How long past its own length a sound may still be reported as playing by the device
    // (output latency) before it counts as finished anyway.
    static constexpr qint64 EndToleranceMs = 100;

private:
    bool StillRuns(qint64 Now) const;

    std::unique_ptr<TSoundOutput> FOutput;
    TClock FClock;
    bool FOpen = false;
    qint64 FLengthMs = 0;
    bool FStarted = false;
    qint64 FStartedAt = 0;
};
