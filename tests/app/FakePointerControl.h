// SPDX-License-Identifier: GPL-3.0-or-later
// A pointer control that moves and holds nothing but records every request, in screen coordinates.
#pragma once

#include "PointerControl.h"

#include <QList>

namespace quorra {

class FakePointerControl : public PointerControl
{
public:
    QList<QPoint> moves;
    QList<QRect> confinements;
    int releases = 0;
    // The confinement in force now; empty when the pointer is free.
    QRect confined;

    void moveTo(QPoint global, QWindow *window) override;
    void confine(const QRect &global, QWindow *receiver) override;
    void release() override;
    bool isConfined() const override { return !confined.isEmpty(); }
};

} // namespace quorra
