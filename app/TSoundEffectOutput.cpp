// The sound device over QSoundEffect: low latency, 8- and 16-bit PCM WAV only.
#include "TSoundEffectOutput.h"

void TSoundEffectOutput::Load(const QString &Path)
{
    // Never waits: the sample is decoded on Qt's loader thread while the window comes up, and a play
    // asked for before it is ready is queued by QSoundEffect itself. (Waiting for the decoder in a
    // nested event loop was what made Qt 6.4 lose the "ready" signal and leave a sample loading for good.)
    FSource = QUrl::fromLocalFile(Path);
    FEffect.setSource(FSource);
    FRequested.start();
}

void TSoundEffectOutput::Start()
{
    // Qt 6.4's sample cache can miss telling an effect that its sample is ready, which leaves the effect
    // loading and silent for ever. By now the sample itself sits decoded in the cache, so asking again
    // hands it over at once.
    if (FEffect.status() == QSoundEffect::Loading && FRequested.isValid() && FRequested.elapsed() >= StuckLoadMs) {
        FEffect.setSource(QUrl());
        FEffect.setSource(FSource);
        FRequested.start();
    }
    // play() on a stuck "playing" effect would be taken as a restart anyway; stopping first makes
    // the start from the beginning explicit on every backend.
    if (FEffect.isPlaying())
        FEffect.stop();
    FEffect.play();
}

bool TSoundEffectOutput::IsPlaying() const
{
    return FEffect.isPlaying();
}

bool TSoundEffectOutput::HasFailed() const
{
    return FEffect.status() == QSoundEffect::Error;
}
