// SPDX-License-Identifier: GPL-3.0-or-later
// The demo window's video surface. Qt's own video widget draws through OpenGL, which loads a whole graphics driver
// (without a graphics card, Mesa's software renderer and LLVM: some 90 MB) that stayed in the program's memory for
// the rest of the run after the demo window had closed. A frame of the demo is small: the processor converts and
// paints it.
#include "VideoPanel.h"

#include <QPainter>
#include <QVideoFrame>
#include <QVideoSink>

#include <algorithm>

namespace quorra {

namespace {

uchar clamped(int value)
{
    return uchar(std::clamp(value, 0, 255));
}

// One row of YUV to XRGB32, BT.601 in 16.16 fixed point. U and V step every second pixel (their planes are half
// as wide); Step is the distance between two chroma samples of a row (1 planar, 2 interleaved), LastSample the
// last one the row holds.
void convertRow(const uchar *y, const uchar *u, const uchar *v, int step, int lastSample, bool fullRange, int width,
                QRgb *out)
{
    for (int x = 0; x < width; ++x) {
        const int c = std::min(x / 2, lastSample) * step;
        const int cb = u[c] - 128;
        const int cr = v[c] - 128;
        int l, r, g, b;
        if (fullRange) {
            l = y[x] << 16;
            r = l + 91881 * cr;
            g = l - 22554 * cb - 46802 * cr;
            b = l + 116130 * cb;
        } else {
            l = (y[x] - 16) * 76309;
            r = l + 104597 * cr;
            g = l - 25675 * cb - 53279 * cr;
            b = l + 132201 * cb;
        }
        out[x] = qRgb(clamped((r + 32768) >> 16), clamped((g + 32768) >> 16), clamped((b + 32768) >> 16));
    }
}

} // namespace

VideoPanel::VideoPanel(QWidget *parent) : QWidget(parent), m_sink(new QVideoSink(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(m_sink, &QVideoSink::videoFrameChanged, this, &VideoPanel::showFrame);
}

void VideoPanel::showFrame(const QVideoFrame &frame)
{
    m_frame = toImage(frame);
    update();
}

QImage VideoPanel::toImage(const QVideoFrame &source)
{
    QVideoFrame frame(source);
    const int width = frame.width(), height = frame.height();
    if (width <= 0 || height <= 0 || !frame.map(QVideoFrame::ReadOnly))
        return QImage();
    const QVideoFrameFormat::PixelFormat format = frame.pixelFormat();
    const bool fullRange = frame.surfaceFormat().colorRange() == QVideoFrameFormat::ColorRange_Full;
    QImage image;

    // Nothing is read past what is mapped: with an odd width or height the chroma planes are not always given
    // the extra sample or row they need (Qt's own frames lack them), and their last one stands in.
    auto rowsOf = [&](int plane) {
        return frame.bytesPerLine(plane) > 0 ? frame.mappedBytes(plane) / frame.bytesPerLine(plane) : 0;
    };
    auto lineOf = [&](int plane, int row) {
        return frame.bits(plane) + qsizetype(std::min(row, rowsOf(plane) - 1)) * frame.bytesPerLine(plane);
    };
    const bool lumaWhole = frame.bytesPerLine(0) >= width && rowsOf(0) >= height;
    auto planar = [&](int u, int v, int chromaRowsPerRow) {
        const int lastSample = std::min(frame.bytesPerLine(u), frame.bytesPerLine(v)) - 1;
        if (!lumaWhole || lastSample < 0 || rowsOf(u) < 1 || rowsOf(v) < 1)
            return;
        image = QImage(width, height, QImage::Format_RGB32);
        for (int row = 0; row < height; ++row)
            convertRow(lineOf(0, row), lineOf(u, row / chromaRowsPerRow), lineOf(v, row / chromaRowsPerRow), 1,
                       lastSample, fullRange, width, reinterpret_cast<QRgb *>(image.scanLine(row)));
    };
    auto semiPlanar = [&](int uOffset, int vOffset) {
        const int lastSample = frame.bytesPerLine(1) / 2 - 1;
        if (!lumaWhole || lastSample < 0 || rowsOf(1) < 1)
            return;
        image = QImage(width, height, QImage::Format_RGB32);
        for (int row = 0; row < height; ++row)
            convertRow(lineOf(0, row), lineOf(1, row / 2) + uOffset, lineOf(1, row / 2) + vOffset, 2, lastSample,
                       fullRange, width, reinterpret_cast<QRgb *>(image.scanLine(row)));
    };

    switch (format) {
    case QVideoFrameFormat::Format_YUV420P:
        planar(1, 2, 2);
        break;
    case QVideoFrameFormat::Format_YV12:
        planar(2, 1, 2);
        break;
    case QVideoFrameFormat::Format_YUV422P:
        planar(1, 2, 1);
        break;
    case QVideoFrameFormat::Format_NV12:
        semiPlanar(0, 1);
        break;
    case QVideoFrameFormat::Format_NV21:
        semiPlanar(1, 0);
        break;
    default:
        if (const QImage::Format packed = QVideoFrameFormat::imageFormatFromPixelFormat(format);
            packed != QImage::Format_Invalid && rowsOf(0) >= height
            && frame.bytesPerLine(0) >= width * int(QImage::toPixelFormat(packed).bitsPerPixel() / 8))
            image = QImage(frame.bits(0), width, height, frame.bytesPerLine(0), packed).copy();
        break;
    }
    frame.unmap();
    return image;
}

void VideoPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_frame.isNull())
        return;
    QRect target(QPoint(0, 0), m_frame.size().scaled(size(), Qt::KeepAspectRatio));
    target.moveCenter(rect().center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_frame);
}

} // namespace quorra
