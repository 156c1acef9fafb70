// One game sound: opened once, played on request, never restarted while it is still sounding.
#include "TMediaSoundPlayer.h"

#include "TSoundEffectOutput.h"
#include "TWaveHeader.h"

#include <chrono>

TMediaSoundPlayer::TMediaSoundPlayer(std::unique_ptr<TSoundOutput> Output, TClock Clock)
    : FOutput(std::move(Output))
    , FClock(std::move(Clock))
{
    if (!FOutput)
        FOutput = std::make_unique<TSoundEffectOutput>();
    if (!FClock)
        FClock = [] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        };
}

TMediaSoundPlayer::~TMediaSoundPlayer() = default;

bool TMediaSoundPlayer::Open(const QString &Path)
{
    FOpen = false;
    FStarted = false;
    // The header is read first: its length is what bounds "still playing" when the device never
    // reports the end, and a format the device cannot decode is better silent than noise.
    const TWaveHeader Header = TWaveHeader::ReadFile(Path);
    if (!Header.IsPlayable() || Header.DurationMs() <= 0)
        return false;
    FLengthMs = Header.DurationMs();
    FOutput->Load(Path);
    FOpen = true;
    return true;
}

bool TMediaSoundPlayer::StillRuns(qint64 Now) const
{
    if (!FStarted)
        return false;
    const qint64 Elapsed = Now - FStartedAt;
    // Within its own length a sound is running even if the device has not caught up yet;
    // a little beyond it the device has the say; after that it is over, whatever the device says.
    if (Elapsed < FLengthMs)
        return true;
    return FOutput->IsPlaying() && Elapsed < FLengthMs + EndToleranceMs;
}

void TMediaSoundPlayer::Play()
{
    if (!FOpen || FOutput->HasFailed())
        return;
    const qint64 Now = FClock();
    if (StillRuns(Now))
        return;
    FOutput->Start();
    FStarted = true;
    FStartedAt = Now;
}
