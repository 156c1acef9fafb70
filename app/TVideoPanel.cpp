// The demo window's video surface. Qt's own video widget draws through OpenGL, which loads a whole graphics driver
// (without a graphics card, Mesa's software renderer and LLVM: some 90 MB) that stayed in the program's memory for
// the rest of the run after the demo window had closed. A frame of the demo is small: the processor converts and
// paints it.
#include "TVideoPanel.h"

#include <QPainter>
#include <QVideoFrame>
#include <QVideoSink>

#include <algorithm>

namespace {

uchar Clamped(int Value)
{
    return uchar(std::clamp(Value, 0, 255));
}

// One row of YUV to XRGB32, BT.601 in 16.16 fixed point. U and V step every second pixel (their planes are half
// as wide); Step is the distance between two chroma samples of a row (1 planar, 2 interleaved), LastSample the
// last one the row holds.
void ConvertRow(const uchar *Y, const uchar *U, const uchar *V, int Step, int LastSample, bool FullRange, int Width,
                QRgb *Out)
{
    for (int X = 0; X < Width; ++X) {
        const int C = std::min(X / 2, LastSample) * Step;
        const int Cb = U[C] - 128;
        const int Cr = V[C] - 128;
        int L, R, G, B;
        if (FullRange) {
            L = Y[X] << 16;
            R = L + 91881 * Cr;
            G = L - 22554 * Cb - 46802 * Cr;
            B = L + 116130 * Cb;
        } else {
            L = (Y[X] - 16) * 76309;
            R = L + 104597 * Cr;
            G = L - 25675 * Cb - 53279 * Cr;
            B = L + 132201 * Cb;
        }
        Out[X] = qRgb(Clamped((R + 32768) >> 16), Clamped((G + 32768) >> 16), Clamped((B + 32768) >> 16));
    }
}

} // namespace

TVideoPanel::TVideoPanel(QWidget *Parent) : QWidget(Parent), FSink(new QVideoSink(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(FSink, &QVideoSink::videoFrameChanged, this, &TVideoPanel::ShowFrame);
}

void TVideoPanel::ShowFrame(const QVideoFrame &Frame)
{
    FFrame = ToImage(Frame);
    update();
}

QImage TVideoPanel::ToImage(const QVideoFrame &Source)
{
    QVideoFrame Frame(Source);
    const int Width = Frame.width(), Height = Frame.height();
    if (Width <= 0 || Height <= 0 || !Frame.map(QVideoFrame::ReadOnly))
        return QImage();
    const QVideoFrameFormat::PixelFormat Format = Frame.pixelFormat();
    const bool FullRange = Frame.surfaceFormat().colorRange() == QVideoFrameFormat::ColorRange_Full;
    QImage Image;

    // Nothing is read past what is mapped: with an odd width or height the chroma planes are not always given
    // the extra sample or row they need (Qt's own frames lack them), and their last one stands in.
    auto Rows = [&](int Plane) {
        return Frame.bytesPerLine(Plane) > 0 ? Frame.mappedBytes(Plane) / Frame.bytesPerLine(Plane) : 0;
    };
    auto Line = [&](int Plane, int Row) {
        return Frame.bits(Plane) + qsizetype(std::min(Row, Rows(Plane) - 1)) * Frame.bytesPerLine(Plane);
    };
    const bool LumaWhole = Frame.bytesPerLine(0) >= Width && Rows(0) >= Height;
    auto Planar = [&](int U, int V, int ChromaRowsPerRow) {
        const int LastSample = std::min(Frame.bytesPerLine(U), Frame.bytesPerLine(V)) - 1;
        if (!LumaWhole || LastSample < 0 || Rows(U) < 1 || Rows(V) < 1)
            return;
        Image = QImage(Width, Height, QImage::Format_RGB32);
        for (int Row = 0; Row < Height; ++Row)
            ConvertRow(Line(0, Row), Line(U, Row / ChromaRowsPerRow), Line(V, Row / ChromaRowsPerRow), 1, LastSample,
                       FullRange, Width, reinterpret_cast<QRgb *>(Image.scanLine(Row)));
    };
    auto SemiPlanar = [&](int UOffset, int VOffset) {
        const int LastSample = Frame.bytesPerLine(1) / 2 - 1;
        if (!LumaWhole || LastSample < 0 || Rows(1) < 1)
            return;
        Image = QImage(Width, Height, QImage::Format_RGB32);
        for (int Row = 0; Row < Height; ++Row)
            ConvertRow(Line(0, Row), Line(1, Row / 2) + UOffset, Line(1, Row / 2) + VOffset, 2, LastSample,
                       FullRange, Width, reinterpret_cast<QRgb *>(Image.scanLine(Row)));
    };

    switch (Format) {
    case QVideoFrameFormat::Format_YUV420P:
        Planar(1, 2, 2);
        break;
    case QVideoFrameFormat::Format_YV12:
        Planar(2, 1, 2);
        break;
    case QVideoFrameFormat::Format_YUV422P:
        Planar(1, 2, 1);
        break;
    case QVideoFrameFormat::Format_NV12:
        SemiPlanar(0, 1);
        break;
    case QVideoFrameFormat::Format_NV21:
        SemiPlanar(1, 0);
        break;
    default:
        if (const QImage::Format Packed = QVideoFrameFormat::imageFormatFromPixelFormat(Format);
            Packed != QImage::Format_Invalid && Rows(0) >= Height &&
            Frame.bytesPerLine(0) >= Width * int(QImage::toPixelFormat(Packed).bitsPerPixel() / 8))
            Image = QImage(Frame.bits(0), Width, Height, Frame.bytesPerLine(0), Packed).copy();
        break;
    }
    Frame.unmap();
    return Image;
}

void TVideoPanel::paintEvent(QPaintEvent *)
{
    QPainter Painter(this);
    Painter.fillRect(rect(), Qt::black);
    if (FFrame.isNull())
        return;
    QRect Target(QPoint(0, 0), FFrame.size().scaled(size(), Qt::KeepAspectRatio));
    Target.moveCenter(rect().center());
    Painter.setRenderHint(QPainter::SmoothPixmapTransform);
    Painter.drawImage(Target, FFrame);
}
