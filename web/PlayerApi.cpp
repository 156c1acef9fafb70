// SPDX-License-Identifier: GPL-3.0-or-later
// The page's way into core: the puzzle file's header, the board with its moves, the cells' geometry, the pointer's
// rules and the concealing effects, as plain C functions over the module's memory.
#include "JpegLimits.h"

#include "core/CellGeometry.h"
#include "core/DragRules.h"
#include "core/Effects.h"
#include "core/GameBoard.h"
#include "core/Lcg.h"
#include "core/PuzzleHeader.h"
#include "core/Tangle.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace quorra {

namespace {

// The page plays one puzzle at a time; opening another replaces all of it, but only once its picture decoded.
struct Game {
    // The header read last, kept aside until the page has its picture: a refused file leaves the game playing.
    PuzzleHeader opened;
    PuzzleHeader header;
    GameBoard board;
    CellGeometry geometry{board.grid()};
    DragRules drag{geometry, board};
    std::vector<TangleShift> tangle;
    std::size_t tangleNext = 0;
    std::int32_t newerVersion = 0;
    JpegCheck jpeg;
    // The move sliding on the page, recorded but not yet made: from x, from y, to x, to y, axis, steps.
    LineMove sliding;
    std::int32_t shownMove[6] = {};
};

Game &game()
{
    static Game g;
    return g;
}

const TileGrid &grid()
{
    return game().board.grid();
}

int packed(CellPos p)
{
    return p.x() * 16 + p.y();
}

// What a pointer move came to, for the page: DragStep's kinds, a snap told apart by whether it moved a line.
enum PointerOutcome { Nothing = 0, Hovered = 1, LineChosen = 2, Shifted = 3, SnappedInPlace = 4, SnappedMoved = 5 };

// The page's numbered paper: core has no font, the page's canvas has the browser's.
EM_JS(void, stampNumberInPage, (std::uint8_t * bits, int width, int height, int stride, int number),
      { Module.stampNumber(bits, width, height, stride, number); });

class PageNumberStamp : public NumberStamp
{
public:
    void stamp(PixelView cell, std::int32_t number) override
    {
        stampNumberInPage(cell.bits(), cell.width(), cell.height(), int(cell.stride()), number);
    }
};

// Canvas pixels are RGBA; core's are three bytes a pixel. Every effect treats the three channels alike, so they
// keep the canvas's order. Squeezed and spread in place, byte by byte in the direction that never overwrites a byte
// still to be read: the picture is the largest buffer the page has, and a library call per pixel took most of the
// concealing's time.
void squeeze(std::uint8_t *pixels, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        pixels[3 * i] = pixels[4 * i];
        pixels[3 * i + 1] = pixels[4 * i + 1];
        pixels[3 * i + 2] = pixels[4 * i + 2];
    }
}

void spread(std::uint8_t *pixels, std::size_t count)
{
    for (std::size_t i = count; i-- > 0;) {
        pixels[4 * i + 3] = 255;
        pixels[4 * i + 2] = pixels[3 * i + 2];
        pixels[4 * i + 1] = pixels[3 * i + 1];
        pixels[4 * i] = pixels[3 * i];
    }
}

const std::int32_t *show(const LineMove &move)
{
    Game &g = game();
    g.sliding = move;
    // Held as the pointer holds a caught cell, so that the sliding cell wears the same frame as in a drag.
    g.drag.select(move.from);
    g.drag.catchSelected();
    g.drag.startLine(move.axis);
    std::int32_t *m = g.shownMove;
    m[0] = move.from.x();
    m[1] = move.from.y();
    m[2] = move.to.x();
    m[3] = move.to.y();
    m[4] = move.axis == LineAxis::Row ? 0 : 1;
    m[5] = move.steps;
    return m;
}

const std::int32_t *showIf(const std::optional<LineMove> &move)
{
    return move ? show(*move) : nullptr;
}

} // namespace

} // namespace quorra

using namespace quorra;

extern "C" {

// 0: a puzzle; 1: the bytes end before the header does; 2: its grid is none the program makes; 3: a newer
// program's file (its version through player_newer_version). The game on screen is not touched.
EMSCRIPTEN_KEEPALIVE int player_open(const std::uint8_t *bytes, int length)
{
    Game &g = game();
    const auto header = readPuzzleHeader(std::span(bytes, std::size_t(length > 0 ? length : 0)));
    if (const auto *newer = std::get_if<NewerPuzzle>(&header)) {
        g.newerVersion = newer->version;
        return 3;
    }
    if (const auto *fault = std::get_if<HeaderFault>(&header))
        return *fault == HeaderFault::CutShort ? 1 : 2;
    g.opened = std::get<PuzzleHeader>(header);
    return 0;
}

EMSCRIPTEN_KEEPALIVE int player_newer_version()
{
    return game().newerVersion;
}

// The verdict as JpegVerdict's value; the declared size through player_jpeg_width and player_jpeg_height.
EMSCRIPTEN_KEEPALIVE int player_check_jpeg(const std::uint8_t *bytes, int length)
{
    game().jpeg = checkJpegStream(std::span(bytes, std::size_t(length > 0 ? length : 0)));
    return int(game().jpeg.verdict);
}

EMSCRIPTEN_KEEPALIVE int player_jpeg_width()
{
    return game().jpeg.width;
}

EMSCRIPTEN_KEEPALIVE int player_jpeg_height()
{
    return game().jpeg.height;
}

// The puzzle last opened, its picture decoded at Width x Height, becomes the game, fitted to a panel of
// PanelWidth x PanelHeight as the desktop fits a puzzle it opens.
EMSCRIPTEN_KEEPALIVE void player_start(int width, int height, int panelWidth, int panelHeight)
{
    Game &g = game();
    g.header = g.opened;
    g.tangle.clear();
    g.tangleNext = 0;
    g.drag.letGo();
    g.board.adopt(g.header.grid);
    g.board.select(NoCell);
    g.geometry.setPicture({width, height}, width > 0 && height > 0);
    g.geometry.fitToPanel({panelWidth, panelHeight}, true);
    g.geometry.placeCells(g.geometry.cellSizeAtScale());
}

// Follows a panel of that size, the fit kept; true when the cells changed size and the page must draw anew.
EMSCRIPTEN_KEEPALIVE int player_fit(int panelWidth, int panelHeight)
{
    CellGeometry &geometry = game().geometry;
    const PixelSize before{geometry.cellWidth(), geometry.cellHeight()};
    geometry.updateFit({panelWidth, panelHeight}, true);
    geometry.placeCells(geometry.cellSizeAtScale());
    const bool changed = PixelSize{geometry.cellWidth(), geometry.cellHeight()} != before;
    if (changed && !isNoCell(game().board.selected()))
        game().drag.select(game().board.selected());
    return changed ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int player_cell_width()
{
    return game().geometry.cellWidth();
}

EMSCRIPTEN_KEEPALIVE int player_cell_height()
{
    return game().geometry.cellHeight();
}

EMSCRIPTEN_KEEPALIVE int player_semi_effect()
{
    return game().header.semiEffect ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int player_rows()
{
    return grid().rows();
}

EMSCRIPTEN_KEEPALIVE int player_columns()
{
    return grid().columns();
}

EMSCRIPTEN_KEEPALIVE int player_total_rows()
{
    return grid().totalRows();
}

EMSCRIPTEN_KEEPALIVE int player_total_columns()
{
    return grid().totalColumns();
}

// Where the piece now at (X, Y) belongs, as x * 16 + y; 0 for an empty cell or a place off the grid.
EMSCRIPTEN_KEEPALIVE int player_piece_home(int x, int y)
{
    const CellPos p(x, y);
    if (!grid().contains(p) || grid().isEmpty(p))
        return 0;
    return packed(grid().tileAt(p).home);
}

// The nearest-neighbour stretch of a picture of Width x Height onto the plain picture (the grid's cells at their
// size), as the desktop samples it: the source column of every plain column, then the source row of every plain
// row. The page copies those pixels, so that both conceal the same ones.
EMSCRIPTEN_KEEPALIVE const std::int32_t *player_sample_map(int width, int height)
{
    static std::vector<std::int32_t> map;
    const CellGeometry &geometry = game().geometry;
    const PixelSize size = geometry.plainSize({geometry.cellWidth(), geometry.cellHeight()});
    map.assign(std::size_t(std::max(size.width, 0)) + std::size_t(std::max(size.height, 0)), 0);
    for (int x = 0; x < size.width; ++x)
        map[std::size_t(x)] = std::int32_t(std::int64_t(x) * width / size.width);
    for (int y = 0; y < size.height; ++y)
        map[std::size_t(size.width + y)] = std::int32_t(std::int64_t(y) * height / size.height);
    return map.data();
}

// Conceals every cell of the plain picture (RGBA, Columns x Rows cells at the geometry's size, each at its home) in
// place, as the desktop conceals its plain working bitmap. The texture is RGBA as well.
EMSCRIPTEN_KEEPALIVE void player_conceal(std::uint8_t *rgba, const std::uint8_t *textureRgba, int textureWidth,
                                         int textureHeight)
{
    const TileGrid &g = grid();
    const int cellWidth = game().geometry.cellWidth(), cellHeight = game().geometry.cellHeight();
    const int width = g.columns() * cellWidth, height = g.rows() * cellHeight;
    if (width <= 0 || height <= 0)
        return;
    std::vector<std::uint8_t> texture(textureRgba, textureRgba + std::size_t(textureWidth) * textureHeight * 4);
    squeeze(texture.data(), texture.size() / 4);
    const ConstPixelView paper(texture.data(), textureWidth, textureHeight, std::ptrdiff_t(textureWidth) * 3);
    const std::size_t count = std::size_t(width) * std::size_t(height);
    squeeze(rgba, count);
    PageNumberStamp stamp;
    const std::ptrdiff_t stride = std::ptrdiff_t(width) * 3;
    for (int c = 1; c <= g.columns(); ++c)
        for (int r = 1; r <= g.rows(); ++r) {
            const Tile &target = g.targetAt(CellPos(c, r));
            std::uint8_t *corner = rgba + std::ptrdiff_t(target.home.y() - 1) * cellHeight * stride
                                   + std::ptrdiff_t(target.home.x() - 1) * cellWidth * 3;
            applyEffect(PixelView(corner, cellWidth, cellHeight, stride), game().header.effect, target.number, paper,
                        stamp);
        }
    spread(rgba, count);
}

// False for the paper effects, which cover every pixel of a cell: their concealed cells never depend on the picture.
EMSCRIPTEN_KEEPALIVE int player_conceal_reads_picture()
{
    const EffectCode effect = game().header.effect;
    return effect == Effect::Hidden || effect == Effect::TopSecret ? 0 : 1;
}

// Tests fix the clock the generator is seeded from, so that random effects and tangles can be compared with the
// desktop's; zero gives the real clock back.
EMSCRIPTEN_KEEPALIVE void player_fix_clock(std::uint32_t seed)
{
    Lcg::setTestClock(seed ? std::function<std::uint32_t()>([seed] { return seed; }) : nullptr);
}

// Puts every piece home and draws a new tangle from the clock; the number of its steps.
EMSCRIPTEN_KEEPALIVE int player_tangle()
{
    Game &g = game();
    g.drag.letGo();
    g.board.beginTangle();
    g.board.resetArrangement();
    g.board.select(NoCell);
    g.tangle.clear();
    g.tangleNext = 0;
    if (grid().totalColumns() < 2 || grid().totalRows() < 2)
        return 0;
    Lcg &random = randomizer();
    random.randomize();
    g.tangle = drawTangle(grid(), random);
    return int(g.tangle.size());
}

// Makes the tangle's next shift; false once none is left.
EMSCRIPTEN_KEEPALIVE int player_tangle_step()
{
    Game &g = game();
    if (g.tangleNext >= g.tangle.size())
        return 0;
    g.board.tangleStep(g.tangle[g.tangleNext++]);
    return 1;
}

// The selected cell as x * 16 + y, 0 for none; the drag's state as DragState's value.
EMSCRIPTEN_KEEPALIVE int player_selected()
{
    return isNoCell(game().board.selected()) ? 0 : packed(game().board.selected());
}

EMSCRIPTEN_KEEPALIVE int player_drag_state()
{
    return int(game().drag.state());
}

EMSCRIPTEN_KEEPALIVE int player_anchor_x()
{
    return game().drag.anchor().x;
}

EMSCRIPTEN_KEEPALIVE int player_anchor_y()
{
    return game().drag.anchor().y;
}

// How far the moving strip is turned along a line of Length pixels with the pointer at (X, Y).
EMSCRIPTEN_KEEPALIVE int player_shift_along(int x, int y, int length)
{
    return game().drag.shiftAlong({x, y}, length);
}

EMSCRIPTEN_KEEPALIVE void player_deselect()
{
    game().board.select(NoCell);
}

// Focus on the board, as on the desktop: a board without a selection selects its first cell.
EMSCRIPTEN_KEEPALIVE void player_focus()
{
    Game &g = game();
    if (g.board.isPlaying() && !g.geometry.inGrid(g.board.selected()))
        g.drag.select(CellPos(1, 1));
}

// An arrow key without Shift: the first selects the top-left cell, the others move the selection, wrapping around
// the edges as the lines do.
EMSCRIPTEN_KEEPALIVE void player_step_selection(int dx, int dy)
{
    Game &g = game();
    const CellPos s = g.board.selected();
    if (!g.geometry.inGrid(s)) {
        g.drag.select(CellPos(1, 1));
        return;
    }
    const int columns = grid().totalColumns(), rows = grid().totalRows();
    g.drag.select(CellPos((s.x() - 1 + dx + columns) % columns + 1, (s.y() - 1 + dy + rows) % rows + 1));
}

// A press of the main button at (X, Y): the cell under it is caught. True when one was.
EMSCRIPTEN_KEEPALIVE int player_press(int x, int y)
{
    Game &g = game();
    if (!g.board.isPlaying() || g.drag.state() != DragState::Idle)
        return 0;
    g.drag.hover({x, y});
    g.drag.catchSelected();
    return g.drag.state() == DragState::Caught ? 1 : 0;
}

// One pointer move at (X, Y), as PointerOutcome. A line that snaps makes its move there and is caught again on the
// same line, so that the rest of the drag keeps to it.
EMSCRIPTEN_KEEPALIVE int player_pointer_move(int x, int y)
{
    Game &g = game();
    if (!g.board.isPlaying())
        return Nothing;
    const DragStep step = g.drag.move({x, y});
    switch (step.kind) {
    case DragStep::Kind::Nothing:
        return Nothing;
    case DragStep::Kind::Hovered:
        return Hovered;
    case DragStep::Kind::LineChosen:
        return LineChosen;
    case DragStep::Kind::Shifted:
        return Shifted;
    case DragStep::Kind::Snapped: {
        const CellPos to = g.drag.landing(step.at);
        const bool moved = g.drag.commit(to, true).has_value();
        g.drag.catchOnLine();
        return moved ? SnappedMoved : SnappedInPlace;
    }
    }
    return Nothing;
}

// The main button let go at (X, Y): a dragged line settles where it lands. 0 when nothing was held, 1 when the
// hold ended without a move, 2 after a move.
EMSCRIPTEN_KEEPALIVE int player_release(int x, int y)
{
    Game &g = game();
    const DragState was = g.drag.state();
    bool moved = false;
    if (g.drag.isDragging() && g.board.isPlaying())
        moved = g.drag.commit(g.drag.landing({x, y}), true).has_value();
    g.drag.letGo();
    if (was == DragState::Idle)
        return 0;
    return moved ? 2 : 1;
}

// The hold ends without a move: a finger resting on a cell asks for the advice instead.
EMSCRIPTEN_KEEPALIVE void player_let_go()
{
    game().drag.letGo();
}

// The cell where the piece at picture position (X, Y) belongs, as x * 16 + y; 0 off the grid or for the empty cell.
EMSCRIPTEN_KEEPALIVE int player_advice(int x, int y)
{
    const std::optional<CellPos> home = game().drag.adviceAt({x, y});
    return home && !isNoCell(*home) ? packed(*home) : 0;
}

// Shift with an arrow: the selected cell's line turned by Steps (Axis 0 a row, 1 a column). The move, recorded
// but not yet made, as six numbers for the page to slide (see Game::shownMove); null when there is none. The
// page calls player_end_slide once it has shown it.
EMSCRIPTEN_KEEPALIVE const std::int32_t *player_turn(int axis, int steps)
{
    Game &g = game();
    if (!g.board.isPlaying() || g.drag.state() != DragState::Idle || !g.geometry.inGrid(g.board.selected()))
        return nullptr;
    return showIf(g.board.turnSelected(axis == 0 ? LineAxis::Row : LineAxis::Column, steps));
}

// The move taking the last one back, or making the last one taken back again, as player_turn gives it.
EMSCRIPTEN_KEEPALIVE const std::int32_t *player_undo()
{
    if (game().drag.state() != DragState::Idle)
        return nullptr;
    return showIf(game().board.takeUndo());
}

EMSCRIPTEN_KEEPALIVE const std::int32_t *player_redo()
{
    if (game().drag.state() != DragState::Idle)
        return nullptr;
    return showIf(game().board.takeRedo());
}

// The sliding move settles, as a move in play, which may win.
EMSCRIPTEN_KEEPALIVE void player_end_slide()
{
    Game &g = game();
    if (!g.drag.isDragging())
        return;
    g.drag.settle(g.sliding.to, true);
    g.drag.letGo();
}

EMSCRIPTEN_KEEPALIVE int player_solved()
{
    return game().board.isSolved() ? 1 : 0;
}
}
