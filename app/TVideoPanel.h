// The demo window's video surface: the media layer's frames converted and painted without a graphics stack.
#pragma once

#include <QImage>
#include <QWidget>

class QVideoFrame;
class QVideoSink;

class TVideoPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TVideoPanel(QWidget *Parent = nullptr);

    // Where the player sends its frames.
    QVideoSink *VideoSink() const { return FSink; }
    // The frame on show; null before the first one and for a format that cannot be converted.
    const QImage &Frame() const { return FFrame; }

    // The frame as a picture, for the formats a software decoder gives: planar and semi-planar YUV 4:2:0 and
    // 4:2:2 (video or full range, BT.601 colours) and packed RGB. Null for any other format.
    static QImage ToImage(const QVideoFrame &Frame);

protected:
    void paintEvent(QPaintEvent *Event) override;

private:
    void ShowFrame(const QVideoFrame &Frame);

    QVideoSink *FSink;
    QImage FFrame;
};
