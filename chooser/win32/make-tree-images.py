#!/usr/bin/env python3
"""Draws the folder tree's four images and writes them as weblist.bmp: one 64x16
strip of 24-bit pixels holding, left to right, "web" (a folder with a globe on it),
"closed" (a closed yellow folder), "hfile" (a page of text with a web emblem) and
"open" (an open yellow folder). Silver (192, 192, 192) is the mask colour: it marks
the transparent pixels and appears nowhere in the drawings. Run it again after
changing a drawing; the .bmp it writes is what the resources include."""
import struct
import sys

SIZE = 16
COLOURS = {
    ".": (192, 192, 192),  # transparent (the mask colour)
    "k": (64, 48, 0),      # folder outline
    "y": (255, 224, 96),   # folder face
    "d": (216, 168, 32),   # folder back and shade
    "l": (255, 244, 176),  # folder highlight
    "p": (72, 72, 72),     # page outline
    "w": (255, 255, 255),  # paper
    "t": (112, 112, 112),  # text lines
    "b": (24, 96, 208),    # sea
    "g": (40, 160, 64),    # land
    "n": (0, 40, 120),     # globe outline
}


def blank():
    return [["." for _ in range(SIZE)] for _ in range(SIZE)]


def put(grid, x, y, c):
    if 0 <= x < SIZE and 0 <= y < SIZE:
        grid[y][x] = c


def closed_folder(grid):
    # The tab on the back, then the body with a highlight along its top edge.
    for x in range(1, 7):
        put(grid, x, 3, "k")
    for y in range(4, 6):
        put(grid, 0, y, "k")
        for x in range(1, 7):
            put(grid, x, y, "d")
        put(grid, 7, y, "k")
    for y in range(5, 15):
        for x in range(0, 16):
            edge = x in (0, 15) or y in (5, 14)
            put(grid, x, y, "k" if edge else "y")
    for x in range(1, 15):
        put(grid, x, 6, "l")
    for x in range(1, 15):
        put(grid, x, 13, "d")


def open_folder(grid):
    # The back of the folder, then its front flap tilted open towards the viewer.
    for x in range(1, 7):
        put(grid, x, 2, "k")
    for y in range(3, 14):
        put(grid, 0, y, "k")
        for x in range(1, 14):
            put(grid, x, y, "d" if y > 3 else "k")
        put(grid, 14, y, "k")
    for x in range(0, 15):
        put(grid, x, 14, "k")
    for row, y in enumerate(range(7, 14)):
        left = 3 - row // 3
        right = 15 - row // 3
        for x in range(left, right + 1):
            edge = y in (7, 13) or x in (left, right)
            put(grid, x, y, "k" if edge else "y")
    for x in range(4, 15):
        put(grid, x, 8, "l")


def globe(grid, cx, cy, r):
    # A sea-blue disc with two patches of land, outlined.
    for y in range(cy - r, cy + r + 1):
        for x in range(cx - r, cx + r + 1):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if d <= r * r:
                put(grid, x, y, "b")
            if r * r - r <= d <= r * r + r:
                put(grid, x, y, "n")
    land = [(-1, -2), (0, -2), (-2, -1), (-1, -1), (0, -1), (-1, 0), (1, 1), (2, 1), (1, 2), (2, 0)]
    for dx, dy in land:
        if (dx * dx + dy * dy) < r * r - r and grid[cy + dy][cx + dx] == "b":
            put(grid, cx + dx, cy + dy, "g")


def page(grid):
    left, top, right, bottom = 2, 0, 12, 15
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            edge = x in (left, right) or y in (top, bottom)
            put(grid, x, y, "p" if edge else "w")
    for y in range(3, 10, 2):
        for x in range(left + 2, right - 1):
            put(grid, x, y, "t")


def drawings():
    web = blank()
    closed_folder(web)
    globe(web, 10, 10, 5)
    closed = blank()
    closed_folder(closed)
    hfile = blank()
    page(hfile)
    globe(hfile, 11, 11, 4)
    opened = blank()
    open_folder(opened)
    return [web, closed, hfile, opened]


def bmp(images):
    width, height = SIZE * len(images), SIZE
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(height)):  # bottom-up
        row = bytearray()
        for image in images:
            for x in range(SIZE):
                r, g, b = COLOURS[image[y][x]]
                row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        rows.append(bytes(row))
    pixels = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return head + info + pixels


def main():
    images = drawings()
    used = {c for image in images for row in image for c in row if c != "."}
    assert all(COLOURS[c] != COLOURS["."] for c in used), "the mask colour is drawn"
    out = sys.argv[1] if len(sys.argv) > 1 else "weblist.bmp"
    with open(out, "wb") as f:
        f.write(bmp(images))


if __name__ == "__main__":
    main()
