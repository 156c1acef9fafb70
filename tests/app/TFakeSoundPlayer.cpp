// The recording sound player of the window tests.
#include "TFakeSoundPlayer.h"

#include <QFileInfo>

#include <stdexcept>

bool TFakeSoundPlayer::Open(const QString &Path)
{
    FName = QFileInfo(Path).fileName();
    *FLog << QStringLiteral("Open|") + Path;
    return true;
}

void TFakeSoundPlayer::Play()
{
    *FLog << QStringLiteral("Play|") + FName;
    if (Fails)
        throw std::runtime_error("audio device gone");
}
