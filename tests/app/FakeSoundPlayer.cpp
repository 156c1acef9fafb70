// SPDX-License-Identifier: GPL-3.0-or-later
// The recording sound player of the window tests.
#include "FakeSoundPlayer.h"

#include <QFileInfo>

#include <stdexcept>

namespace quorra {

bool FakeSoundPlayer::open(const QString &path)
{
    m_name = QFileInfo(path).fileName();
    *m_log << QStringLiteral("Open|") + path;
    return true;
}

void FakeSoundPlayer::play()
{
    *m_log << QStringLiteral("Play|") + m_name;
    if (fails)
        throw std::runtime_error("audio device gone");
}

} // namespace quorra
