// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the first image of a GIF file through giflib, with its transparent colour marked.
#pragma once

#include "DecodeLimits.h"

#include <QImage>

class QIODevice;

namespace quorra {

// Reads the first image of a GIF at the device's position (and nothing after it) into an 8-bit palette picture
// of that image's own size; a transparent colour index gets alpha 0 in the colour table. Failures raise
// "Unknown GIF version", "GIF encoded data is corrupt", "GIF code size not in range 2 to 9" or
// "Stream read error"; an oversized image, or one beyond Limits (giflib decodes nothing scaled), raises the size or
// the memory refusal before its pixels are allocated.
QImage readGif(QIODevice &in, const DecodeLimits &limits = {});

} // namespace quorra
