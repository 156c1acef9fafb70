#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The browser player's speed in headless Chromium: the time from an exported page's load to the concealed grid on
screen for a 12-megapixel puzzle, against the browser's own createImageBitmap decode of the same JPEG stream, and
the time of one drag frame at a 1920 x 1080 window. Not part of the test run; see BENCHMARKS.md.

    /usr/bin/python3 bench/web_player.py BUILD_DIR [--runs N] [--effect CODE]
"""
import argparse
import base64
import os
import statistics
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import browser  # noqa: E402

WIDTH, HEIGHT = 4000, 3000
ROWS, COLUMNS = 4, 4
HIDDEN = 4
LOAD_GOAL, FRAME_GOAL_MS = 1.5, 8.0

# A photograph-like 12-megapixel JPEG made by the browser itself: the sample photograph enlarged, with sensor-like
# noise so that the stream is as dense as a camera's.
MAKE_PICTURE = """
const [stream, width, height] = arguments;
const done = arguments[arguments.length - 1];
const bytes = Uint8Array.from(atob(stream), (c) => c.charCodeAt(0));
createImageBitmap(new Blob([bytes], {type: 'image/jpeg'})).then((photo) => {
  const c = document.createElement('canvas'); c.width = width; c.height = height;
  const g = c.getContext('2d'); g.drawImage(photo, 0, 0, width, height);
  const pixels = g.getImageData(0, 0, width, height);
  let seed = 1;
  for (let i = 0; i < pixels.data.length; i += 4) {
    seed = (seed * 134775813 + 1) >>> 0;
    const n = (seed >>> 28) - 8;
    pixels.data[i] += n; pixels.data[i + 1] += n; pixels.data[i + 2] += n;
  }
  g.putImageData(pixels, 0, 0);
  c.toBlob((blob) => blob.arrayBuffer().then((b) => {
    let text = ''; const a = new Uint8Array(b);
    for (let i = 0; i < a.length; i += 0x8000) text += String.fromCharCode.apply(null, a.subarray(i, i + 0x8000));
    done(btoa(text));
  }), 'image/jpeg', 0.92);
});"""

DECODE = """
const bytes = Uint8Array.from(atob(arguments[0]), (c) => c.charCodeAt(0));
const done = arguments[arguments.length - 1];
const blob = new Blob([bytes], {type: 'image/jpeg'});
const start = performance.now();
createImageBitmap(blob).then((bitmap) => { const ms = performance.now() - start; bitmap.close(); done(ms); });"""

# One row drag across the board by synthetic pointer events, each move's handling timed with the canvas's work
# flushed (a one-pixel read forces the pending drawing), as a frame's share before compositing.
DRAG = """
const b = document.getElementById('board'), r = b.getBoundingClientRect();
const g = b.getContext('2d');
const scale = r.width / b.width, cw = b.width / arguments[0], ch = b.height / arguments[1];
const x0 = r.left + cw * 0.5 * scale, y0 = r.top + ch * 1.5 * scale;
const before = b.dataset.arrangement;
const event = (type, x, y) => new PointerEvent(type, {pointerId: 1, pointerType: 'mouse', isPrimary: true,
    clientX: x, clientY: y, button: type === 'pointermove' ? -1 : 0, buttons: type === 'pointerup' ? 0 : 1,
    bubbles: true, cancelable: true});
b.dispatchEvent(event('pointermove', x0, y0));
b.dispatchEvent(event('pointerdown', x0, y0));
const times = [];
const steps = 240;
for (let i = 1; i <= steps; ++i) {
  const x = x0 + (r.width * 0.6) * i / steps;
  const start = performance.now();
  b.dispatchEvent(event('pointermove', x, y0));
  g.getImageData(0, 0, 1, 1);
  times.push(performance.now() - start);
}
b.dispatchEvent(event("pointerup", x0 + r.width * 0.6, y0));
return [times, b.dataset.state, before !== b.dataset.arrangement];"""


def median(values):
    return statistics.median(values)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--effect", type=int, default=HIDDEN, help="the puzzle's effect code (4: Hidden)")
    args = parser.parse_args()
    args.build = os.path.abspath(args.build)
    browser.skip_without_browser()
    browser.QUORRA = os.path.join(args.build, "app", "quorra")
    sample = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "samples", "Sample.jpg")
    with tempfile.TemporaryDirectory() as folder, browser.Browser((1920, 1080)) as page:
        page.open_page(os.path.join(args.build, "web", "index.html"))
        stream = page.driver.execute_async_script(MAKE_PICTURE, base64.b64encode(open(sample, "rb").read()).decode(),
                                                  WIDTH, HEIGHT)
        picture = base64.b64decode(stream)
        puzzle = os.path.join(folder, "Twelve.nbq")
        open(puzzle, "wb").write(browser.puzzle_bytes(ROWS, COLUMNS, effect=args.effect, picture=picture))
        exported = os.path.join(folder, "Twelve.html")
        browser.export_page(puzzle, exported)

        loads, decodes, breakdown = [], [], []
        for _ in range(args.runs):
            page.driver.get("file://" + exported)
            page.wait_for("return performance.getEntriesByName('quorra-grid-shown').length > 0", timeout=60)
            loads.append(page.js("return performance.getEntriesByName('quorra-grid-shown')[0].startTime"))
            breakdown.append(page.js("return performance.getEntriesByType('navigation')[0].domContentLoadedEventEnd"))
            decodes.append(page.driver.execute_async_script(DECODE, stream))
        page.wait_for("return document.getElementById('board').dataset.state === 'playing'", timeout=60)
        frames = []
        for _ in range(args.runs):
            times, state, moved = page.js(DRAG, COLUMNS, ROWS)
            # The drag must have moved its row: a drag the page ignored would time nothing.
            assert state == "playing" and moved, (state, moved)
            frames += times
    load, decode = median(loads), median(decodes)
    frame = median(frames)
    worst = sorted(frames)[int(len(frames) * 0.95)]
    print("picture: %d x %d, %.1f MB JPEG; puzzle %d x %d, effect %d; median of %d runs" % (
        WIDTH, HEIGHT, len(picture) / 1e6, COLUMNS, ROWS, args.effect, args.runs))
    print("load to grid: %.0f ms from the navigation, %.0f ms from the page's parsed document" % (
        load, load - median(breakdown)))
    print("createImageBitmap decode: %.0f ms" % decode)
    ratio = load / decode
    print("load %.2f x decode, goal %.1f: %s" % (ratio, LOAD_GOAL, "met" if ratio < LOAD_GOAL else "MISSED"))
    print("drag frame at 1920 x 1080: median %.2f ms, 95th percentile %.2f ms, goal %.0f: %s" % (
        frame, worst, FRAME_GOAL_MS, "met" if worst < FRAME_GOAL_MS else "MISSED"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
