// SPDX-License-Identifier: GPL-3.0-or-later
// The recording pointer control of the window tests.
#include "FakePointerControl.h"

namespace quorra {

void FakePointerControl::moveTo(QPoint global, QWindow *)
{
    moves << global;
}

void FakePointerControl::confine(const QRect &global, QWindow *)
{
    confinements << global;
    confined = global;
}

void FakePointerControl::release()
{
    ++releases;
    confined = QRect();
}

} // namespace quorra
