// The page's way into core: the puzzle file's header, the grid, the tangle, the moves and the concealing effects,
// as plain C functions over the module's memory.
#include "JpegLimits.h"

#include "core/Effects.h"
#include "core/Lcg.h"
#include "core/MoveHistory.h"
#include "core/PuzzleHeader.h"
#include "core/Tangle.h"

#include <emscripten/emscripten.h>

#include <cstring>
#include <vector>

namespace {

// The page plays one puzzle at a time; opening another replaces all of it.
struct Game {
    PuzzleHeader header;
    MoveHistory history;
    std::vector<TangleShift> tangle;
    std::size_t tangleNext = 0;
    std::int32_t newerVersion = 0;
    JpegCheck jpeg;
    // The last move undone or redone, for the page to show sliding: from x, from y, to x, to y, axis, steps.
    std::int32_t shownMove[6] = {};
};

Game &game()
{
    static Game g;
    return g;
}

TileGrid &grid()
{
    return game().header.grid;
}

int packed(CellPos p)
{
    return p.x() * 16 + p.y();
}

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
// keep the canvas's order. Squeezed and spread in place: the picture is the largest buffer the page has.
void squeeze(std::uint8_t *pixels, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        std::memmove(pixels + 3 * i, pixels + 4 * i, 3);
}

void spread(std::uint8_t *pixels, std::size_t count)
{
    for (std::size_t i = count; i-- > 0;) {
        std::memmove(pixels + 4 * i, pixels + 3 * i, 3);
        pixels[4 * i + 3] = 255;
    }
}

bool playable(CellPos p)
{
    return grid().contains(p);
}

const std::int32_t *show(const LineMove &move)
{
    std::int32_t *m = game().shownMove;
    m[0] = move.from.x();
    m[1] = move.from.y();
    m[2] = move.to.x();
    m[3] = move.to.y();
    m[4] = move.axis == LineAxis::Row ? 0 : 1;
    m[5] = move.steps;
    grid().shift(move.from, move.to);
    return m;
}

} // namespace

extern "C" {

// 0: a puzzle; 1: the bytes end before the header does; 2: its grid is none the program makes; 3: a newer
// program's file (its version through player_newer_version).
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
    g.header = std::get<PuzzleHeader>(header);
    g.history.clear();
    g.tangle.clear();
    g.tangleNext = 0;
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

EMSCRIPTEN_KEEPALIVE int player_effect()
{
    return game().header.effect;
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
    if (!playable(p) || grid().isEmpty(p))
        return 0;
    return packed(grid().tileAt(p).home);
}

// Where the piece now at (X, Y) belongs: the cell the advice frames. 0 when none.
EMSCRIPTEN_KEEPALIVE int player_advice(int x, int y)
{
    const CellPos p(x, y);
    if (!playable(p))
        return 0;
    const std::optional<CellPos> home = grid().home(p);
    return home ? packed(*home) : 0;
}

// Conceals every cell of the plain picture (RGBA, Columns x Rows cells of CellWidth x CellHeight, each at its
// home) in place, as the desktop conceals its plain working bitmap. The texture is RGBA as well.
EMSCRIPTEN_KEEPALIVE void player_conceal(std::uint8_t *rgba, int cellWidth, int cellHeight,
                                         const std::uint8_t *textureRgba, int textureWidth, int textureHeight)
{
    const TileGrid &g = grid();
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

// Puts every piece home and draws a new tangle from the clock; the number of its steps.
EMSCRIPTEN_KEEPALIVE int player_tangle()
{
    Game &g = game();
    g.history.clear();
    grid().reset();
    Lcg &random = randomizer();
    random.randomize();
    g.tangle = drawTangle(grid(), random);
    g.tangleNext = 0;
    return int(g.tangle.size());
}

// Makes the tangle's next shift; false once none is left.
EMSCRIPTEN_KEEPALIVE int player_tangle_step()
{
    Game &g = game();
    if (g.tangleNext >= g.tangle.size())
        return 0;
    const TangleShift &shift = g.tangle[g.tangleNext++];
    grid().shift(shift.from, shift.to);
    return 1;
}

// A move in play: the line through From turned so that its cell ends at To, Steps along Axis (0 a row, 1 a
// column) being the way it is taken back. A move that changes nothing is none.
EMSCRIPTEN_KEEPALIVE int player_move(int fromX, int fromY, int toX, int toY, int axis, int steps)
{
    const CellPos from(fromX, fromY), to(toX, toY);
    if (!playable(from) || !playable(to) || from == to || grid().isSolved())
        return 0;
    const LineMove move{from, to, axis == 0 ? LineAxis::Row : LineAxis::Column, steps};
    game().history.record(move);
    grid().shift(from, to);
    return 1;
}

EMSCRIPTEN_KEEPALIVE int player_can_undo()
{
    return !grid().isSolved() && game().history.canUndo();
}

EMSCRIPTEN_KEEPALIVE int player_can_redo()
{
    return !grid().isSolved() && game().history.canRedo();
}

// The move taken back or made again, already made on the grid, as six numbers (see Game::shownMove); null when
// there is none.
EMSCRIPTEN_KEEPALIVE const std::int32_t *player_undo()
{
    if (!player_can_undo())
        return nullptr;
    return show(game().history.takeUndo()->reversed());
}

EMSCRIPTEN_KEEPALIVE const std::int32_t *player_redo()
{
    if (!player_can_redo())
        return nullptr;
    return show(*game().history.takeRedo());
}

EMSCRIPTEN_KEEPALIVE int player_solved()
{
    return grid().isSolved() ? 1 : 0;
}
}
