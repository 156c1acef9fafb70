// The sound device over QSoundEffect: low latency, 8- and 16-bit PCM WAV only.
#include "TSoundEffectOutput.h"

#include <QUrl>

void TSoundEffectOutput::Load(const QString &Path)
{
    FEffect.setSource(QUrl::fromLocalFile(Path));
}

void TSoundEffectOutput::Start()
{
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
