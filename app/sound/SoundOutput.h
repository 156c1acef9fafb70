// SPDX-License-Identifier: GPL-3.0-or-later
// The audio device a sound player drives, kept this small so tests can stand in for it.
#pragma once

#include <QString>

namespace quorra {

class SoundOutput
{
public:
    virtual ~SoundOutput();

    // Starts loading the file; loading may finish (or fail) later.
    virtual void load(const QString &path) = 0;
    // Makes the device ready ahead of the first start, where that is work of its own.
    virtual void prepare() {}
    // Plays from the very beginning, cutting off whatever of this sound is still sounding.
    virtual void start() = 0;
    // What the device believes; without a sound server this may never turn false.
    virtual bool isPlaying() const = 0;
    // Loading or decoding has failed for good.
    virtual bool hasFailed() const = 0;
};

} // namespace quorra
