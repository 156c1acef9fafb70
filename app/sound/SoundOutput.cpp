// SPDX-License-Identifier: GPL-3.0-or-later
// The audio device a sound player drives, kept this small so tests can stand in for it.
#include "SoundOutput.h"

namespace quorra {

SoundOutput::~SoundOutput() = default;

} // namespace quorra
