// The sound device over QSoundEffect: low latency, 8- and 16-bit PCM WAV only.
#include "TSoundEffectOutput.h"

#include <QEventLoop>
#include <QTimer>
#include <QUrl>

void TSoundEffectOutput::Load(const QString &Path)
{
    FEffect.setSource(QUrl::fromLocalFile(Path));
    // Qt 6.4's shared sample cache deadlocks (or crashes) at program exit when a sample is still
    // being decoded on its loader thread. The game's sounds are a few kilobytes, so waiting here for
    // the decoder (briefly, and only once at start) keeps a quick quit or a short test run safe.
    if (FEffect.status() != QSoundEffect::Loading)
        return;
    QEventLoop Loop;
    QObject::connect(&FEffect, &QSoundEffect::statusChanged, &Loop, [this, &Loop] {
        if (FEffect.status() != QSoundEffect::Loading)
            Loop.quit();
    });
    QTimer::singleShot(LoadWaitMs, &Loop, &QEventLoop::quit);
    Loop.exec(QEventLoop::ExcludeUserInputEvents);
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
