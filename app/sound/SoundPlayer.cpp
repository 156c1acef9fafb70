// SPDX-License-Identifier: GPL-3.0-or-later
// The one thing the window asks of a sound: open its file once, then play it on request.
#include "SoundPlayer.h"

namespace quorra {

SoundPlayer::~SoundPlayer() = default;

} // namespace quorra
