// The sound device over QSoundEffect: low latency, 8- and 16-bit PCM WAV only.
#pragma once

#include "SoundOutput.h"

#include <QElapsedTimer>
#include <QSoundEffect>
#include <QUrl>

class SoundEffectOutput : public SoundOutput
{
public:
    void load(const QString &path) override;
    void start() override;
    bool isPlaying() const override;
    bool hasFailed() const override;

    // How long a file may stay "loading" before a start asks the sample cache for it again. The game's
    // sounds decode in a few milliseconds; Qt 6.4 sometimes loses the news that a sample is ready.
    static constexpr int StuckLoadMs = 500;

private:
    QSoundEffect m_effect;
    QUrl m_source;
    QElapsedTimer m_requested;
};
