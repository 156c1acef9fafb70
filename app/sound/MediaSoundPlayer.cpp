// SPDX-License-Identifier: GPL-3.0-or-later
// One game sound: opened once, played on request, never restarted while it is still sounding.
#include "MediaSoundPlayer.h"

#include "SoundEffectOutput.h"
#include "WaveHeader.h"

#include <chrono>

namespace quorra {

MediaSoundPlayer::MediaSoundPlayer(std::unique_ptr<SoundOutput> output, Clock clock)
    : m_output(std::move(output)), m_clock(std::move(clock))
{
    if (!m_output)
        m_output = std::make_unique<SoundEffectOutput>();
    if (!m_clock)
        m_clock = [] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        };
}

MediaSoundPlayer::~MediaSoundPlayer() = default;

bool MediaSoundPlayer::open(const QString &path)
{
    m_open = false;
    m_started = false;
    // The header is read first: its length is what bounds "still playing" when the device never
    // reports the end, and a format the device cannot decode is better silent than noise.
    const WaveHeader header = WaveHeader::readFile(path);
    if (!header.isPlayable() || header.durationMs() <= 0)
        return false;
    m_lengthMs = header.durationMs();
    m_output->load(path);
    m_open = true;
    return true;
}

void MediaSoundPlayer::prepare()
{
    if (m_open)
        m_output->prepare();
}

bool MediaSoundPlayer::stillRuns(qint64 now) const
{
    if (!m_started)
        return false;
    const qint64 elapsed = now - m_startedAt;
    // Within its own length a sound is running even if the device has not caught up yet;
    // a little beyond it the device has the say; after that it is over, whatever the device says.
    if (elapsed < m_lengthMs)
        return true;
    return m_output->isPlaying() && elapsed < m_lengthMs + EndToleranceMs;
}

void MediaSoundPlayer::play()
{
    if (!m_open || m_output->hasFailed())
        return;
    const qint64 now = m_clock();
    if (stillRuns(now))
        return;
    m_output->start();
    m_started = true;
    m_startedAt = now;
}

} // namespace quorra
