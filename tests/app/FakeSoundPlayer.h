// SPDX-License-Identifier: GPL-3.0-or-later
// A sound player that plays nothing and writes what it was asked into a log shared by the window's three players.
#pragma once

#include "SoundPlayer.h"

#include <QStringList>

namespace quorra {

class FakeSoundPlayer : public SoundPlayer
{
public:
    // Log receives "Open|<path>" and "Play|<file name>" entries; it must outlive the player.
    explicit FakeSoundPlayer(QStringList *log) : m_log(log) {}

    // When set, Play records its request and then fails, as a broken audio device may.
    bool fails = false;

    bool open(const QString &path) override;
    void play() override;

private:
    QStringList *m_log;
    QString m_name;
};

} // namespace quorra
