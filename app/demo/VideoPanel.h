// SPDX-License-Identifier: GPL-3.0-or-later
// The demo window's video surface: the media layer's frames converted and painted without a graphics stack.
#pragma once

#include <QImage>
#include <QWidget>

class QVideoFrame;
class QVideoSink;

namespace quorra {

class VideoPanel : public QWidget
{
    Q_OBJECT

public:
    explicit VideoPanel(QWidget *parent = nullptr);

    // Where the player sends its frames.
    QVideoSink *videoSink() const { return m_sink; }
    // The frame on show; null before the first one and for a format that cannot be converted.
    const QImage &frame() const { return m_frame; }

    // The frame as a picture, for the formats a software decoder gives: planar and semi-planar YUV 4:2:0 and
    // 4:2:2 (video or full range, BT.601 colours) and packed RGB. Null for any other format.
    static QImage toImage(const QVideoFrame &frame);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void showFrame(const QVideoFrame &frame);

    QVideoSink *m_sink;
    QImage m_frame;
};

} // namespace quorra
