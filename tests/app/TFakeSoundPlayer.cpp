// The recording sound player of the window tests.
#include "TFakeSoundPlayer.h"

#include <QFileInfo>

#include <stdexcept>

bool TFakeSoundPlayer::open(const QString &path)
{
    m_name = QFileInfo(path).fileName();
    *m_log << QStringLiteral("Open|") + path;
    return true;
}

void TFakeSoundPlayer::play()
{
    *m_log << QStringLiteral("Play|") + m_name;
    if (fails)
        throw std::runtime_error("audio device gone");
}
