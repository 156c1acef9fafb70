// SPDX-License-Identifier: GPL-3.0-or-later
// The sound device over QSoundEffect: low latency, 8- and 16-bit PCM WAV only.
#pragma once

#include "SoundOutput.h"

#include <QElapsedTimer>
#include <QSoundEffect>
#include <QUrl>

#include <memory>

namespace quorra {

class SoundEffectOutput : public SoundOutput
{
public:
    void load(const QString &path) override;
    void prepare() override;
    void start() override;
    bool isPlaying() const override;
    bool hasFailed() const override;

    // How long a file may stay "loading" before a start asks the sample cache for it again. The game's
    // sounds decode in a few milliseconds; Qt 6.4 sometimes loses the news that a sample is ready.
    static constexpr int StuckLoadMs = 500;

private:
    // The effect, made and given its file at the first need.
    QSoundEffect &effect();

    // Made only when first needed: the first effect starts the platform's audio (its plugin, the sound server,
    // the devices), which the window need not wait for before it first shows the puzzle.
    std::unique_ptr<QSoundEffect> m_effect;
    QUrl m_source;
    QElapsedTimer m_requested;
};

} // namespace quorra
