// A pointer control that moves and holds nothing but records every request, in screen coordinates.
#pragma once

#include "TPointerControl.h"

#include <QList>

class TFakePointerControl : public TPointerControl
{
public:
    QList<QPoint> Moves;
    QList<QRect> Confinements;
    int Releases = 0;
    // The confinement in force now; empty when the pointer is free.
    QRect Confined;

    void MoveTo(QPoint Global, QWindow *Window) override;
    void Confine(const QRect &Global, QWindow *Receiver) override;
    void Release() override;
    bool IsConfined() const override { return !Confined.isEmpty(); }
};
