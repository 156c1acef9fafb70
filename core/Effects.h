// SPDX-License-Identifier: GPL-3.0-or-later
// The concealing effects that hide each cell of an unsolved puzzle, worked on plain pixels.
#pragma once

#include "NumberStamp.h"
#include "PixelView.h"

#include <cstdint>

namespace quorra {

// A concealing effect's code as stored in puzzle files and settings: any value is legal and kept as it is; codes
// without an effect leave the cells unchanged.
using EffectCode = std::int32_t;

namespace Effect {
constexpr EffectCode Obscure = 0;
constexpr EffectCode Dark = 1;
constexpr EffectCode Transparent = 2;
constexpr EffectCode Negative = 3;
constexpr EffectCode Hidden = 4;
constexpr EffectCode TopSecret = 5;
constexpr EffectCode LowResolution = 6;
} // namespace Effect

// Conceals the pixels of Cell in place. Texture is tiled by Effect::Hidden and Effect::TopSecret (one without pixels
// tiles nothing), and Stamp then writes Number for Effect::Hidden. Any other effect code, and a cell without
// pixels, leave the cell as it is. Reseeds the program's random generator from the clock at every call.
void applyEffect(PixelView cell, EffectCode effect, std::int32_t number, ConstPixelView texture, NumberStamp &stamp);

} // namespace quorra
