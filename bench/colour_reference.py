#!/usr/bin/python3
"""The reference for the layouts of more than one bit, written with Pillow apart from the C++
engine: each pixel laid over the background, reduced to the layout's levels (truncated,
rounded or dithered, as docs/colour.md writes it) and packed. The samples' expected colour
listings are made with it.

    colour_reference.py LAYOUT [--reduce round] [--dither NAME] [--background black]
                        [--rotate N] [--flip h|v] [--size WxH] [--fit NAME] FILE
"""
import sys

from PIL import Image

from reference import BAYER4, BAYER8, DIFFUSIONS, entry_lines, fitted, grey_rows, turn

# name: (grey, bits of each level, bits a pixel, first pixel low / low byte first)
LAYOUTS = {
    "grey2-msb": (True, (2,), 2, False),
    "grey2-lsb": (True, (2,), 2, True),
    "grey4-msb": (True, (4,), 4, False),
    "grey4-lsb": (True, (4,), 4, True),
    "grey8": (True, (8,), 8, False),
    "rgb565": (False, (5, 6, 5), 16, False),
    "rgb565-le": (False, (5, 6, 5), 16, True),
    "rgb332": (False, (3, 3, 2), 8, False),
    "rgb888": (False, (8, 8, 8), 24, False),
    "bgr888": (False, (8, 8, 8), 24, True),
    "bgra8888": (False, (8, 8, 8, 8), 32, True),
    "rgb565a8": (False, (5, 6, 5, 8), 16, True),
    "rgb565le-a8": (False, (5, 6, 5, 8), 24, True),
    "a1": (True, (1,), 1, False),
    "a2": (True, (2,), 2, False),
    "a4": (True, (4,), 4, False),
    "a8": (True, (8,), 8, False),
}
ALPHA = ("a1", "a2", "a4", "a8")
INDEXED = {"i1": 1, "i2": 2, "i4": 4, "i8": 8}
# Three-colour e-paper: the palette, in index order; two planes of rows-msb bits.
PALETTES = {"planes-bwr": [(0, 0, 0), (255, 255, 255), (255, 0, 0)],
            "planes-bwy": [(0, 0, 0), (255, 255, 255), (255, 255, 0)]}
# Four-grey e-paper: 2-bit grey levels split over two planes of rows-msb bits, the levels'
# high bits then their low bits; the -inv planes with every pixel's bit inverted.
GREY_PLANES = {"planes-4grey": False, "planes-4grey-inv": True}


def moved(rows, canvas, background, fill):
    """The picture turned, flipped and scaled as docs/preparation.md says, each channel on its
    own; `fill` the canvas around it."""
    rows = turn(rows, canvas.get("rotate", 0), canvas.get("flip"))
    if "size" not in canvas:
        return rows
    size, fit = canvas["size"], canvas.get("fit", "contain")
    if not isinstance(fill, tuple):
        return fitted(rows, size, fit, fill)
    channels = [fitted([[p[k] for p in row] for row in rows], size, fit, fill[k])
                for k in range(len(fill))]
    return [list(zip(*lines)) for lines in zip(*channels)]


def value_rows(path, grey, background=255, alpha=False, canvas=None, keep=False):
    """Each pixel's values over the background: its luminance, or its R, G and B; or its
    alpha alone; or (`keep`) R, G, B and A as they are. With `canvas` the picture moves first: the grey layouts' grey as the one-bit
    layouts move it, else R, G, B and A apart, on a clear canvas of the background's colour."""
    canvas = canvas or {}
    if grey and not alpha:
        return [[[v] for v in row] for row in moved(grey_rows(path, background), canvas,
                                                     background, background)]
    with Image.open(path) as im:
        width, height = im.size
        rgba = im.convert("RGBA").tobytes()
    pixels = [[tuple(rgba[4 * (width * y + x) : 4 * (width * y + x) + 4]) for x in range(width)]
              for y in range(height)]
    pixels = moved(pixels, canvas, background, (background,) * 3 + (0,))
    rows = []
    for line in pixels:
        row = []
        for r, g, b, a in line:
            if alpha or keep:
                row.append([r, g, b, a] if keep else [a])
                continue
            channels = [(299 * r + 587 * g + 114 * b + 500) // 1000] if grey else [r, g, b]
            row.append([(c * a + background * (255 - a) + 127) // 255 for c in channels])
        rows.append(row)
    return rows


def level_value(level, bits):
    top = (1 << bits) - 1
    return (level * 255 + top // 2) // top


def levels(rows, bits, reduce="truncate", dither=None):
    """Rows of each pixel's levels, channel by channel."""
    h, w = len(rows), len(rows[0])
    out = [[[0] * len(bits) for _ in range(w)] for _ in range(h)]
    for c, n in enumerate(bits):
        top = (1 << n) - 1
        if dither in DIFFUSIONS:
            spread, parts = DIFFUSIONS[dither]
            error = [[0] * w for _ in range(h)]
        for y in range(h):
            for x in range(w):
                v = rows[y][x][c]
                if dither in DIFFUSIONS:
                    v += error[y][x]
                    level = (min(max(v, 0), 255) * top + 127) // 255
                    e = v - level_value(level, n)
                    for dx, dy, share in spread:
                        if 0 <= x + dx < w and y + dy < h:
                            error[y + dy][x + dx] += (share * e + parts // 2) // parts
                elif dither in ("bayer4", "bayer8"):
                    m = BAYER4 if dither == "bayer4" else BAYER8
                    k = len(m)
                    t = (2 * m[y % k][x % k] + 1) * 255 // (2 * k * k)
                    level = min(top, (v * top + t) // 255)
                else:
                    level = (v * top + 127) // 255 if reduce == "round" else v >> (8 - n)
                out[y][x][c] = level
    return out


def nearest(palette, v):
    """The palette's index nearest v: the least sum of squares, the earlier on a tie."""
    clamped = [min(max(c, 0), 255) for c in v]
    return min(range(len(palette)),
               key=lambda k: (sum((a - b) ** 2 for a, b in zip(clamped, palette[k])), k))


def palette_indices(rows, palette, dither=None):
    h, w = len(rows), len(rows[0])
    error = [[[0, 0, 0] for _ in range(w)] for _ in range(h)]
    out = [[0] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            v = [rows[y][x][c] + error[y][x][c] for c in range(3)]
            if dither in ("bayer4", "bayer8"):
                m = BAYER4 if dither == "bayer4" else BAYER8
                k = len(m)
                v = [c + (2 * m[y % k][x % k] + 1) * 255 // (2 * k * k) - 127 for c in v]
            out[y][x] = i = nearest(palette, v)
            if dither in DIFFUSIONS:
                spread, parts = DIFFUSIONS[dither]
                for c in range(3):
                    e = v[c] - palette[i][c]
                    for dx, dy, share in spread:
                        if 0 <= x + dx < w and y + dy < h:
                            error[y + dy][x + dx][c] += (share * e + parts // 2) // parts
    return out


def planes(indices):
    """The black plane then the colour plane, rows-msb, a clear bit the ink."""
    data = bytearray()
    for ink in (0, 2):
        for row in indices:
            line = bytearray((len(row) + 7) // 8)
            for x, i in enumerate(row):
                if i != ink:
                    line[x // 8] |= 0x80 >> (x % 8)
            data += line
    return bytes(data)


def grey_planes(level_rows, inverted):
    data = bytearray()
    for bit in (1, 0):
        for row in level_rows:
            line = bytearray((len(row) + 7) // 8)
            for x, (v,) in enumerate(row):
                if (v >> bit & 1) != inverted:
                    line[x // 8] |= 0x80 >> (x % 8)
            data += line
    return bytes(data)


def pack(level_rows, layout):
    grey, bits, pixel_bits, low_first = LAYOUTS[layout]
    if layout == "rgb565a8":  # the RGB565 rows, the low byte first, then the alpha's rows
        words = b"".join((v[0] << 11 | v[1] << 5 | v[2]).to_bytes(2, "little")
                         for row in level_rows for v in row)
        return words + bytes(v[3] for row in level_rows for v in row)
    data = bytearray()
    for row in level_rows:
        if grey and pixel_bits < 8:
            per = 8 // pixel_bits
            line = bytearray((len(row) + per - 1) // per)
            for x, (v,) in enumerate(row):
                slot = x % per
                shift = slot * pixel_bits if low_first else 8 - pixel_bits - slot * pixel_bits
                line[x // per] |= v << shift
            data += line
            continue
        for v in row:
            if len(bits) == 4 and pixel_bits == 24:
                data += (v[0] << 11 | v[1] << 5 | v[2]).to_bytes(2, "little") + bytes([v[3]])
            elif pixel_bits == 32:
                data += bytes([v[2], v[1], v[0], v[3]])
            elif pixel_bits == 24 and low_first:
                data += bytes(v[::-1])
            elif grey or pixel_bits == 24:
                data += bytes(v)
            elif pixel_bits == 8:
                data.append(v[0] << 5 | v[1] << 2 | v[2])
            else:
                word = v[0] << 11 | v[1] << 5 | v[2]
                data += word.to_bytes(2, "little" if low_first else "big")
    return bytes(data)


def indexed(rows, bits):
    """The picture's own colours, in the order first met (a clear pixel clear black), as a table
    of 2^bits entries B, G, R, A, then the indices packed as grey levels, the first high."""
    table, index = [], {}
    for row in rows:
        for v in row:
            key = (0, 0, 0, 0) if v[3] == 0 else tuple(v)
            if key not in index:
                index[key] = len(table)
                table.append(key)
            v[:] = [index[key]]
    if len(table) > 1 << bits:
        raise ValueError("more than %d colours" % (1 << bits))
    head = bytearray(4 << bits)
    for i, (r, g, b, a) in enumerate(table):
        head[4 * i: 4 * i + 4] = bytes([b, g, r, a])
    per = 8 // bits
    data = bytearray(head)
    for row in rows:
        line = bytearray((len(row) + per - 1) // per)
        for x, (k,) in enumerate(row):
            line[x // per] |= k << (8 - bits - x % per * bits)
        data += line
    return bytes(data)


def layout_bytes(path, layout, reduce="truncate", dither=None, background=255, canvas=None):
    if layout in INDEXED:
        return indexed(value_rows(path, False, background, False, canvas, True), INDEXED[layout])
    if layout in PALETTES:
        return planes(palette_indices(value_rows(path, False, background, False, canvas),
                                      PALETTES[layout], dither))
    if layout in GREY_PLANES:
        rows = value_rows(path, True, background, False, canvas)
        return grey_planes(levels(rows, (2,), reduce, dither), GREY_PLANES[layout])
    grey, bits, _, _ = LAYOUTS[layout]
    rows = value_rows(path, grey, background, layout in ALPHA, canvas, len(bits) == 4)
    return pack(levels(rows, bits, reduce, dither), layout)


def main(argv):
    options = dict(zip(argv[1:-1:2], argv[2:-1:2]))
    if len(argv) < 2 or argv[0] not in {**LAYOUTS, **PALETTES, **INDEXED, **GREY_PLANES} or len(argv) % 2 or \
            set(options) - {"--reduce", "--dither", "--background", "--rotate", "--flip", "--size",
                            "--fit"}:
        sys.stderr.write(__doc__)
        return 2
    canvas = {"rotate": int(options.get("--rotate", 0)), "flip": options.get("--flip"),
              "fit": options.get("--fit", "contain")}
    if "--size" in options:
        canvas["size"] = tuple(int(n) for n in options["--size"].split("x"))
    data = layout_bytes(argv[-1], argv[0], options.get("--reduce", "truncate"),
                        options.get("--dither"),
                        0 if options.get("--background") == "black" else 255, canvas)
    sys.stdout.write(entry_lines(data))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
