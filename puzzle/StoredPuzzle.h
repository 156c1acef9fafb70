// SPDX-License-Identifier: GPL-3.0-or-later
// The part of a puzzle that its file keeps: version, effect, semi-effect, grid and source picture.
#pragma once

#include "Effects.h"
#include "core/TileGrid.h"

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace quorra {

struct StoredPuzzle {
    qint32 version = 0;
    EffectCode effect = 0;
    bool semiEffect = false;
    TileGrid grid;
    // The picture as decoded, reduced when it was read for a small view.
    QImage source;
    // The whole picture's size; invalid means Source's own.
    QSize pictureSize;
    // The picture's JPEG stream as the file holds it; empty for a picture that has none yet.
    QByteArray pictureStream;
};

} // namespace quorra
