// SPDX-License-Identifier: GPL-3.0-or-later
// The sound device over QSoundEffect: low latency, 8- and 16-bit PCM WAV only.
#include "SoundEffectOutput.h"

namespace quorra {

void SoundEffectOutput::load(const QString &path)
{
    m_source = QUrl::fromLocalFile(path);
    if (m_effect) {
        m_effect->setSource(m_source);
        m_requested.start();
    }
}

void SoundEffectOutput::prepare()
{
    effect();
}

QSoundEffect &SoundEffectOutput::effect()
{
    if (!m_effect) {
        m_effect = std::make_unique<QSoundEffect>();
        // Never waits: the sample is decoded on Qt's loader thread, and a play asked for before it is ready is
        // queued by QSoundEffect itself. (Waiting for the decoder in a nested event loop was what made Qt 6.4
        // lose the "ready" signal and leave a sample loading for good.)
        if (!m_source.isEmpty())
            m_effect->setSource(m_source);
        m_requested.start();
    }
    return *m_effect;
}

void SoundEffectOutput::start()
{
    // Qt 6.4's sample cache can miss telling an effect that its sample is ready, which leaves the effect
    // loading and silent for ever. By now the sample itself sits decoded in the cache, so asking again
    // hands it over at once.
    QSoundEffect &sound = effect();
    if (sound.status() == QSoundEffect::Loading && m_requested.isValid() && m_requested.elapsed() >= StuckLoadMs) {
        sound.setSource(QUrl());
        sound.setSource(m_source);
        m_requested.start();
    }
    // play() on a stuck "playing" effect would be taken as a restart anyway; stopping first makes
    // the start from the beginning explicit on every backend.
    if (sound.isPlaying())
        sound.stop();
    sound.play();
}

bool SoundEffectOutput::isPlaying() const
{
    return m_effect && m_effect->isPlaying();
}

bool SoundEffectOutput::hasFailed() const
{
    return m_effect && m_effect->status() == QSoundEffect::Error;
}

} // namespace quorra
