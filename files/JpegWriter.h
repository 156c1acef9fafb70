// SPDX-License-Identifier: GPL-3.0-or-later
// Encodes a picture as a baseline colour JPEG at quality 90 onto any device, row by row.
#pragma once

#include <QImage>

class QIODevice;

namespace quorra {

class JpegWriter
{
public:
    static constexpr int Quality = 90;

    // Writes the whole JPEG (JFIF) stream of Picture, whatever its pixel format, at Out's position. A
    // transparency mark is ignored: transparent pixels keep the colour they have. Returns false when Out
    // refused bytes (its errorString says why); libjpeg's own failures raise UserError "JPEG error #%d".
    static bool write(const QImage &picture, QIODevice &out);
};

} // namespace quorra
