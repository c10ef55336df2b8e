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
    """Rows of booleans for a picture of any format: dark when the luminance
    (299 R + 587 G + 114 B) / 1000, rounded, of the pixel laid over white is below
    `threshold`; light pixels are the set ones when inverted."""
    with Image.open(path) as im:
        width, height = im.size
        rgba = im.convert("RGBA").tobytes()
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            r, g, b, a = rgba[4 * (width * y + x) : 4 * (width * y + x) + 4]
            luminance = (299 * r + 587 * g + 114 * b + 500) // 1000
            dark = (luminance * a + 255 * (255 - a) + 127) // 255 < threshold
            row.append(dark != invert)
        rows.append(row)
    return rows


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
