// SPDX-License-Identifier: GPL-3.0-or-later
// The view: fits the puzzle to the panel, zooms it, and keeps the picture centred in the panel.
#pragma once

#include <QSize>
#include <functional>

class QRect;

namespace quorra {

class PicturePanel;
class PictureView;
class Puzzle;

class PictureLayout
{
public:
    // Puzzle gives the puzzle on screen (null when there is none), AutoFit whether the view keeps it fitted to
    // the panel, and Frozen whether a tangle is running, under which the grid must not be rebuilt.
    PictureLayout(PicturePanel *panel, PictureView *view, std::function<Puzzle *()> puzzle,
                  std::function<bool()> autoFit, std::function<bool()> frozen);

    // The panel's client area in screen pixels, which the picture is fitted to.
    QSize panelPixels() const;
    // Device pixels per unit of the panel's screen (2 at a scale factor of 2).
    double pixelRatio() const;

    // Fits the puzzle to the panel as it is now and centres the picture; run whenever the panel changes size.
    void refit();
    // Fits the puzzle and re-centres the picture when the fit changed its size: the window's command update.
    void keepFitted();
    // Centres the picture in the panel at the size of its bitmap.
    void place();
    // Shows the bitmap now, in full, at its current size.
    void repaint();
    // The picture control takes its bitmap's size, where it stays (the bitmap has gone).
    void sizeToBitmap();
    // Rect of the bitmap has new pixels.
    void bitmapChanged(const QRect &rect);

    // The View commands; Zoom Out and Actual Size leave Auto Best Fit to their caller.
    void zoomIn();
    void zoomOut();
    void actualSize();
    void bestFit();

private:
    void fit(Puzzle &puzzle);
    // Changes the puzzle's scale and fits the picture anew; nothing without a puzzle.
    void zoom(void (Puzzle::*change)());

    PicturePanel *m_panel;
    PictureView *m_view;
    std::function<Puzzle *()> m_puzzle;
    std::function<bool()> m_autoFit;
    std::function<bool()> m_frozen;
};

} // namespace quorra
