// SPDX-License-Identifier: GPL-3.0-or-later
// A picture file read small, for a preview beside a file list.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace quorra {

// The picture at Path (any kind readPictureFile reads, chosen by extension as pictures are opened) scaled down to
// fit into Bounds with its proportions kept, or a null image when Path is not a regular file of one of those
// kinds or cannot be read. JPEG pictures are decoded at a fraction of their size, so a large photograph previews at
// once; other kinds above PreviewPixelBudget are decoded scaled where their reader can, else not at all (a null
// image). Safe on a worker thread; a DecodeCancellation there gives it up early.
QImage picturePreview(const QString &path, QSize bounds);

} // namespace quorra
