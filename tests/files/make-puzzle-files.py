#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the odd and damaged puzzle files in tests/data from the shared test pictures; run once, outputs committed.
import struct
import sys
from pathlib import Path

PICTURES = Path(sys.argv[1] if len(sys.argv) > 1 else "/work/shared/testdata/pictures")
OUT = Path(__file__).resolve().parent.parent / "data"


def picture(name):
    return (PICTURES / name).read_bytes()


def set_up(rows, cols, extra_row=0, extra_col=0):
    """The solved layout as the program sets it up: [column][row] of (Number, HomeX, HomeY)."""
    grid = [[(0, 0, 0)] * 6 for _ in range(6)]
    for c in range(1, cols + extra_col + 1):
        for r in range(1, rows + extra_row + 1):
            if c <= cols and r <= rows:
                grid[c - 1][r - 1] = ((r - 1) * cols + c, c, r)
    return grid


def shift_row(grid, row, width):
    """One step left of a whole row, the way a move carries records around."""
    first = grid[0][row - 1]
    for c in range(width - 1):
        grid[c][row - 1] = grid[c + 1][row - 1]
    grid[width - 1][row - 1] = first


def arrangement(grid):
    return b"".join(struct.pack("<3i", *grid[c][r]) for c in range(6) for r in range(6))


def puzzle(version=1, effect=4, semi=0, rows=3, cols=4, extra_row=0, extra_col=0,
           target=None, current=None, jpeg=None, semi_byte=None):
    if target is None:
        target = set_up(rows, cols, extra_row, extra_col)
    if current is None:
        current = [column[:] for column in target]
        shift_row(current, 1, cols + extra_col)
    head = struct.pack("<ii", version, effect) + bytes([semi if semi_byte is None else semi_byte])
    grid = struct.pack("<4i", rows, cols, extra_row, extra_col) + arrangement(target) + arrangement(current)
    assert len(head + grid) == 889
    return head + grid + (picture("colour-420.jpg") if jpeg is None else jpeg)


def segment(marker, body):
    return b"\xff" + bytes([marker]) + struct.pack(">H", len(body) + 2) + body


def scan_bomb(width, height, scans):
    """A progressive grey JPEG whose scans carry no data: each one still costs the decoder a pass over the
    whole picture."""
    table = bytes([1] + [0] * 15) + b"\x00"  # one code, for symbol 0
    out = b"\xff\xd8" + segment(0xDB, b"\x00" + b"\x01" * 64)
    out += segment(0xC2, struct.pack(">BHHB", 8, height, width, 1) + b"\x01\x11\x00")
    out += segment(0xC4, b"\x00" + table + b"\x10" + table)
    out += segment(0xDA, b"\x01\x01\x00\x00\x00\x00")  # DC first
    out += segment(0xDA, b"\x01\x01\x00\x01\x3f\x00") * (scans - 1)  # AC first, again and again
    return out + b"\xff\xd9"


def alpha_bmp(header_size, alpha):
    """rgb24.bmp as a 32-bit bitmap with a V4 or V5 header whose masks make the fourth byte alpha(x, y)."""
    source = picture("rgb24.bmp")
    width, height = struct.unpack("<ii", source[18:26])
    stride = (width * 3 + 3) // 4 * 4
    bits = bytearray()
    for row in range(height):  # bottom-up, as stored
        line = source[54 + row * stride:]
        for x in range(width):
            bits += line[3 * x:3 * x + 3] + bytes([alpha(x, height - 1 - row)])
    info = struct.pack("<IiiHHIIiiII", header_size, width, height, 1, 32, 3, len(bits), 2835, 2835, 0, 0)
    info += struct.pack("<4I", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000) + b"BGRs"
    info += b"\x00" * (header_size - len(info))
    return b"BM" + struct.pack("<IHHI", 14 + len(info) + len(bits), 0, 0, 14 + len(info)) + info + bytes(bits)


def write(name, data):
    (OUT / name).write_bytes(data)


def main():
    good = puzzle()
    write("puzzle-3x4.nbq", good)

    # Files that open.
    write("version-zero.nbq", puzzle(version=0))
    write("version-minus-one.nbq", puzzle(version=-1))
    write("semi-effect-byte-seven.nbq", puzzle(semi_byte=7))
    write("effect-ninety-nine.nbq", puzzle(effect=99))
    write("picture-grey.nbq", puzzle(jpeg=picture("grey.jpg")))
    jpeg = picture("colour-420.jpg")
    write("picture-truncated-after-headers.nbq", puzzle(jpeg=jpeg[: len(jpeg) * 6 // 10]))
    garbage_target = set_up(2, 2, 1, 1)
    garbage_target[2][0] = (0, 77, -5)  # the Home of an empty cell means nothing
    garbage_target[5][5] = (123, 9, 9)  # outside the used region
    garbage_current = [column[:] for column in garbage_target]
    garbage_current[4][4] = (-1, -1, -1)
    write("outside-region-garbage.nbq",
          puzzle(rows=2, cols=2, extra_row=1, extra_col=1, target=garbage_target, current=garbage_current))

    # Files that need a newer program.
    write("version-two.nbq", puzzle(version=2))
    write("version-two-header-only.nbq", struct.pack("<i", 2))
    write("version-max.nbq", puzzle(version=0x7FFFFFFF))

    # Damaged headers and grids.
    write("empty.nbq", b"")
    write("cut-inside-version.nbq", good[:3])
    write("short-header.nbq", good[:600])
    write("rows-zero.nbq", puzzle(rows=0, target=set_up(3, 4), current=set_up(3, 4)))
    write("rows-five.nbq", puzzle(rows=5, cols=4))
    write("cols-one.nbq", puzzle(rows=3, cols=1))
    write("rows-six-with-extra-row.nbq", puzzle(rows=6, cols=2, extra_row=1,
                                                 target=set_up(5, 2), current=set_up(5, 2)))
    write("extra-col-two.nbq", puzzle(extra_col=2, target=set_up(3, 4, 0, 1)))
    write("extra-row-minus-one.nbq", puzzle(extra_row=-1, target=set_up(3, 4), current=set_up(3, 4)))
    scrambled = set_up(3, 4)
    scrambled[0][0], scrambled[1][0] = scrambled[1][0], scrambled[0][0]
    write("target-scrambled.nbq", puzzle(target=scrambled, current=[c[:] for c in scrambled]))
    wrong_home = set_up(3, 4)
    wrong_home[1][1] = (6, 3, 2)
    write("target-home-wrong.nbq", puzzle(target=wrong_home, current=[c[:] for c in wrong_home]))
    filled = set_up(2, 2, 1, 0)
    filled[0][2] = (5, 1, 3)
    write("target-extra-row-not-empty.nbq", puzzle(rows=2, cols=2, extra_row=1, target=filled,
                                                   current=[c[:] for c in filled]))
    twice = set_up(3, 4)
    twice[0][1] = twice[0][0]
    write("current-not-permutation.nbq", puzzle(current=twice))
    moved_home = set_up(3, 4)
    moved_home[2][2] = (11, 1, 1)
    write("current-home-mismatch.nbq", puzzle(current=moved_home))
    beyond = set_up(3, 4)
    beyond[3][2] = (13, 1, 4)
    write("current-number-out-of-range.nbq", puzzle(current=beyond))

    # Damaged pictures.
    write("picture-missing.nbq", good[:889])
    write("picture-not-jpeg.nbq", puzzle(jpeg=picture("rgb24.bmp")))
    write("picture-truncated-in-headers.nbq", puzzle(jpeg=picture("truncated-in-headers.jpg")))
    write("huge-picture.nbq", puzzle(jpeg=picture("huge-dimensions.jpg")))
    write("picture-scan-bomb.nbq", puzzle(jpeg=scan_bomb(8192, 8192, 1000)))
    write("scan-bomb.jpg", scan_bomb(2048, 2048, 1000))
    write("scans-at-limit.jpg", scan_bomb(64, 48, 100))
    write("huge-progressive.jpg", scan_bomb(16384, 16384, 1))

    # Bitmaps whose fourth byte is alpha: 0 everywhere, and every value.
    write("alpha-zero-v4.bmp", alpha_bmp(108, lambda x, y: 0))
    write("alpha-mixed-v5.bmp", alpha_bmp(124, lambda x, y: (x + 3 * y) % 256))

    # Bytes after the end of the picture are never read.
    write("trailing-bytes.nbq", good + b"\x00" * 4096 + b"not a picture")


if __name__ == "__main__":
    main()
