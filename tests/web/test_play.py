#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A page exported by quorra --export-web, opened from file:// in headless Chromium: the tangled grid is shown,
solved by the keyboard (with an undo and a redo), by mouse drags (also ones that drift across their line after it
snapped) and by touch drags on a phone's screen, and the victory shows the photograph; the page makes no request."""
import base64
import collections
import os
import sys
import tempfile

import browser

# Each way in: the input, the window, and whether it is a phone's touch screen.
CASES = [
    ("keyboard with undo and redo", "keys", (1024, 768), False),
    ("mouse drags", "mouse", (1024, 768), False),
    ("mouse drags that drift across their line after it snapped", "drift", (1024, 768), False),
    ("touch drags at 360 x 640", "touch", (360, 640), True),
]
# Two rows and two columns with an empty column: empty cells are drawn and moved, and the search stays small.
ROWS, COLUMNS, EXTRA_COLUMN = 2, 2, 1

ARRANGEMENT = "const b = document.getElementById('board'); return [b.dataset.arrangement, b.dataset.state, b.dataset.busy];"


def parse(arrangement):
    size, *cells = arrangement.split(" ")
    columns, rows = (int(n) for n in size.split("x"))
    return columns, rows, tuple(cells)


def turned(cells, columns, rows, axis, line, steps):
    """The cells after turning a row (axis 0) or column (axis 1) by Steps, as the page's Shift+arrow does."""
    grid = list(cells)
    if axis == 0:
        row = [cells[(line - 1) * columns + x] for x in range(columns)]
        for x in range(columns):
            grid[(line - 1) * columns + (x + steps) % columns] = row[x]
    else:
        column = [cells[y * columns + line - 1] for y in range(rows)]
        for y in range(rows):
            grid[((y + steps) % rows) * columns + line - 1] = column[y]
    return tuple(grid)


def solved(cells, columns, rows):
    return all(cells[(y - 1) * columns + x - 1] == ("%d:%d" % (x, y) if x <= COLUMNS else "-")
               for y in range(1, rows + 1) for x in range(1, columns + 1))


def solution(cells, columns, rows):
    """The shortest list of turns (axis, line, steps) that solves the grid, by breadth-first search."""
    turns = [(0, r, s) for r in range(1, rows + 1) for s in (1, -1)]
    turns += [(1, c, s) for c in range(1, columns + 1) for s in (1, -1)]
    came = {cells: None}
    queue = collections.deque([cells])
    while queue:
        now = queue.popleft()
        if solved(now, columns, rows):
            path = []
            while came[now]:
                now, turn = came[now]
                path.append(turn)
            return path[::-1]
        for turn in turns:
            after = turned(now, columns, rows, *turn)
            if after not in came:
                came[after] = (now, turn)
                queue.append(after)
    raise AssertionError("no solution for %s" % (cells,))


class Player:
    def __init__(self, page):
        self.page = page
        self.selected = None

    def state(self):
        return self.page.js(ARRANGEMENT)

    def settle(self):
        self.page.wait_for("return !document.getElementById('board').dataset.busy")

    def key(self, *keys):
        from selenium.webdriver.common.action_chains import ActionChains
        chain = ActionChains(self.page.driver)
        modifiers = [k for k in keys[:-1]]
        for m in modifiers:
            chain.key_down(m)
        chain.send_keys(keys[-1])
        for m in reversed(modifiers):
            chain.key_up(m)
        chain.perform()
        self.settle()


def by_keys(player, turn, columns, rows):
    from selenium.webdriver.common.keys import Keys
    if player.selected is None:
        player.selected = (1, 1)  # focus on the board selected the top-left cell
    axis, line, steps = turn
    x, y = player.selected
    if axis == 0:
        while y != line:
            player.key(Keys.ARROW_DOWN)
            y = y % rows + 1
        player.key(Keys.SHIFT, Keys.ARROW_RIGHT if steps > 0 else Keys.ARROW_LEFT)
        player.selected = ((x - 1 + steps) % columns + 1, y)
    else:
        while x != line:
            player.key(Keys.ARROW_RIGHT)
            x = x % columns + 1
        player.key(Keys.SHIFT, Keys.ARROW_DOWN if steps > 0 else Keys.ARROW_UP)
        player.selected = (x, (y - 1 + steps) % rows + 1)


def by_drag(kind, drift=0.0):
    """Drags along the turn's line; Drift (a share of a cell) then moves the hand across the line, which a drag that
    snapped keeps to: the line across it must not move."""
    def drag(player, turn, columns, rows):
        from selenium.webdriver.common.actions.action_builder import ActionBuilder
        from selenium.webdriver.common.actions.pointer_input import PointerInput
        from selenium.webdriver.common.actions import interaction
        axis, line, steps = turn
        # Any cell of the line turns it; one from which the move stays on the board.
        start = (1 if steps > 0 else 2, line) if axis == 0 else (line, 1 if steps > 0 else 2)
        box = player.page.js("""const b = document.getElementById('board'), r = b.getBoundingClientRect();
            return [r.left, r.top, r.width / b.width, b.width / %d, b.height / %d];""" % (columns, rows))
        left, top, css, cell_w, cell_h = box
        x0 = left + ((start[0] - 0.5) * cell_w) * css
        y0 = top + ((start[1] - 0.5) * cell_h) * css
        dx, dy = (steps * cell_w * css, 0) if axis == 0 else (0, steps * cell_h * css)
        pointer = PointerInput(interaction.POINTER_TOUCH if kind == "touch" else interaction.POINTER_MOUSE, kind)
        actions = ActionBuilder(player.page.driver, mouse=pointer, duration=10)
        actions.pointer_action.move_to_location(int(x0), int(y0)).pointer_down()
        for i in range(1, 21):
            actions.pointer_action.move_to_location(int(x0 + dx * i / 20), int(y0 + dy * i / 20))
        # Across the line, towards the board's inside.
        away = (1 if line == 1 else -1) * drift
        ex, ey = (0, away * cell_h * css) if axis == 0 else (away * cell_w * css, 0)
        for i in range(1, 11) if drift else ():
            actions.pointer_action.move_to_location(int(x0 + dx + ex * i / 10), int(y0 + dy + ey * i / 10))
        actions.pointer_action.pointer_up()
        actions.perform()
        player.settle()
    return drag


MOVES = {"keys": by_keys, "mouse": by_drag("mouse"), "drift": by_drag("mouse", drift=0.7), "touch": by_drag("touch")}

# How far the board is from the photograph, as the mean difference of its picture part's channels.
DISTANCE = """
const [stream, columns, rows] = arguments;
const done = arguments[arguments.length - 1];
const b = document.getElementById('board');
const wide = b.width / (columns + %d) * columns, high = b.height;
const bytes = Uint8Array.from(atob(stream), (c) => c.charCodeAt(0));
createImageBitmap(new Blob([bytes], {type: 'image/jpeg'})).then((photo) => {
  const c = document.createElement('canvas'); c.width = wide; c.height = high;
  const g = c.getContext('2d'); g.drawImage(photo, 0, 0, wide, high);
  const want = g.getImageData(0, 0, wide, high).data;
  const got = b.getContext('2d').getImageData(0, 0, wide, high).data;
  let sum = 0; for (let i = 0; i < want.length; i += 4) sum += Math.abs(want[i] - got[i]) + Math.abs(want[i + 1] - got[i + 1]) + Math.abs(want[i + 2] - got[i + 2]);
  done(sum / (want.length / 4 * 3));
});""" % EXTRA_COLUMN


def run(case, folder):
    name, kind, window, mobile = case
    puzzle = os.path.join(folder, "Friend.nbq")
    open(puzzle, "wb").write(browser.puzzle_bytes(ROWS, COLUMNS, extra_column=EXTRA_COLUMN))
    page_path = os.path.join(folder, "Friend.html")
    browser.export_page(puzzle, page_path)
    stream = base64.b64encode(open(browser.SAMPLE_PICTURE, "rb").read()).decode()
    with browser.Browser(window, mobile) as page:
        page.open_page(page_path)
        page.wait_for("return document.getElementById('board').dataset.state === 'playing'")
        player = Player(page)
        arrangement, _, _ = player.state()
        columns, rows, cells = parse(arrangement)
        assert (columns, rows) == (COLUMNS + EXTRA_COLUMN, ROWS), arrangement
        hidden = page.driver.execute_async_script(DISTANCE, stream, COLUMNS, ROWS)
        assert hidden > 25, "%s: the tangled board looks like the photograph (%.1f)" % (name, hidden)
        fits = page.js("const r = document.getElementById('board').getBoundingClientRect();"
                       "return r.left >= 0 && r.top >= 0 && r.right <= innerWidth + 0.5 && r.bottom <= innerHeight + 0.5;")
        assert fits, "%s: the board does not fit the page" % name
        selected = page.js("return document.getElementById('board').dataset.selected")
        assert selected == "1:1", "%s: focus on the board selected %r, not the first cell" % (name, selected)

        path = solution(cells, columns, rows)
        if not path:
            # A tangle that happened to end solved: a move and its return.
            path = [(0, 1, 1), (0, 1, -1)]
        move = MOVES[kind]
        moves = 0
        for i, turn in enumerate(path):
            before = player.state()[0]
            move(player, turn, columns, rows)
            moves += 1
            after = parse(player.state()[0])[2]
            assert after == turned(parse(before)[2], columns, rows, *turn), "%s: turn %s gave %s" % (name, turn, after)
            if kind == "keys" and i == 0 and len(path) > 1:
                from selenium.webdriver.common.keys import Keys
                player.key(Keys.CONTROL, "z")
                assert player.state()[0] == before, "%s: undo did not take the move back" % name
                player.key(Keys.CONTROL, Keys.SHIFT, "z")
                assert parse(player.state()[0])[2] == after, "%s: redo did not make the move again" % name
                player.key(Keys.CONTROL, "z")
                player.key(Keys.CONTROL, "y")
                assert parse(player.state()[0])[2] == after, "%s: Ctrl+Y did not make the move again" % name
                moves += 4
        page.wait_for("return document.getElementById('board').dataset.state === 'solved'")
        status = page.js("return document.getElementById('status').textContent")
        assert status.startswith("Solved in %d move%s, 0:" % (moves, "" if moves == 1 else "s")), "%s: %r" % (name, status)
        assert page.js("return !document.getElementById('save-photo').hidden"), name
        shown = page.driver.execute_async_script(DISTANCE, stream, COLUMNS, ROWS)
        assert shown < 8, "%s: the victory does not show the photograph (%.1f)" % (name, shown)
        requests = page.requests_besides_page()
        assert not requests, "%s: the page made requests: %s" % (name, requests)
        errors = page.script_errors()
        assert not errors, "%s: the page reported errors: %s" % (name, errors)


def main():
    browser.skip_without_browser()
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        for case in CASES:
            try:
                run(case, folder)
                print("PASS:", case[0])
            except Exception as error:  # every case is run and reported
                failures += 1
                print("FAIL: %s: %s" % (case[0], error))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
