// SPDX-License-Identifier: GPL-3.0-or-later
// The puzzle object: a game (core's board, geometry and drag rules) shown from its picture: the working bitmaps at the
// view's scale, the cells drawn, the moving line, and the steps of what it shows over time.
#pragma once

#include "Effects.h"
#include "MovingLine.h"
#include "SourcePicture.h"
#include "StoredPuzzle.h"
#include "core/CellGeometry.h"
#include "core/DragRules.h"
#include "core/GameBoard.h"
#include "core/KeptGame.h"
#include "core/Tangle.h"
#include "core/TileGrid.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace quorra {

// What the puzzle is showing over time, one step after another.
enum class PuzzleAnimation : quint8 { None = 0, Tangle = 1, Slide = 2, Advice = 3 };

// What the owner learns while the puzzle works comes as signals, told only: nothing the puzzle does waits for them.
class Puzzle : public QObject
{
    Q_OBJECT

public:
    // Display is the bitmap on screen and Texture the concealment texture; neither is owned.
    Puzzle(QImage *display, const QImage *texture);
    ~Puzzle() = default;
    Puzzle(const Puzzle &) = delete;
    Puzzle &operator=(const Puzzle &) = delete;

    void setDisplay(QImage *display)
    {
        settleLine();
        m_display = display;
    }
    // Set when the owner shows animations over time: it calls advance() at the pace it chooses after
    // animationStarted until advance returns false. Otherwise the puzzle runs each one through at once.
    void setAnimatedByOwner(bool on) { m_animatedByOwner = on; }
    // Set when the owner paints a dragged line from movingLine(): each pointer move then costs one pass over the
    // line, and its pixels reach the display only when the display is next read or drawn on.
    void setPaintsMovingLine(bool on) { m_paintsMovingLine = on; }

    // What the puzzle is.
    qint32 version() const { return m_version; }
    EffectCode effect() const { return m_effect; }
    bool isSemiEffect() const { return m_semiEffect; }
    bool isEditMode() const { return m_game.isEditMode(); }
    bool isSolved() const { return m_game.isSolved(); }
    // A tangle shown step by step lets the window run meanwhile; no move belongs to the game until it ends.
    bool isTangling() const { return m_animation == PuzzleAnimation::Tangle; }
    // Nothing may move the puzzle while it shows something over time, whatever it is.
    bool isAnimating() const { return m_animation != PuzzleAnimation::None; }
    PuzzleAnimation animation() const { return m_animation; }
    const TileGrid &grid() const { return m_game.grid(); }
    const GameBoard &game() const { return m_game; }
    // The picture as decoded so far, which may be a reduction of it (at least as large as what is shown).
    const QImage &source() const { return m_source.bitmap(); }
    // The whole picture's size, from which every size the puzzle shows is computed.
    QSize pictureSize() const { return m_source.size(); }
    bool hasPicture() const { return !m_source.isNull(); }
    // The picture at its own size, decoded now when only a reduction was (then kept). Raises the decoder's errors.
    const QImage &wholePicture() { return m_source.whole(); }

    // How it is shown.
    double scale() const { return m_geometry.scale(); }
    double fitScale() const { return m_geometry.fitScale(); }
    int cellWidth() const { return m_geometry.cellWidth(); }
    int cellHeight() const { return m_geometry.cellHeight(); }
    int dragThreshold() const { return m_geometry.dragThreshold(); }
    const CellGeometry &geometry() const { return m_geometry; }
    const QImage &display() const
    {
        settleLine();
        return *m_display;
    }

    // The move in progress.
    CellPos selected() const { return m_game.selected(); }
    QPoint anchor() const { return QPoint(m_drag.anchor().x, m_drag.anchor().y); }
    DragState dragState() const { return m_drag.state(); }
    // The dragged line whose pixels the display does not hold yet, while there is one (see paintsMovingLine).
    std::optional<MovingLine> movingLine() const
    {
        return m_linePending ? std::optional<MovingLine>(m_line) : std::nullopt;
    }

    // Making it. A new puzzle is a picture and a set-up; an opened one adopts what its file stores and is
    // tangled by its owner, where the person can watch it. Its file, title and saved state are its document's.
    // Reads the picture at Path, decoded only as large as the open panel shows it.
    void loadPicture(const QString &path);
    // As loadPicture, with what readSourcePicture gave: none leaves the picture as it was.
    void adoptPicture(std::optional<SourcePicture> picture);
    // The picture a new puzzle is made of, when it is already in memory.
    void setPicture(QImage picture);
    void setUp(EffectCode effect, int rows, int columns, bool semiEffect, bool emptyRow, bool emptyColumn);
    void adopt(StoredPuzzle stored);
    // The panel the view will fit the puzzle into, when its owner knows it before a file is opened or a picture
    // loaded, and whether the view keeps it fitted: the picture is then decoded only as large as that view shows
    // it, and the first tangle after adopt (or the set-up of a new puzzle) renders at the scale the view is about
    // to choose instead of at the picture's own size, which would cost three more full-size bitmaps and their
    // drawing only to be thrown away.
    // PixelRatio is the panel's device pixels per unit: a picture first shows at its own size in units, so that a
    // scaled screen shows it as large as an unscaled one does.
    void setOpenPanel(QSize panel, bool autoFit, double pixelRatio = 1.0)
    {
        m_openPanel = panel;
        m_openAutoFit = autoFit;
        m_openPixelRatio = pixelRatio;
    }
    QSize openPanel() const { return m_openPanel; }

    // Rendering.
    void rebuild();
    void renderAll();
    void drawCell(CellPos p, bool advice);
    void redrawSelected() { drawCell(selected(), false); }
    // While the window shows the selection's frame on its way to another cell, the cell itself wears none.
    void setSelectionFrameHidden(bool hidden);
    // Where the cell at P lies on the display.
    QRect cellRect(CellPos p) const { return homeRect(p); }
    void setEffect(EffectCode effect);
    void setSemiEffect(bool on) { m_semiEffect = on; }

    // Geometry.
    CellPos cellAt(int x, int y) const { return m_geometry.cellAt({x, y}); }
    QPoint cellCentre(CellPos p) const
    {
        const PicturePoint c = m_geometry.cellCentre(p);
        return QPoint(c.x, c.y);
    }
    QPoint selectedCentre() const { return cellCentre(selected()); }
    // True for a position inside the grid as it is now, empty row and column included.
    bool inGrid(CellPos p) const { return m_geometry.inGrid(p); }

    // View and zoom.
    void updateFit(int panelWidth, int panelHeight, bool keepFitted);
    void zoomIn();
    void zoomOut();
    void actualSize();
    void bestFit();
    // Shows the puzzle at that scale; one that is not positive gives the smallest positive scale.
    void zoomTo(double scale);
    bool canZoomIn() const { return m_geometry.canZoomIn(); }
    bool canZoomOut() const { return m_geometry.canZoomOut(); }
    bool canActualSize() const { return m_geometry.canActualSize(); }

    // Tangling. The shifts are drawn in full before the first is shown; each is then a step of its own.
    void tangle();
    // Instead of a tangle, an opened puzzle may go on with a game kept from before, when it is a game of this
    // puzzle's grid; false leaves the puzzle as it was, for its owner to tangle.
    bool resume(const KeptGame &game);
    // The game being played goes back to the arrangement its tangle left, with nothing to take back.
    bool canRestart() const { return isPlaying() && m_game.canRestart(); }
    bool restart();

    // The animation under way. Its paces are the game's: how long each step stays on screen.
    static constexpr int TangleStepMs = 60;
    static constexpr int SlideFrameMs = 16;
    static constexpr int AdviceMs = 200;
    static int stepMs(PuzzleAnimation animation);
    // Shows the next step; false once the animation has ended (the last call shows its end).
    bool advance();
    // Shows what remains at once.
    void finishAnimation();

    // Moves.
    void hoverAt(int x, int y);
    void deselect();
    // The selected cell is caught (held by the pointer), or let go again. A press catches it free to be dragged
    // along its row or its column; caught again after its dragged line snapped, it keeps to that line until the
    // button is let go, wherever the hand drifts (a pointer nothing holds on the line, as on Wayland or a tablet,
    // would otherwise turn the drag after every snap).
    void catchSelected();
    void catchSelectedOnLine();
    void releaseCatch()
    {
        m_drag.letGo();
        notifyStateChanged();
    }
    bool tryStartDrag(int x, int y);
    // One pointer move over the picture, shown: the selection follows it, a pull chooses the line (the owner then
    // shows it with renderDrag), a dragged line follows; a snap is only answered, for the owner to commit at.
    DragStep pointerMoved(int x, int y);
    void renderDrag(int x, int y);
    bool nearCellCentre(int x, int y) const { return m_geometry.nearCellCentre({x, y}); }
    bool commit(int x, int y);
    void showAdvice(int x, int y);
    // The advice just shown stays while the button or key that asked for it is held, and at least AdviceMs.
    void holdAdvice(bool held);

    // Keyboard play and taking moves back, for a game being played. Each shows its line sliding as a drag does
    // and returns true when the move solved the puzzle. Moves go back only as far as the last tangle, and not
    // while the pointer holds a cell.
    // Selects the cell at P (inside the grid), as hovering over it does.
    void select(CellPos p);
    // Turns the selected cell's row or column by Steps cells, wrapping around.
    bool turnSelected(LineAxis axis, int steps);
    bool canUndo() const;
    bool canRedo() const;
    bool undoMove();
    bool redoMove();

signals:
    // The rectangle of the display that has just changed (for partial repaints).
    void displayChanged(const QRect &rect);
    // The puzzle has begun showing something over time (a tangle, a line sliding by itself, the advice flash) and
    // left its first step on the display.
    void animationStarted();
    // After each shown step of a tangle, and each shown frame of a line that slides by itself (keyboard play, undo,
    // redo).
    void tangleStepped();
    void slideStepped();
    // Something the owner's commands depend on may have changed: set-up, edit mode, a tangle's start or end, a move
    // committed, taken back or redone, solved, the scale or the fit, a cell caught or let go, an animation's start
    // or end. Perhaps several times for one change: the owner gathers.
    void stateChanged();

private:
    friend class PuzzleProbe; // the tests' one look inside

    void buildConcealed();
    void captureStrip();
    // Writes a pending line into the display; every reader and writer of the display's pixels calls it first.
    void settleLine() const;
    // The texture for empty cells and the effects; the compiled-in one stands in when none was handed over.
    const QImage &texture() const;
    // Where the piece whose home is Home lies in the plain and concealed pictures.
    QRect homeRect(CellPos home) const
    {
        return QRect((home.x() - 1) * cellWidth(), (home.y() - 1) * cellHeight(), cellWidth(), cellHeight());
    }
    // Copies a rectangle between two working bitmaps row by row, clipped to both.
    static void copyBlock(const QImage &source, QRect sourceRect, QImage &target, QPoint targetPos);
    // Draws the cells whose selection changed from Before.
    void redrawSelection(CellPos before);
    // Shows the dragged line with the selected cell at To.
    void showLineSettled(CellPos to);
    // Shifts the selected cell's line so that the cell ends at To, and shows it there.
    void settle(CellPos to);
    // Shows Move sliding frame by frame, then makes it; the selection ends on the moved cell.
    bool slide(const LineMove &move);
    void showSlideFrame();
    void showTangleStep();
    // Hands the animation just begun to the owner, or runs through it without one.
    void startAnimation(PuzzleAnimation animation);
    bool isPlaying() const { return m_game.isPlaying() && !isAnimating() && dragState() == DragState::Idle; }
    void notifyStateChanged() { emit stateChanged(); }
    // The geometry learns the picture's size from the picture itself, whenever it is about to use it.
    void showPictureToGeometry();
    // Gives the scale the value that updateFit would leave for the open panel, without rebuilding.
    void fitToOpenPanel();

    qint32 m_version = 0;
    EffectCode m_effect = 0;
    bool m_semiEffect = false;
    PuzzleAnimation m_animation = PuzzleAnimation::None;
    // The tangle's shifts (from, to) and the next one to show.
    std::vector<TangleShift> m_tangleShifts;
    std::size_t m_tangleNext = 0;
    // The line sliding by itself and the next frame of it.
    LineMove m_slideMove;
    int m_slideFrame = 0;
    GameBoard m_game;
    SourcePicture m_source;
    QImage m_plain;
    QImage m_concealed;
    QImage *m_display;
    const QImage *m_texture;
    CellGeometry m_geometry{m_game.grid()};
    DragRules m_drag{m_geometry, m_game};
    QImage m_cellBitmap;
    QImage m_rowStrip;
    QImage m_columnStrip;
    // The line the last pointer move placed, and whether the display still lacks it.
    MovingLine m_line;
    mutable bool m_linePending = false;
    QSize m_openPanel;
    bool m_openAutoFit = false;
    double m_openPixelRatio = 1.0;
    bool m_animatedByOwner = false;
    bool m_adviceHeld = false;
    bool m_adviceShownLongEnough = false;
    bool m_paintsMovingLine = false;
    bool m_selectionFrameHidden = false;
    // Set while renderAll redraws every cell, so that the cells do not report their own changes.
    bool m_renderingAll = false;
};

} // namespace quorra
