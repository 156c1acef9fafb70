#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Files the player refuses, chosen on the home page: each gets the desktop's message in the page, before the
browser decodes any picture, and a puzzle on screen goes on being played; the page makes no request."""
import os
import sys
import tempfile

import browser

APP1 = b"\xff\xe1\xff\xfe" + b"\0" * 0xfffc


def with_app_segments(count):
    """The sample picture with Count application segments of 64 KB after its start."""
    picture = open(browser.SAMPLE_PICTURE, "rb").read()
    return picture[:2] + APP1 * count + picture[2:]


def data(name):
    return open(os.path.join(browser.TEST_DATA, name), "rb").read()


# Markers the limits let through around a frame the decoder must refuse: its component asks for a quantisation
# table that no segment defines.
UNDECODABLE = (b"\xff\xd8" + b"\xff\xc0\x00\x0b\x08\x00\x10\x00\x10\x01\x01\x11\x03"
               + b"\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00" + b"\x00" * 64 + b"\xff\xd9")

# The file's name, its bytes, and what the page must say.
CASES = [
    ("notes.txt", lambda: b"a shopping list", '"notes.txt" cannot be opened by Quorra.'),
    ("short-header.nbq", lambda: data("short-header.nbq"),
     'The puzzle file "short-header.nbq" is damaged: it ends before its header is complete.'),
    ("rows-five.nbq", lambda: data("rows-five.nbq"), "is damaged: its grid is not one that Quorra makes."),
    ("version-two.nbq", lambda: data("version-two.nbq"), "This puzzle requires Quorra version 2 or later."),
    ("picture-scan-bomb.nbq", lambda: data("picture-scan-bomb.nbq"), "its picture has more than 100 scans."),
    ("picture-not-jpeg.nbq", lambda: data("picture-not-jpeg.nbq"), "its picture cannot be decoded."),
    ("picture-missing.nbq", lambda: data("picture-missing.nbq"), "its picture cannot be decoded."),
    ("picture-undecodable.nbq", lambda: browser.puzzle_bytes(2, 2, picture=UNDECODABLE),
     "its picture cannot be decoded."),
    ("huge-picture.nbq", lambda: data("huge-picture.nbq"), "The picture is too large ("),
    ("besides-budget.nbq", lambda: browser.puzzle_bytes(2, 2, picture=with_app_segments(129)),
     "its picture has more than 8 MB of data besides its pixels."),
]


BOARD = "const b = document.getElementById('board'); return [b.hidden, b.dataset.state, b.dataset.arrangement];"


def main():
    browser.skip_without_browser()
    failures = 0
    with tempfile.TemporaryDirectory() as folder, browser.Browser() as page:
        page.open_page(browser.INDEX_PAGE)
        # First on the bare home page, then over a puzzle being played, which must go on being played untouched.
        for playing in (False, True):
            if playing:
                good = os.path.join(folder, "good.nbq")
                open(good, "wb").write(browser.puzzle_bytes(2, 3))
                page.driver.find_element("id", "file-choice").send_keys(good)
                page.wait_for("return document.getElementById('board').dataset.state === 'playing'")
            before = page.js(BOARD)
            for name, contents, said in CASES:
                label = name + (" over a puzzle" if playing else "")
                path = os.path.join(folder, name)
                open(path, "wb").write(contents())
                page.js("document.getElementById('message').hidden = true")
                page.driver.find_element("id", "file-choice").send_keys(path)
                try:
                    page.wait_for("return !document.getElementById('message').hidden", timeout=10)
                    message = page.js("return document.getElementById('message').textContent")
                    assert said in message, "%r is not said in %r" % (said, message)
                    after = page.js(BOARD)
                    if playing:
                        assert after == before, "the puzzle on screen became %s" % (after,)
                    else:
                        assert after[0], "the board is shown"
                    print("PASS:", label)
                except Exception as error:  # every case is run and reported
                    failures += 1
                    print("FAIL: %s: %s" % (label, error))
        requests = page.requests_besides_page()
        if requests:
            failures += 1
            print("FAIL: the page made requests:", requests)
        errors = page.script_errors()
        if errors:
            failures += 1
            print("FAIL: the page reported errors:", errors)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
