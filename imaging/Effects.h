// SPDX-License-Identifier: GPL-3.0-or-later
// The concealing effects on the desktop's working bitmaps.
#pragma once

#include "core/Effects.h"

#include <QImage>

namespace quorra {

// Conceals the pixels of Cell (a working bitmap; any other format is made one first) in place. Number is written
// by Effect::Hidden only, in the stamp font; Texture is tiled by Effect::Hidden and Effect::TopSecret. Any other
// effect code leaves the cell's pixels as they are. Reseeds the program's random generator from the clock at every
// call.
void applyEffect(QImage &cell, qint32 effect, qint32 number, const QImage &texture);

} // namespace quorra
