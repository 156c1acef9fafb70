// The demo window's video surface. Qt's own video widget draws through OpenGL, which loads a whole graphics driver
// (without a graphics card, Mesa's software renderer and LLVM: some 90 MB) that stayed in the program's memory for
// the rest of the run after the demo window had closed. A frame of the demo is small: the processor converts and
// paints it.
#include "VideoPanel.h"

#include <QPainter>
#include <QVideoFrame>
#include <QVideoSink>

#include <algorithm>

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
    const int Width = frame.width(), Height = frame.height();
    if (Width <= 0 || Height <= 0 || !frame.map(QVideoFrame::ReadOnly))
        return QImage();
    const QVideoFrameFormat::PixelFormat format = frame.pixelFormat();
    const bool FullRange = frame.surfaceFormat().colorRange() == QVideoFrameFormat::ColorRange_Full;
    QImage Image;

    // Nothing is read past what is mapped: with an odd width or height the chroma planes are not always given
    // the extra sample or row they need (Qt's own frames lack them), and their last one stands in.
    auto Rows = [&](int plane) {
        return frame.bytesPerLine(plane) > 0 ? frame.mappedBytes(plane) / frame.bytesPerLine(plane) : 0;
    };
    auto Line = [&](int plane, int row) {
        return frame.bits(plane) + qsizetype(std::min(row, Rows(plane) - 1)) * frame.bytesPerLine(plane);
    };
    const bool LumaWhole = frame.bytesPerLine(0) >= Width && Rows(0) >= Height;
    auto planar = [&](int u, int v, int chromaRowsPerRow) {
        const int lastSample = std::min(frame.bytesPerLine(u), frame.bytesPerLine(v)) - 1;
        if (!LumaWhole || lastSample < 0 || Rows(u) < 1 || Rows(v) < 1)
            return;
        Image = QImage(Width, Height, QImage::Format_RGB32);
        for (int row = 0; row < Height; ++row)
            convertRow(Line(0, row), Line(u, row / chromaRowsPerRow), Line(v, row / chromaRowsPerRow), 1, lastSample,
                       FullRange, Width, reinterpret_cast<QRgb *>(Image.scanLine(row)));
    };
    auto semiPlanar = [&](int uOffset, int vOffset) {
        const int lastSample = frame.bytesPerLine(1) / 2 - 1;
        if (!LumaWhole || lastSample < 0 || Rows(1) < 1)
            return;
        Image = QImage(Width, Height, QImage::Format_RGB32);
        for (int row = 0; row < Height; ++row)
            convertRow(Line(0, row), Line(1, row / 2) + uOffset, Line(1, row / 2) + vOffset, 2, lastSample,
                       FullRange, Width, reinterpret_cast<QRgb *>(Image.scanLine(row)));
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
            packed != QImage::Format_Invalid && Rows(0) >= Height &&
            frame.bytesPerLine(0) >= Width * int(QImage::toPixelFormat(packed).bitsPerPixel() / 8))
            Image = QImage(frame.bits(0), Width, Height, frame.bytesPerLine(0), packed).copy();
        break;
    }
    frame.unmap();
    return Image;
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
