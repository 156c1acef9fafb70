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

private:
    QSoundEffect FEffect;
};
