// SPDX-License-Identifier: GPL-3.0-or-later
// The inputs the benchmark makes for itself: a photograph-like picture, its puzzle files, the settings to start with.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace quorra {

// A picture with the statistics of a photograph: smooth gradients, edges, fine texture in places and sensor
// noise everywhere, so that its JPEG stream has a realistic size. Working format (BGR888); the same every run.
QImage makePhotograph(int width, int height);

// Writes a puzzle file of Picture with the engine itself: the given effect and split, edit options as given.
void makePuzzleFile(const QImage &picture, const QString &path, qint32 effect, int rows, int cols, bool emptyRow,
                    bool emptyCol);

// The JPEG stream of a puzzle file: every byte after its header and grid.
QByteArray jpegPartOf(const QString &puzzlePath);

// Decodes a JPEG stream into a new 24-bit picture with libjpeg's defaults, scan line by scan line.
QImage decodeWithLibjpeg(const QByteArray &stream);
// Encodes a 24-bit (BGR888) picture as baseline JPEG at quality 90 into memory.
QByteArray encodeWithLibjpeg(const QImage &picture);

// Settings that switch the demo window and the sounds off, for the program's own name and the benchmark's.
void writeSettings(const QString &folder, const QString &name);

} // namespace quorra
