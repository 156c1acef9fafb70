// SPDX-License-Identifier: GPL-3.0-or-later
// The one thing the window asks of a sound: open its file once, then play it on request.
#pragma once

#include <QString>

namespace quorra {

class SoundPlayer
{
public:
    virtual ~SoundPlayer();

    // Opens the sound file once at start. A file that cannot be opened leaves the player silent
    // for the whole run; nothing is ever shown for it. Returns whether the sound is usable.
    virtual bool open(const QString &path) = 0;

    // Gets an open sound ready to play at once; the window asks for it after its first paint.
    virtual void prepare() {}

    // Asks for the sound. Returns at once; never fails visibly.
    virtual void play() = 0;
};

} // namespace quorra
