// The recording pointer control of the window tests.
#include "TFakePointerControl.h"

void TFakePointerControl::MoveTo(QPoint Global, QWindow *)
{
    Moves << Global;
}

void TFakePointerControl::Confine(const QRect &Global, QWindow *)
{
    Confinements << Global;
    Confined = Global;
}

void TFakePointerControl::Release()
{
    ++Releases;
    Confined = QRect();
}
