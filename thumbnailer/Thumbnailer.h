// SPDX-License-Identifier: GPL-3.0-or-later
// Draws a puzzle file as file managers show it: the concealed grid, never the photograph.
#pragma once

#include <QImage>
#include <QString>

namespace quorra {

class Thumbnailer
{
public:
    // The largest edge that is drawn; file managers ask for 1024 at most.
    static constexpr int MaxSize = 4096;

    // The puzzle file at Path drawn in its solved order, concealed and with its grid lines, fitted into
    // Size x Size with its proportions kept. Raises UserError for a file that is missing, damaged or too new.
    static QImage render(const QString &path, int size);

    // The effect a thumbnail shows for a stored effect code. Effects that leave any of the photograph's own
    // pixels in place (those that show half the pixels as they are, the mosaic, the negative, whose grid
    // lines invert back to the photograph, and codes that conceal nothing) are shown as the plain texture.
    static qint32 shownEffect(qint32 stored);

    // Writes Image as PNG to Path in one piece: a failed write leaves no file behind. Returns false on failure.
    static bool writePng(const QImage &image, const QString &path);
};

} // namespace quorra
