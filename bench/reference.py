#!/usr/bin/python3
"""A plain reference for dotlane-cli, written with Pillow: the T6963C and SED1565 listings of
a 1-bit BMP file, the four bit layouts and the C declaration, computed independently of the
C++ engine. The benchmark times it against dotlane-cli; the samples' expected listings are
made with it.

    reference.py t6963c|sed1565 [--invert-colors] FILE
"""
import struct
import sys

from PIL import Image

WHITE, BLACK = (255, 255, 255), (0, 0, 0)
ENTRIES = ["0x%02X," % v for v in range(256)]


def ink_rows(path, invert=False):
    """Rows of booleans from the top (a set bit: not pure white, or not pure black when
    inverted), and whether the file stores its rows from the top."""
    with open(path, "rb") as f:
        head = f.read(26)
    top_down = head[:2] == b"BM" and struct.unpack_from("<i", head, 22)[0] < 0
    with Image.open(path) as im:
        width, height = im.size
        rgb = im.convert("RGB").tobytes()
    clear = bytes(BLACK if invert else WHITE)
    rows = []
    for y in range(height):
        row = rgb[3 * width * y : 3 * width * (y + 1)]
        rows.append([row[i : i + 3] != clear for i in range(0, 3 * width, 3)])
    return rows, top_down


def threshold_rows(path, threshold=128, invert=False):
    """Rows of booleans for a picture of any format: dark when the grey of the pixel laid
    over white is below `threshold`; light pixels are the set ones when inverted."""
    return [[(grey < threshold) != invert for grey in row] for row in grey_rows(path)]


def grey_rows(path, background=255):
    """Rows of grey levels: each pixel's luminance laid over the background (255 white, 0
    black) by its alpha; a 1-bit BMP file's pixels are their palette colours, opaque."""
    with Image.open(path) as im:
        width, height = im.size
        rgba = im.convert("RGBA").tobytes()
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            r, g, b, a = rgba[4 * (width * y + x) : 4 * (width * y + x) + 4]
            luminance = (299 * r + 587 * g + 114 * b + 500) // 1000
            row.append((luminance * a + background * (255 - a) + 127) // 255)
        rows.append(row)
    return rows


def turn(rows, rotate, flip):
    """The picture turned clockwise by `rotate` degrees, then mirrored (h) or upside down (v)."""
    h, w = len(rows), len(rows[0])
    if rotate == 90:
        rows = [[rows[h - 1 - x][y] for x in range(h)] for y in range(w)]
    elif rotate == 180:
        rows = [row[::-1] for row in rows[::-1]]
    elif rotate == 270:
        rows = [[rows[x][w - 1 - y] for x in range(h)] for y in range(w)]
    if flip == "h":
        rows = [row[::-1] for row in rows]
    elif flip == "v":
        rows = rows[::-1]
    return rows


def taps(n, m, k):
    """The source pixels of scaled pixel k (n pixels scaled to m) with their weights, and the
    weights' sum: the overlaps of [k n, (k + 1) n) with [j m, (j + 1) m) when reducing, else
    the one pixel under the centre of k."""
    if m >= n:
        return [((2 * k + 1) * n // (2 * m), 1)], 1
    overlaps = [(j, min((k + 1) * n, (j + 1) * m) - max(k * n, j * m)) for j in range(n)]
    return [(j, o) for j, o in overlaps if o > 0], n


def extent(w, h, width, height, fit):
    if fit == "none":
        return w, h
    if fit == "stretch":
        return width, height
    across = lambda side, to, frm: max(1, (2 * side * to + frm) // (2 * frm))
    if (width * h <= height * w) == (fit == "contain"):
        return width, across(h, width, w)
    return across(w, height, h), height


def place(canvas, scaled):
    return (canvas - scaled) // 2 if canvas >= scaled else -((scaled - canvas) // 2)


def fitted(rows, size, fit, background):
    """The turned picture scaled as `fit` says and centred on a canvas of `size`."""
    h, w = len(rows), len(rows[0])
    if size is None:
        return rows
    width, height = size
    sw, sh = extent(w, h, width, height, fit)
    ox, oy = place(width, sw), place(height, sh)
    out = [[background] * width for _ in range(height)]
    for y in range(height):
        if not 0 <= y - oy < sh:
            continue
        ys, ty = taps(h, sh, y - oy)
        for x in range(width):
            if not 0 <= x - ox < sw:
                continue
            xs, tx = taps(w, sw, x - ox)
            total = sum(wy * wx * rows[j][i] for j, wy in ys for i, wx in xs)
            out[y][x] = (total + tx * ty // 2) // (tx * ty)
    return out


BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]
BAYER8 = [[0, 32, 8, 40, 2, 34, 10, 42], [48, 16, 56, 24, 50, 18, 58, 26],
          [12, 44, 4, 36, 14, 46, 6, 38], [60, 28, 52, 20, 62, 30, 54, 22],
          [3, 35, 11, 43, 1, 33, 9, 41], [51, 19, 59, 27, 49, 17, 57, 25],
          [15, 47, 7, 39, 13, 45, 5, 37], [63, 31, 55, 23, 61, 29, 53, 21]]
# (dx, dy, share) and the share's denominator.
DIFFUSIONS = {"floyd-steinberg": ([(1, 0, 7), (-1, 1, 3), (0, 1, 5), (1, 1, 1)], 16),
              "atkinson": ([(1, 0, 1), (2, 0, 1), (-1, 1, 1), (0, 1, 1), (1, 1, 1), (0, 2, 1)], 8)}


def dark_rows(rows, threshold, dither):
    h, w = len(rows), len(rows[0])
    if dither in ("bayer4", "bayer8"):
        m = BAYER4 if dither == "bayer4" else BAYER8
        n = len(m)
        return [[rows[y][x] * n * n < (2 * m[y % n][x % n] + 1) * 128 for x in range(w)]
                for y in range(h)]
    if dither is None:
        return [[g < threshold for g in row] for row in rows]
    spread, parts = DIFFUSIONS[dither]
    error = [[0] * w for _ in range(h)]
    dark = [[False] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            value = rows[y][x] + error[y][x]
            dark[y][x] = value < 128
            e = value - (0 if dark[y][x] else 255)
            for dx, dy, share in spread:
                if 0 <= x + dx < w and y + dy < h:
                    error[y + dy][x + dx] += (share * e + parts // 2) // parts
    return dark


def prepared_rows(path, background=255, rotate=0, flip=None, size=None, fit="contain",
                  threshold=128, dither=None, ink="dark"):
    """The set bits of any picture after the preparation steps of docs/preparation.md, in order."""
    return prepared_grey(grey_rows(path, background), background, rotate, flip, size, fit,
                         threshold, dither, ink)


def prepared_grey(rows, background=255, rotate=0, flip=None, size=None, fit="contain",
                  threshold=128, dither=None, ink="dark"):
    """The same steps from rows of grey (an animation's frame)."""
    rows = fitted(turn(rows, rotate, flip), size, fit, background)
    return [[d != (ink == "light") for d in row] for row in dark_rows(rows, threshold, dither)]


def pack(bits, lsb_first):
    """Bytes of a run of bits, 8 to a byte, the first bit in bit 0 (lsb_first) or bit 7."""
    out = bytearray((len(bits) + 7) // 8)
    for i, bit in enumerate(bits):
        if bit:
            out[i // 8] |= (1 << (i % 8)) if lsb_first else (0x80 >> (i % 8))
    return bytes(out)


def page_columns(rows):
    """For every page of 8 rows from the top, each column's 8 bits from the top, the rows
    past the picture clear."""
    width = len(rows[0])
    padded = rows + [[False] * width] * (-len(rows) % 8)
    for top in range(0, len(padded), 8):
        for x in range(width):
            yield [padded[top + k][x] for k in range(8)]


def layout_bytes(rows, layout):
    if layout in ("rows-msb", "rows-lsb"):
        return b"".join(pack(row, layout == "rows-lsb") for row in rows)
    lsb = layout == "pages-lsb"
    return b"".join(pack(column, lsb) for column in page_columns(rows))


def entry_lines(data):
    return "".join(
        "".join(ENTRIES[b] for b in data[i : i + 16]) + "\n" for i in range(0, len(data), 16)
    )


def t6963c(rows, top_down):
    stored = rows if top_down else rows[::-1]
    per_row = (len(rows[0]) + 7) // 8
    lines = ["%d,%d," % (len(rows), per_row)]
    lines += ["".join(ENTRIES[b] for b in pack(row, False)) for row in stored]
    return "\r\n".join(lines) + "\r\n"


def sed1565(rows):
    data = layout_bytes(rows, "pages-lsb")
    return "\r\n".join(
        "".join(ENTRIES[b] for b in data[i : i + 16]) for i in range(0, len(data), 16)
    )


def main(argv):
    args = [a for a in argv if a != "--invert-colors"]
    if len(args) != 2 or args[0] not in ("t6963c", "sed1565"):
        sys.stderr.write(__doc__)
        return 2
    rows, top_down = ink_rows(args[1], "--invert-colors" in argv)
    text = t6963c(rows, top_down) if args[0] == "t6963c" else sed1565(rows)
    sys.stdout.buffer.write(text.encode("ascii"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
