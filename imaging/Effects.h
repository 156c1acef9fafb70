// The concealing effects that hide each cell of an unsolved puzzle.
#pragma once

#include <QImage>

// A concealing effect's code as stored in puzzle files and settings: any value is legal and kept as it is; codes
// without an effect leave the cells unchanged.
using EffectCode = qint32;

namespace Effect {
constexpr EffectCode Obscure = 0;
constexpr EffectCode Dark = 1;
constexpr EffectCode Transparent = 2;
constexpr EffectCode Negative = 3;
constexpr EffectCode Hidden = 4;
constexpr EffectCode TopSecret = 5;
constexpr EffectCode LowResolution = 6;
} // namespace Effect

// Conceals the pixels of Cell (a working bitmap) in place. Number is written by Effect::Hidden only; Texture is tiled
// by Effect::Hidden and Effect::TopSecret. Any other effect code leaves the cell as it is. Reseeds the program's random
// generator from the clock at every call.
void applyEffect(QImage &cell, qint32 effect, qint32 number, const QImage &texture);
