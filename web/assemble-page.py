#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Puts the player's page together: its style, its scripts, the compiled core and the concealment texture inside
one HTML file, the template that exported pages fill with a puzzle, and the home page that holds none."""
import base64
import os
import sys

PUZZLE = "@PUZZLE@"
# Every exported page carries the whole player besides its puzzle: a mail attachment must stay small.
BUDGET = 250 * 1000


def main():
    page, css, scripts, core, wasm, texture, template_out, index_out = sys.argv[1:9]
    read = lambda path: open(path, encoding="utf-8").read()
    # The player's scripts (a list of paths) share one function's scope, in order: none leaks a name to the page.
    player = "\n".join(read(path) for path in scripts.split(os.pathsep))
    parts = {
        "@PLAYER_CSS@": read(css),
        "@PLAYER_JS@": "'use strict';\n(() => {\n" + player + "})();\n",
        "@CORE_JS@": read(core),
        # The module's bytes travel as text: a browser refuses to fetch a .wasm file beside a page opened from
        # file://, and the page forbids every fetch anyway.
        "@CORE_WASM@": base64.b64encode(open(wasm, "rb").read()).decode("ascii"),
        "@TEXTURE@": base64.b64encode(open(texture, "rb").read()).decode("ascii"),
    }
    for name, text in parts.items():
        # Inline text must not end its element early, nor hold the mark an export replaces.
        if "</script" in text.lower() or "</style" in text.lower() or PUZZLE in text:
            sys.exit(f"{name} cannot be inlined: it holds an end tag or the puzzle's mark")
    html = read(page)
    for name, text in parts.items():
        if html.count(name) != 1:
            sys.exit(f"{page} must hold {name} once")
        html = html.replace(name, text)
    if html.count(PUZZLE) != 1:
        sys.exit(f"{page} must hold {PUZZLE} once")
    index = html.replace(PUZZLE, "")
    size = len(index.encode("utf-8"))
    if size > BUDGET:
        sys.exit(f"the player takes {size} bytes, more than its budget of {BUDGET}")
    open(template_out, "w", encoding="utf-8").write(html)
    open(index_out, "w", encoding="utf-8").write(index)


if __name__ == "__main__":
    main()
