// The picture panel with its tiled wallpaper; resizing it re-fits and re-centres the picture.
#include "TPicturePanel.h"

#include <QMouseEvent>
#include <QPixmap>

TPicturePanel::TPicturePanel(QWidget *Parent) : QFrame(Parent)
{
    setObjectName(QStringLiteral("ImageSpeedBar"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    // The window background brush tiles from the panel's corner, and Qt's backing store keeps the repaint
    // flicker-free, so the wallpaper needs no paint handler of its own.
    QPalette Palette = palette();
    Palette.setBrush(QPalette::Window, QBrush(QPixmap(QStringLiteral(":/wallpaper/Wallpaper.png"))));
    setPalette(Palette);
    setAutoFillBackground(true);
}

void TPicturePanel::resizeEvent(QResizeEvent *Event)
{
    QFrame::resizeEvent(Event);
    emit Resized();
}

void TPicturePanel::mouseMoveEvent(QMouseEvent *Event)
{
    // Taken here, so the window behind does not hear of the same move again.
    Event->accept();
    emit MouseMove();
}
