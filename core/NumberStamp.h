// SPDX-License-Identifier: GPL-3.0-or-later
// The way the numbered paper reaches a font: core has none, so each front end writes the number its own way.
#pragma once

#include "PixelView.h"

#include <cstdint>

namespace quorra {

class NumberStamp
{
public:
    virtual ~NumberStamp() = default;

    // Writes Number onto Cell, which already shows the tiled paper texture.
    virtual void stamp(PixelView cell, std::int32_t number) = 0;

protected:
    NumberStamp() = default;
    NumberStamp(const NumberStamp &) = default;
    NumberStamp &operator=(const NumberStamp &) = default;
};

} // namespace quorra
