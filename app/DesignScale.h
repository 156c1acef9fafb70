// Converts the windows' design sizes, drawn at 120 dots per inch, to the screen's logical dots per inch.
#pragma once

#include <QWidget>
#include <cmath>

inline int DesignPixels(int Pixels, const QWidget *Widget)
{
    return int(std::lround(Pixels * Widget->logicalDpiX() / 120.0));
}
