#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The cells the page draws for a puzzle match the desktop's for the same decoded pixels, for every effect: the
desktop's puzzle object conceals the pixels the browser decoded, fitted to the page's panel, with the generator's
clock fixed alike. The numbers' glyphs come from each side's font, so the numbered paper is compared outside the
glyphs' boxes; each cell's frame is left out."""
import base64
import os
import subprocess
import sys
import tempfile

import browser

SEED = 20240613
# Three rows and four columns with an empty row: cells that are not square, and a piece moved off its home.
ROWS, COLUMNS, EXTRA_ROW = 3, 4, 1
HIDDEN = 4
# The effect's code, its name, and the window: every effect the program makes, on a picture shown smaller, at
# about its size and larger, so that the stretch both drops and repeats pixels.
CASES = [(0, "obscure", (1024, 768)), (1, "dark", (500, 420)), (2, "transparent", (1400, 1000)),
         (3, "negative", (1024, 768)), (4, "hidden", (500, 420)), (5, "top secret", (1400, 1000)),
         (6, "low resolution", (500, 420))]
# The widest frame a playing cell wears (the selected one's).
FRAME = 2
# The numbers' glyphs are fitted within half the cell each way and centred; this much more is left for the ink.
GLYPH_MARGIN = 2

DECODED = """
const bytes = Uint8Array.from(atob(arguments[0]), (c) => c.charCodeAt(0));
const done = arguments[arguments.length - 1];
createImageBitmap(new Blob([bytes], {type: 'image/jpeg'})).then((photo) => {
  const c = document.createElement('canvas'); c.width = photo.width; c.height = photo.height;
  c.getContext('2d').drawImage(photo, 0, 0);
  done(c.toDataURL('image/png').split(',')[1]);
});"""

BOARD = """
const b = document.getElementById('board'), stage = document.getElementById('stage');
const ratio = window.devicePixelRatio || 1;
const data = b.getContext('2d').getImageData(0, 0, b.width, b.height).data;
let text = '';
for (let i = 0; i < data.length; i += 0x8000) text += String.fromCharCode.apply(null, data.subarray(i, i + 0x8000));
return [b.width, b.height, btoa(text), b.dataset.arrangement,
        Math.floor(stage.clientWidth * ratio), Math.floor(stage.clientHeight * ratio)];"""


def read_ppm(path):
    data = open(path, "rb").read()
    magic, size, depth, pixels = data.split(b"\n", 3)
    assert magic == b"P6" and depth == b"255", path
    width, height = (int(n) for n in size.split())
    return width, height, pixels


def glyph_box(x, y, w, h):
    return (w // 4 - GLYPH_MARGIN <= x <= (3 * w + 3) // 4 + GLYPH_MARGIN
            and h // 4 - GLYPH_MARGIN <= y <= (3 * h + 3) // 4 + GLYPH_MARGIN)


def compare(effect, board, reference):
    """The pixels of the board's pieces that differ from the desktop's at their homes, and the first of them."""
    bw, bh, page, arrangement = board
    rw, rh, desktop = reference
    size, *cells = arrangement.split(" ")
    columns, rows = (int(n) for n in size.split("x"))
    w, h = bw // columns, bh // rows
    assert (rw, rh) == (COLUMNS * w, ROWS * h), "the desktop's cells are %dx%d, the page's %dx%d" % (
        rw // COLUMNS, rh // ROWS, w, h)
    wrong, first, compared = 0, None, 0
    for index, cell in enumerate(cells):
        if cell == "-":
            continue
        cx, cy = index % columns, index // columns
        hx, hy = (int(n) - 1 for n in cell.split(":"))
        for y in range(FRAME, h - FRAME):
            for x in range(FRAME, w - FRAME):
                if effect == HIDDEN and glyph_box(x, y, w, h):
                    continue
                p = ((cy * h + y) * bw + cx * w + x) * 4
                d = ((hy * h + y) * rw + hx * w + x) * 3
                compared += 1
                if page[p:p + 3] != desktop[d:d + 3]:
                    wrong += 1
                    if first is None:
                        first = "cell %d,%d at %d,%d: page %s, desktop %s" % (
                            cx + 1, cy + 1, x, y, tuple(page[p:p + 3]), tuple(desktop[d:d + 3]))
    return wrong, compared, first


def run(case, page, folder):
    effect, name, window = case
    page.driver.set_window_size(*window)
    puzzle = os.path.join(folder, "effect-%d.nbq" % effect)
    open(puzzle, "wb").write(browser.puzzle_bytes(ROWS, COLUMNS, extra_row=EXTRA_ROW, effect=effect))
    page.js("document.body.dataset.clock = arguments[0]; document.getElementById('board').dataset.state = '';",
            str(SEED))
    page.driver.find_element("id", "file-choice").send_keys(puzzle)
    page.wait_for("return document.getElementById('board').dataset.state === 'playing'")
    width, height, pixels, arrangement, panel_width, panel_height = page.js(BOARD)
    stream = base64.b64encode(open(browser.SAMPLE_PICTURE, "rb").read()).decode()
    decoded = os.path.join(folder, "decoded.png")
    open(decoded, "wb").write(base64.b64decode(page.driver.execute_async_script(DECODED, stream)))
    reference = os.path.join(folder, "desktop-%d.ppm" % effect)
    subprocess.run([os.environ["QUORRA_DESKTOP_CELLS"], puzzle, decoded, str(panel_width), str(panel_height),
                    str(SEED), reference], check=True, stdout=subprocess.DEVNULL,
                   env={**os.environ, "QT_QPA_PLATFORM": "offscreen"})
    wrong, compared, first = compare(effect, (width, height, base64.b64decode(pixels), arrangement),
                                     read_ppm(reference))
    assert compared > 0, "%s: no pixel compared" % name
    assert wrong == 0, "%s: %d of %d pixels differ, first %s" % (name, wrong, compared, first)


def main():
    browser.skip_without_browser()
    failures = 0
    with tempfile.TemporaryDirectory() as folder, browser.Browser((1024, 768)) as page:
        page.open_page(browser.INDEX_PAGE)
        for case in CASES:
            try:
                run(case, page, folder)
                print("PASS: %s at %d x %d" % (case[1], *case[2]))
            except Exception as error:  # every case is run and reported
                failures += 1
                print("FAIL: %s: %s" % (case[1], error))
        errors = page.script_errors()
        if errors:
            failures += 1
            print("FAIL: the page reported errors:", errors)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
