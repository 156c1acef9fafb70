// SPDX-License-Identifier: GPL-3.0-or-later
// One game sound: opened once, played on request, never restarted while it is still sounding.
#pragma once

#include "SoundPlayer.h"

#include <functional>
#include <memory>

namespace quorra {

class SoundOutput;

class MediaSoundPlayer : public SoundPlayer
{
public:
    // Milliseconds from any fixed origin; must never run backwards.
    using Clock = std::function<qint64()>;

    // Without arguments the player drives a QSoundEffect on the steady clock.
    explicit MediaSoundPlayer(std::unique_ptr<SoundOutput> output = nullptr, Clock clock = {});
    ~MediaSoundPlayer() override;

    bool open(const QString &path) override;
    void prepare() override;
    void play() override;

    bool isOpen() const { return m_open; }
    qint64 lengthMs() const { return m_lengthMs; }

    // How long past its own length a sound may still be reported as playing by the device
    // (output latency) before it counts as finished anyway.
    static constexpr qint64 EndToleranceMs = 100;

private:
    bool stillRuns(qint64 now) const;

    std::unique_ptr<SoundOutput> m_output;
    Clock m_clock;
    bool m_open = false;
    qint64 m_lengthMs = 0;
    bool m_started = false;
    qint64 m_startedAt = 0;
};

} // namespace quorra
