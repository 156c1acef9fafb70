// The sound device over QSoundEffect: low latency, 8- and 16-bit PCM WAV only.
#pragma once

#include "TSoundOutput.h"

#include <QElapsedTimer>
#include <QSoundEffect>
#include <QUrl>

class TSoundEffectOutput : public TSoundOutput
{
public:
    void Load(const QString &Path) override;
    void Start() override;
    bool IsPlaying() const override;
    bool HasFailed() const override;

    // How long a file may stay "loading" before a start asks the sample cache for it again. The game's
    // sounds decode in a few milliseconds; Qt 6.4 sometimes loses the news that a sample is ready.
    static constexpr int StuckLoadMs = 500;

private:
    QSoundEffect FEffect;
    QUrl FSource;
    QElapsedTimer FRequested;
};
