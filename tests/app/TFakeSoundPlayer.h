// A sound player that plays nothing and writes what it was asked into a log shared by the window's three players.
#pragma once

#include "TSoundPlayer.h"

#include <QStringList>

class TFakeSoundPlayer : public TSoundPlayer
{
public:
    // Log receives "Open|<path>" and "Play|<file name>" entries; it must outlive the player.
    explicit TFakeSoundPlayer(QStringList *log) : m_log(log) {}

    // When set, Play records its request and then fails, as a broken audio device may.
    bool fails = false;

    bool open(const QString &path) override;
    void play() override;

private:
    QStringList *m_log;
    QString m_name;
};
