// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's numbered paper: each cell's number drawn with QPainter in the stamp font.
#pragma once

#include "core/NumberStamp.h"

#include <QImage>

namespace quorra {

class QtNumberStamp : public NumberStamp
{
public:
    // Texture is the paper the cells show under their numbers; numbers drawn on a working bitmap paper are
    // remembered per paper, cell size and number.
    explicit QtNumberStamp(const QImage &texture) : m_texture(texture) {}

    // Cell is a working bitmap's pixels.
    void stamp(PixelView cell, std::int32_t number) override;

private:
    QImage m_texture;
};

} // namespace quorra
