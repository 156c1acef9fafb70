// The sound device over QSoundEffect: low latency, 8- and 16-bit PCM WAV only.
#pragma once

#include "TSoundOutput.h"

#include <QSoundEffect>

class TSoundEffectOutput : public TSoundOutput
{
public:
    void Load(const QString &Path) override;
    void Start() override;
    bool IsPlaying() const override;
    bool HasFailed() const override;

    // The longest Load waits for the file to be decoded.
    static constexpr int LoadWaitMs = 2000;

private:
    QSoundEffect FEffect;
};
