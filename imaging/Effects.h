// The concealing effects that hide each cell of an unsolved puzzle.
#pragma once

#include <QImage>

enum TEffectKind : qint32 {
    ekObscure = 0,
    ekDark = 1,
    ekTransparent = 2,
    ekNegative = 3,
    ekHidden = 4,
    ekTopSecret = 5,
    ekLowResolution = 6,
};

// Conceals the pixels of Cell (a working bitmap) in place. Number is written by ekHidden only; Texture is tiled
// by ekHidden and ekTopSecret. Any other effect code leaves the cell as it is. Reseeds the program's random
// generator from the clock at every call.
void ApplyEffect(QImage &Cell, qint32 Effect, qint32 Number, const QImage &Texture);
