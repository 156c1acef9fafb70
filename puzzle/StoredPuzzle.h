// The part of a puzzle that its file keeps: version, effect, semi-effect, grid and source picture.
#pragma once

#include "Effects.h"
#include "TileGrid.h"

#include <QImage>

struct StoredPuzzle {
    qint32 version = 0;
    EffectCode effect = 0;
    bool semiEffect = false;
    TileGrid grid;
    QImage source;
};
