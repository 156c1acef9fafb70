// The recording pointer control of the window tests.
#include "TFakePointerControl.h"

void TFakePointerControl::moveTo(QPoint global, QWindow *)
{
    moves << global;
}

void TFakePointerControl::confine(const QRect &global, QWindow *)
{
    confinements << global;
    confined = global;
}

void TFakePointerControl::release()
{
    ++releases;
    confined = QRect();
}
