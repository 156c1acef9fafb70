// The picture panel: a sunken area below the tool bar that tiles the wallpaper and hosts the picture.
#pragma once

#include <QFrame>

class TPicturePanel : public QFrame
{
    Q_OBJECT

public:
    explicit TPicturePanel(QWidget *Parent = nullptr);

    // The area inside the bevel, in which the picture is centred.
    QRect ClientRect() const { return contentsRect(); }
    int ClientWidth() const { return contentsRect().width(); }
    int ClientHeight() const { return contentsRect().height(); }

signals:
    void Resized();
    // The pointer moved over the panel itself, off the picture.
    void MouseMove();

protected:
    void resizeEvent(QResizeEvent *Event) override;
    void mouseMoveEvent(QMouseEvent *Event) override;
};
