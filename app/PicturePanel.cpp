// The picture panel with its tiled wallpaper; resizing it re-fits and re-centres the picture.
#include "PicturePanel.h"

#include <QMouseEvent>
#include <QPixmap>

PicturePanel::PicturePanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("picturePanel"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    // The window background brush tiles from the panel's corner, and Qt's backing store keeps the repaint
    // flicker-free, so the wallpaper needs no paint handler of its own.
    QPalette wallpaper = palette();
    wallpaper.setBrush(QPalette::Window, QBrush(QPixmap(QStringLiteral(":/wallpaper/Wallpaper.png"))));
    setPalette(wallpaper);
    setAutoFillBackground(true);
}

void PicturePanel::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    emit resized();
}

void PicturePanel::mouseMoveEvent(QMouseEvent *event)
{
    // Taken here, so the window behind does not hear of the same move again.
    event->accept();
    emit mouseMove();
}
