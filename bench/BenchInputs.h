// The inputs the benchmark makes for itself: a photograph-like picture and puzzle files of it.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// A picture with the statistics of a photograph: smooth gradients, edges, fine texture in places and sensor
// noise everywhere, so that its JPEG stream has a realistic size. Working format (BGR888); the same every run.
QImage MakePhotograph(int Width, int Height);

// Writes a puzzle file of Picture with the engine itself: the given effect and split, edit options as given.
void MakePuzzleFile(const QImage &Picture, const QString &Path, qint32 Effect, int Rows, int Cols, bool EmptyRow,
                    bool EmptyCol);

// The JPEG stream of a puzzle file: every byte after its header and grid.
QByteArray JpegPartOf(const QString &PuzzlePath);

// Decodes a JPEG stream into a new 24-bit picture with libjpeg's defaults, scan line by scan line.
QImage DecodeWithLibjpeg(const QByteArray &Stream);
// Encodes a 24-bit (BGR888) picture as baseline JPEG at quality 90 into memory.
QByteArray EncodeWithLibjpeg(const QImage &Picture);
