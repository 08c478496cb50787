#!/usr/bin/env python3
"""Draws the product icon (a page with its top and left margins marked) and writes
it as tavisk.ico: one 16x16 and one 32x32 image, 256 colours each. Run it again
after changing the drawing; the .ico it writes is what the resources include."""
import struct
import sys

# Palette entries used by the drawing; the rest of the 256 stay black.
COLOURS = {
    ".": (0, 0, 0),          # transparent (masked)
    "k": (64, 64, 64),       # page outline
    "w": (255, 255, 255),    # paper
    "f": (192, 192, 192),    # folded corner
    "b": (0, 90, 200),       # margin guides
    "t": (120, 120, 120),    # text lines
    "r": (200, 40, 40),      # margin arrows
}
KEYS = list(COLOURS)


def draw(size):
    s = size / 32.0
    grid = [["." for _ in range(size)] for _ in range(size)]

    def px(x, y, c):
        if 0 <= x < size and 0 <= y < size:
            grid[y][x] = c

    left, top, right, bottom = round(5 * s), round(2 * s), round(26 * s), round(29 * s)
    fold = max(3, round(7 * s))
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            edge = x in (left, right) or y in (top, bottom)
            px(x, y, "k" if edge else "w")
    # The top right corner folded down: cut off above the diagonal, a grey flap below.
    for y in range(top, top + fold + 1):
        for x in range(right - fold, right + 1):
            dx, dy = x - (right - fold), y - top
            if dx > dy:
                px(x, y, ".")
            elif dx == dy or x == right - fold or y == top + fold:
                px(x, y, "k")
            else:
                px(x, y, "f")
    gx, gy = left + max(2, round(6 * s)), top + max(3, round(8 * s))
    for y in range(top + 1, bottom):  # left margin guide
        px(gx, y, "b")
    for x in range(left + 1, right):  # top margin guide
        if grid[gy][x] == "w":
            px(x, gy, "b")
    step = max(2, round(3 * s))
    for y in range(gy + step, bottom - 1, step):  # text inside the margins
        for x in range(gx + 2, right - max(1, round(3 * s))):
            px(x, y, "t")
    for i in range(1, max(2, round(4 * s))):  # arrows into the margins
        px(gx - i, gy + max(2, round(4 * s)), "r")
        px(gx + max(3, round(5 * s)), gy - i, "r")
    return grid


def image(size):
    grid = draw(size)
    palette = b"".join(struct.pack("<BBBB", *reversed(COLOURS[k]), 0) for k in KEYS)
    palette += b"\0" * (4 * (256 - len(KEYS)))
    row = (size + 3) & ~3
    xor = b"".join(bytes(KEYS.index(grid[y][x]) for x in range(size)) + b"\0" * (row - size)
                   for y in reversed(range(size)))
    mask_row = ((size + 31) // 32) * 4
    mask = b""
    for y in reversed(range(size)):
        bits = 0
        for x in range(size):
            if grid[y][x] == ".":
                bits |= 1 << (mask_row * 8 - 1 - x)
        mask += bits.to_bytes(mask_row, "big")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(xor) + len(mask), 0, 0, 256, 0)
    return header + palette + xor + mask


def main(path):
    images = [image(16), image(32)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((16, 32), images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "tavisk.ico")
