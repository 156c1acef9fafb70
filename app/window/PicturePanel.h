// SPDX-License-Identifier: GPL-3.0-or-later
// The picture panel: a sunken area below the tool bar that tiles the wallpaper and hosts the picture.
#pragma once

#include <QFrame>

namespace quorra {

class PicturePanel : public QFrame
{
    Q_OBJECT

public:
    explicit PicturePanel(QWidget *parent = nullptr);

    // The area inside the bevel, in which the picture is centred.
    QRect clientRect() const { return contentsRect(); }
    int clientWidth() const { return contentsRect().width(); }
    int clientHeight() const { return contentsRect().height(); }

    // A short text shown centred on the wallpaper, in the desktop's font and colours; empty shows none.
    QString hint() const { return m_hint; }
    void setHint(const QString &hint);

signals:
    void resized();
    // The pointer moved over the panel itself, off the picture.
    void mouseMove();
    // The wheel turned with Ctrl held, over the panel or the picture: towards the screen's top is In.
    void zoomWheel(bool in);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QString m_hint;
};

} // namespace quorra
