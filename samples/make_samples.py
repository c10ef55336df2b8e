#!/usr/bin/python3
"""Draws Dotlane's sample pictures and writes the listings dotlane-cli must give for them.

    make_samples.py [--out DIR]            the samples and DIR/expected (default: beside this file)
    make_samples.py --bench-picture FILE   the 496 x 496 picture the benchmark lists

Every picture is drawn here from shapes and the pixel letters below. The expected listings
come from bench/reference.py, which computes them with Pillow, apart from the C++ engine;
expected/MANIFEST pairs each listing file with the dotlane-cli arguments that must print it.
"""
import os
import struct
import sys

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # leave no cache in the source tree
sys.path.insert(0, os.path.join(HERE, "..", "bench"))
import reference  # noqa: E402
from guess_set import guess_set  # noqa: E402
from reverse_rows import reverse_rows  # noqa: E402
from colour_samples import write_colour_samples  # noqa: E402

# Letters 5 pixels wide and 7 high, drawn for these samples.
GLYPHS = {
    "A": ".###. #...# #...# ##### #...# #...# #...#",
    "B": "####. #...# #...# ####. #...# #...# ####.",
    "C": ".###. #...# #.... #.... #.... #...# .###.",
    "D": "####. #...# #...# #...# #...# #...# ####.",
    "E": "##### #.... #.... ####. #.... #.... #####",
    "F": "##### #.... #.... ####. #.... #.... #....",
    "G": ".###. #...# #.... #.### #...# #...# .###.",
    "H": "#...# #...# #...# ##### #...# #...# #...#",
    "I": ".###. ..#.. ..#.. ..#.. ..#.. ..#.. .###.",
    "K": "#...# #..#. #.#.. ##... #.#.. #..#. #...#",
    "L": "#.... #.... #.... #.... #.... #.... #####",
    "M": "#...# ##.## #.#.# #.#.# #...# #...# #...#",
    "N": "#...# ##..# #.#.# #..## #...# #...# #...#",
    "O": ".###. #...# #...# #...# #...# #...# .###.",
    "P": "####. #...# #...# ####. #.... #.... #....",
    "R": "####. #...# #...# ####. #.#.. #..#. #...#",
    "S": ".#### #.... #.... .###. ....# ....# ####.",
    "T": "##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#..",
    "U": "#...# #...# #...# #...# #...# #...# .###.",
    "V": "#...# #...# #...# #...# #...# .#.#. ..#..",
    "W": "#...# #...# #...# #.#.# #.#.# ##.## #...#",
    "Y": "#...# #...# .#.#. ..#.. ..#.. ..#.. ..#..",
    "0": ".###. #..## #.#.# #.#.# ##..# #...# .###.",
    "1": "..#.. .##.. ..#.. ..#.. ..#.. ..#.. .###.",
    "2": ".###. #...# ....# ..##. .#... #.... #####",
    "3": "####. ....# ....# .###. ....# ....# ####.",
    "4": "...#. ..##. .#.#. #..#. ##### ...#. ...#.",
    "5": "##### #.... ####. ....# ....# #...# .###.",
    "6": "..##. .#... #.... ####. #...# #...# .###.",
    "7": "##### ....# ...#. ..#.. .#... .#... .#...",
    "8": ".###. #...# #...# .###. #...# #...# .###.",
    "9": ".###. #...# #...# .#### ....# ...#. .##..",
    ":": "..... ..#.. ..#.. ..... ..#.. ..#.. .....",
    ".": "..... ..... ..... ..... ..... .##.. .##..",
    "%": "##..# ##..# ...#. ..#.. .#... #..## #..##",
    " ": "..... ..... ..... ..... ..... ..... .....",
}


def text(draw, x, y, words, scale=1, fill=0):
    """Writes `words` in the pixel letters, 6 * scale pixels a letter."""
    for i, letter in enumerate(words):
        for row, line in enumerate(GLYPHS[letter].split()):
            for col, mark in enumerate(line):
                if mark == "#":
                    left, top = x + (6 * i + col) * scale, y + row * scale
                    draw.rectangle((left, top, left + scale - 1, top + scale - 1), fill=fill)


def art(rows):
    """A picture from strings, "#" black: small pictures drawn pixel by pixel."""
    im = Image.new("1", (len(rows[0]), len(rows)), 1)
    for y, row in enumerate(rows):
        assert len(row) == im.width, row
        for x, mark in enumerate(row):
            if mark == "#":
                im.putpixel((x, y), 0)
    return im


def bmp_bytes(im, white_first=False, top_down=False):
    """A 1-bit BMP file with a 40-byte header; black pixels take the black palette entry."""
    width, height = im.size
    stride = (width + 31) // 32 * 4
    black = 1 if white_first else 0
    rows = []
    for y in range(height):
        row = bytearray(stride)
        for x in range(width):
            index = black if im.getpixel((x, y)) == 0 else 1 - black
            if index:
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    if not top_down:
        rows.reverse()
    palette = [b"\xff\xff\xff\x00", b"\x00\x00\x00\x00"]
    if not white_first:
        palette.reverse()
    offset = 14 + 40 + 8
    data = b"".join(rows)
    file_header = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, 1, 0,
                       len(data), 3780, 3780, 2, 0)
    return file_header + info + b"".join(palette) + data


def logo():
    im = Image.new("1", (128, 64), 1)
    d = ImageDraw.Draw(im)
    d.rectangle((0, 0, 127, 63), outline=0)
    d.rectangle((2, 2, 125, 61), outline=0)
    text(d, 23, 8, "DOTLANE", scale=2)
    d.ellipse((8, 34, 28, 54), fill=0)
    d.ellipse((13, 39, 23, 49), fill=1)
    for lane, gap in enumerate((2, 3, 4)):
        y = 36 + 7 * lane
        for x in range(34, 100, gap):
            d.point((x, y), fill=0)
    text(d, 102, 48, "LCD")
    return im


def screen():
    im = Image.new("1", (240, 128), 1)
    d = ImageDraw.Draw(im)
    d.rectangle((0, 0, 239, 12), fill=0)
    text(d, 3, 3, "STATUS", fill=1)
    text(d, 206, 3, "12:45", fill=1)
    d.rectangle((2, 16, 237, 125), outline=0)
    for row, words in enumerate(("TEMP 21.5C", "VOLT 3.30V", "MODE AUTO", "LOAD 64%")):
        text(d, 8, 22 + 11 * row, words)
    d.rectangle((8, 70, 120, 80), outline=0)
    for x in range(10, 82):
        for y in range(72, 79):
            if (x + y) % 2 == 0:
                d.point((x, y), fill=0)
    for i, h in enumerate((12, 30, 22, 41, 35, 48, 19, 27)):
        d.rectangle((140 + 11 * i, 118 - h, 147 + 11 * i, 118), fill=0)
    d.line((136, 118, 232, 118), fill=0)
    d.polygon([(20, 118), (40, 90), (60, 118)], outline=0)
    d.ellipse((80, 92, 110, 118), outline=0)
    return im


def icon():
    return art([
        "........#........",
        ".......###.......",
        "......##.##......",
        ".....##...##.....",
        "....##.....##....",
        "...##.......##...",
        "..#############..",
        "...#.........#...",
        "...#.###..##.#...",
        "...#.#.#..##.#...",
        "...#.#.#.....#...",
        "...#.#.#.....#...",
        "...###########...",
    ])


def white_first():
    im = Image.new("1", (64, 24), 1)
    d = ImageDraw.Draw(im)
    text(d, 2, 2, "WHITE")
    text(d, 2, 12, "1ST")
    d.polygon([(40, 22), (52, 2), (62, 22)], fill=0)
    for x in range(24, 36):
        for y in range(12, 22):
            if (x // 2 + y // 2) % 2:
                d.point((x, y), fill=0)
    return im


def example():
    """The worked example of docs/layouts.md."""
    return art(["#..", ".#.", "..#", "...", "###", "...", "#..", "..#", ".#."])


def gradient():
    """Grey from black to white across the top half; black fading out across the bottom."""
    im = Image.new("RGBA", (48, 16))
    for x in range(48):
        grey = round(255 * x / 47)
        for y in range(8):
            im.putpixel((x, y), (grey, grey, grey, 255))
        for y in range(8, 16):
            im.putpixel((x, y), (0, 0, 0, 255 - grey))
    return im


def badge():
    """A palette GIF whose transparent colour is black: transparent reads as white."""
    im = Image.new("P", (32, 16), 3)
    im.putpalette([255, 255, 255, 150, 20, 20, 0, 0, 0, 0, 0, 0] + [0] * (256 - 4) * 3)
    d = ImageDraw.Draw(im)
    d.ellipse((1, 1, 14, 14), fill=1)
    d.rectangle((18, 3, 30, 12), fill=0, outline=2)
    text(d, 22, 5, "1", fill=2)
    return im


# Four frames over a 16 x 8 canvas: (left, top, rows, disposal, delay in ms), the rows in "w"
# white, "b" black and "t" transparent. The first is kept (disposal 1), the patch of the
# second with its hole is undone before the third (3: restore what was there), and the
# third's area is cleared to the background, white, before the fourth (2).
ANIMATION = [
    (0, 0, ["b" * 16, "bw" + "w" * 12 + "wb"] + ["bw" + "b" * 12 + "wb"] * 4
     + ["bw" + "w" * 12 + "wb", "b" * 16], 1, 100),
    (3, 2, ["wwtww", "wtttw", "wtttw", "wwtww"], 3, 200),
    (9, 1, ["bbbb", "bwwb", "bwwb", "bwwb", "bwwb", "bbbb"], 2, 300),
    (5, 0, ["w"], 1, 400),
]


def gif_bytes(width, height, frames):
    """A GIF file of the frames, its image data coded with a clear code before every two
    pixels so that every code stays 3 bits wide: no compressor needed."""
    out = bytearray(b"GIF89a" + struct.pack("<HHBBB", width, height, 0x91, 0, 0))
    out += bytes([255, 255, 255, 0, 0, 0, 128, 128, 128, 255, 0, 0])  # white, black, grey, red
    for left, top, rows, disposal, delay in frames:
        out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, disposal << 2 | 1, delay // 10, 3, 0)
        out += struct.pack("<BHHHHB", 0x2C, left, top, len(rows[0]), len(rows), 0)
        pixels = ["wb.t".index(c) for row in rows for c in row]
        codes = [c for i in range(0, len(pixels), 2) for c in [4] + pixels[i : i + 2]] + [5]
        data = bytearray()
        bits = 0
        for i, code in enumerate(codes):
            bits |= code << 3 * i
        data = bits.to_bytes((3 * len(codes) + 7) // 8, "little")
        out += bytes([2, len(data)]) + data + b"\0"
    return bytes(out + b";")


def composed(width, height, frames):
    """The frames as a viewer shows them, one list of rows of booleans (dark) a frame."""
    canvas = [["w"] * width for _ in range(height)]
    shown = []
    for left, top, rows, disposal, _ in frames:
        before = [row[:] for row in canvas]
        for y, row in enumerate(rows):
            for x, mark in enumerate(row):
                if mark != "t":
                    canvas[top + y][left + x] = mark
        shown.append([[mark == "b" for mark in row] for row in canvas])
        if disposal == 2:
            for y, row in enumerate(rows):
                canvas[top + y][left : left + len(row)] = ["w"] * len(row)
        elif disposal == 3:
            canvas = before
    return shown


BIT_LAYOUTS = ("rows-msb", "rows-lsb", "pages-lsb", "pages-msb")
DESCRIPTIONS = {
    "rows-msb": "rows from the top, each padded to whole bytes, bit 7 the leftmost pixel",
    "rows-lsb": "rows from the top, each padded to whole bytes, bit 0 the leftmost pixel",
    "pages-lsb": "pages of 8 rows from the top, one byte per column, bit 0 the top row",
    "pages-msb": "pages of 8 rows from the top, one byte per column, bit 7 the top row",
}


# The declarations of the styles that declare: their comment, then the bytes.
C_STYLES = {"c": ("", "const unsigned char", ""),
            "arduino": ("#include <Arduino.h>\n", "const uint8_t", " PROGMEM"),
            "u8g2": ("#include <U8g2lib.h>\n", "const unsigned char", " U8X8_PROGMEM")}


def declaration(style, name, source, size, rows, layout, data, note=(), framebuf=None,
                first=True):
    """A declaration of the bytes in `style`; `note` adds comment lines (a target's), and
    `framebuf` names the MicroPython format of the frame buffer line. Only the `first` of
    several imports what they need; in a C table, none includes."""
    width, height = len(rows[0]), len(rows) + (-len(rows) % 8 if layout.startswith("pages") else 0)
    lines = ["%s, %d bytes: %d x %d pixels" % (source, size, width, len(rows)),
             "layout %s: %s" % (layout, DESCRIPTIONS[layout]), "a set bit is a dark pixel"]
    lines += note
    chunks = [data[i : i + 16] for i in range(0, len(data), 16)]
    if style == "python":
        text = "".join("# %s\n" % line for line in lines)
        text += "import framebuf\n" if framebuf and first else ""
        text += "\n%s = bytearray(" % name
        text += "".join("\n    b'%s'" % "".join("\\x%02X" % b for b in c) for c in chunks)
        text += "\n)\n"
        if framebuf:
            text += "%s_fb = framebuf.FrameBuffer(%s, %d, %d, framebuf.%s)\n" % (
                name, name, width, len(rows), framebuf)
        return text
    text = "/* " + "\n * ".join(lines) + " */\n"
    if style == "asm":
        text += "    .section .rodata\n    .global %s\n    .type %s, %%object\n%s:" % (name, name, name)
        text += "".join("\n    .byte " + ", ".join("0x%02X" % b for b in c) for c in chunks)
        text += "\n    .size %s, . - %s\n" % (name, name)
        for suffix, value in (("_width", width), ("_height", height), ("_size", len(data))):
            text += "    .global %s%s\n    .set %s%s, %d\n" % (name, suffix, name, suffix, value)
        return text
    include, kind, attribute = C_STYLES[style]
    include = include if first else ""
    body = "".join("\n    " + " ".join(reference.ENTRIES[b] for b in c) for c in chunks)
    return text + "%s#define %s_width %d\n#define %s_height %d\n%s %s[]%s = {%s\n};\n" % (
        include, name, width, name, height, kind, name, attribute, body)


# What the comment says of the targets of the samples' tables, and their frame buffer format.
TARGET_NOTES = {
    "adafruit-gfx": ("display.drawBitmap(x, y, NAME, NAME_width, NAME_height, colour)",
                     "is drawn in the colour given, a clear bit left as it was", None),
    "micropython-framebuf-vlsb": ("framebuf.FrameBuffer(NAME, W, H, framebuf.MONO_VLSB)",
                                  "is colour 1 of the frame buffer", "MONO_VLSB"),
}

# The layout each --target lists in; every target takes the dark pixels as set bits.
TARGETS = {
    "ssd1306": "pages-lsb", "sh1106": "pages-lsb", "st7565": "pages-lsb",
    "sed1565": "pages-lsb", "pcd8544": "pages-lsb", "ks0108": "pages-lsb",
    "t6963c": "rows-msb", "adafruit-gfx": "rows-msb", "adafruit-xbitmap": "rows-lsb",
    "u8g2": "rows-lsb", "micropython-framebuf-vlsb": "pages-lsb",
    "micropython-framebuf-hlsb": "rows-msb", "micropython-framebuf-hmsb": "rows-lsb",
}


def preview_text(rows, ascii_only):
    """What the preview command prints: "#" and "." a row a line, or two rows a line in half
    blocks (upper, lower, full) where the bits are set."""
    if ascii_only:
        return "".join("".join("#" if bit else "." for bit in row) + "\n" for row in rows)
    lines = []
    for top in range(0, len(rows), 2):
        below = rows[top + 1] if top + 1 < len(rows) else [False] * len(rows[top])
        lines.append("".join(" \u2580\u2584\u2588"[a + 2 * b] for a, b in zip(rows[top], below)))
    return "".join(line + "\n" for line in lines)


TABLE = """
struct %s_entry {
    %s *data;
    unsigned short width, height; /* height: the rows the bytes cover */
    unsigned long size;           /* bytes of data */
};
#define %s_count %d
const struct %s_entry %s[%s_count] = {
%s};
"""


def write_samples(out):
    expected = os.path.join(out, "expected")
    os.makedirs(expected, exist_ok=True)
    manifest = []

    def listing(name, args, text_out):
        with open(os.path.join(expected, name), "wb") as f:
            f.write(text_out.encode("utf-8"))
        manifest.append("%s\t0\t\t%s" % (name, args))

    bmps = [
        ("logo_128x64.bmp", logo(), {}),
        ("screen_240x128.bmp", screen(), {"top_down": True}),
        ("icon_17x13.bmp", icon(), {}),
        ("white_first_64x24.bmp", white_first(), {"white_first": True}),
        ("example_3x9.bmp", example(), {}),
    ]
    for file, im, options in bmps:
        path = os.path.join(out, file)
        with open(path, "wb") as f:
            f.write(bmp_bytes(im, **options))
        stem = file[:-4]
        for invert in (False, True):
            flag, suffix = (" --invert-colors", ".inverted") if invert else ("", "")
            rows, top_down = reference.ink_rows(path, invert)
            for command, text_out in (("t6963c", reference.t6963c(rows, top_down)),
                                      ("sed1565", reference.sed1565(rows))):
                name = "%s.%s%s.txt" % (stem, command, suffix)
                listing(name, "%s%s %s" % (command, flag, file), text_out)
                manifest.append("%s\t0\t\tconvert --layout %s%s %s" % (name, command, flag, file))
            for layout in BIT_LAYOUTS[2:3] if invert else BIT_LAYOUTS:
                listing("%s.%s%s.txt" % (stem, layout, suffix),
                        "convert --layout %s%s %s" % (layout, flag, file),
                        reference.entry_lines(reference.layout_bytes(rows, layout)))
    rows, _ = reference.ink_rows(os.path.join(out, "logo_128x64.bmp"))
    size = os.path.getsize(os.path.join(out, "logo_128x64.bmp"))
    listing("logo_128x64.pages-lsb.h", "convert --layout pages-lsb --c-array logo logo_128x64.bmp",
            declaration("c", "logo", "logo_128x64.bmp", size, rows, "pages-lsb",
                        reference.layout_bytes(rows, "pages-lsb")))
    icon_path = os.path.join(out, "icon_17x13.bmp")
    rows, _ = reference.ink_rows(icon_path)
    size, data = os.path.getsize(icon_path), reference.layout_bytes(rows, "rows-lsb")
    for style, suffix in (("arduino", "arduino.h"), ("u8g2", "u8g2.h"), ("python", "py"),
                          ("asm", "s")):
        listing("icon_17x13.rows-lsb." + suffix,
                "convert --layout rows-lsb --style %s --name icon icon_17x13.bmp" % style,
                declaration(style, "icon", "icon_17x13.bmp", size, rows, "rows-lsb", data))
    listing("icon_17x13.micropython-framebuf-vlsb.py",
            "convert --target micropython-framebuf-vlsb --name icon icon_17x13.bmp",
            declaration("python", "icon", "icon_17x13.bmp", size, rows, "pages-lsb",
                        reference.layout_bytes(rows, "pages-lsb"),
                        ["for micropython-framebuf-vlsb: framebuf.FrameBuffer(icon, W, H, "
                         "framebuf.MONO_VLSB)", "on the glass a set bit is colour 1 of the frame "
                         "buffer"], "MONO_VLSB"))
    with open(os.path.join(expected, "icon_17x13.pages-msb.bin"), "wb") as f:
        f.write(reference.layout_bytes(rows, "pages-msb"))
    manifest.append("icon_17x13.pages-msb.bin\t0\t\tconvert --layout pages-msb --style bin "
                    "icon_17x13.bmp")

    # Each target lists the bytes of its layout; any layout, ink or style given as well wins.
    for target, layout in TARGETS.items():
        manifest.append("logo_128x64.%s.txt\t0\t\tconvert --target %s --style hex logo_128x64.bmp"
                        % (layout, target))
    for expected_file, args in (
            ("logo_128x64.pages-msb.txt", "--target ssd1306 --layout pages-msb"),
            ("logo_128x64.pages-lsb.inverted.txt", "--target sh1106 --ink light"),
            ("logo_128x64.rows-msb.txt", "--target u8g2 --layout rows-msb"),
            ("logo_128x64.sed1565.txt", "--target st7565 --layout sed1565")):
        manifest.append("%s\t0\t\tconvert %s --style hex logo_128x64.bmp" % (expected_file, args))
    rows, _ = reference.ink_rows(os.path.join(out, "example_3x9.bmp"))
    listing("example_3x9.preview.txt", "preview --layout pages-msb example_3x9.bmp",
            preview_text(rows, False))
    listing("example_3x9.preview-ascii.txt", "preview --ascii --target t6963c example_3x9.bmp",
            preview_text(rows, True))

    # Two pictures in one output, named from their files, and their table; the same with a
    # target whose arrays live in flash, and one whose language is Python.
    for target, out_file in ((None, "icons.pages-lsb.h"), ("adafruit-gfx", "icons.adafruit-gfx.h"),
                             ("micropython-framebuf-vlsb", "two.micropython-framebuf-vlsb.py")):
        layout = TARGETS.get(target, "pages-lsb")
        style = {None: "c", "adafruit-gfx": "arduino"}.get(target, "python")
        arrays = []
        for file in ("icon_17x13.bmp", "example_3x9.bmp"):
            rows, _ = reference.ink_rows(os.path.join(out, file))
            name = file[:-4]
            note = (["for %s: %s" % (target, TARGET_NOTES[target][0].replace("NAME", name)),
                     "on the glass a set bit " + TARGET_NOTES[target][1]] if target else [])
            arrays.append(declaration(style, name, file, os.path.getsize(os.path.join(out, file)),
                                      rows, layout, reference.layout_bytes(rows, layout), note,
                                      TARGET_NOTES.get(target, (0, 0, None))[2],
                                      style == "python" and not arrays))
        table = "".join("    {%s, %s_width, %s_height, sizeof %s},\n" % ((name,) * 4)
                        for name in ("icon_17x13", "example_3x9"))
        args = ("--target " + target if target else "--layout pages-lsb") + (
            "" if style == "python" else " --table icons")
        listing(out_file, "convert %s icon_17x13.bmp example_3x9.bmp" % args,
                "\n".join(arrays) if style == "python" else C_STYLES[style][0] + "\n".join(arrays)
                + TABLE % ("icons", C_STYLES[style][1], "icons", 2, "icons", "icons", "icons",
                           table))

    gradient().save(os.path.join(out, "gradient_48x16.png"))
    badge().save(os.path.join(out, "badge_32x16.gif"), transparency=3)
    for file in ("gradient_48x16.png", "badge_32x16.gif"):
        stem = file[:-4]
        for threshold, invert in ((128, False), (65, False), (201, True)):
            rows = reference.threshold_rows(os.path.join(out, file), threshold, invert)
            flag = " --threshold %d%s" % (threshold, " --invert-colors" if invert else "")
            suffix = ".threshold-%d%s" % (threshold, ".inverted" if invert else "")
            for layout in BIT_LAYOUTS if threshold == 128 else ("rows-msb", "pages-lsb"):
                listing("%s.%s%s.txt" % (stem, layout, suffix),
                        "convert --layout %s%s %s" % (layout, flag, file),
                        reference.entry_lines(reference.layout_bytes(rows, layout)))
    # One drawing in every kind of file the picture reader takes, each listed apart.
    for file, im in formats():
        im.save(os.path.join(out, file))
        rows = reference.threshold_rows(os.path.join(out, file))
        listing(file + ".rows-msb.txt", "convert --layout rows-msb " + file,
                reference.entry_lines(reference.layout_bytes(rows, "rows-msb")))
    with open(os.path.join(out, "anim_16x8.gif"), "wb") as f:
        f.write(gif_bytes(16, 8, ANIMATION))
    for layout in ("pages-lsb", "rows-msb"):
        listing("anim_16x8.%s.frames.txt" % layout,
                "convert --layout %s --frames anim_16x8.gif" % layout,
                reference.entry_lines(b"".join(bytes(reference.layout_bytes(rows, layout))
                                               for rows in composed(16, 8, ANIMATION))))
    # Each frame prepared as a picture is: turned, reduced and dithered on its own.
    options = "--rotate 90 --size 12x10 --dither floyd-steinberg"
    listing("anim_16x8.frames-rotate-90-size-12x10-dither-floyd-steinberg.pages-lsb.txt",
            "convert --layout pages-lsb --frames %s anim_16x8.gif" % options,
            reference.entry_lines(b"".join(bytes(reference.layout_bytes(
                reference.prepared_grey([[0 if dark else 255 for dark in row] for row in rows],
                                        **preparation(options)), "pages-lsb"))
                for rows in composed(16, 8, ANIMATION))))
    # Four pixels whose grey the rounding of both formulas decides: pure green (L 149.685,
    # rounded to 150), near-black at alpha 200 (L' 55.8, rounded to 56), red, and clear.
    edges = Image.new("RGBA", (4, 1))
    edges.putdata([(0, 255, 0, 255), (1, 1, 1, 200), (255, 0, 0, 255), (0, 0, 0, 0)])
    edges.save(os.path.join(out, "edges_4x1.png"))
    for threshold in (150, 56):
        rows = reference.threshold_rows(os.path.join(out, "edges_4x1.png"), threshold)
        listing("edges_4x1.rows-msb.threshold-%d.txt" % threshold,
                "convert --layout rows-msb --threshold %d edges_4x1.png" % threshold,
                reference.entry_lines(reference.layout_bytes(rows, "rows-msb")))
    # The preparation steps, each option set over a sample, its bits from the reference.
    for file, options, layout in PREPARED:
        listing("%s.%s.%s.txt" % (file.rsplit(".", 1)[0], options.replace("--", "").replace(" ", "-"),
                                  layout),
                "convert --layout %s %s %s" % (layout, options, file),
                reference.entry_lines(reference.layout_bytes(
                    reference.prepared_rows(os.path.join(out, file), **preparation(options)),
                    layout)))
    manifest.extend(write_colour_samples(out, listing))
    listing("logo_128x64.info.txt", "info logo_128x64.bmp",
            info(open(os.path.join(out, "logo_128x64.bmp"), "rb").read()))
    write_guess_set(os.path.join(expected, "guess"))
    manifest.extend(reverse_rows(out, {"logo_128x64": logo()}, bmp_bytes))
    manifest.extend("-\t%d\t%s\t%s" % row for row in REFUSED)
    with open(os.path.join(expected, "MANIFEST"), "w") as f:
        f.write("".join(line + "\n" for line in manifest))


def write_guess_set(folder):
    """Each drawing of guess_set.py as a listing named after its layout and the size its bytes
    cover (whole pages for the page layouts)."""
    os.makedirs(folder, exist_ok=True)
    for name, im, layout in guess_set(text, logo, screen, icon):
        rows = [[im.getpixel((x, y)) == 0 for x in range(im.width)] for y in range(im.height)]
        height = im.height + (-im.height % 8 if layout.startswith("pages") else 0)
        with open(os.path.join(folder, "%s.%s.%dx%d.txt" % (name, layout, im.width, height)),
                  "w") as f:
            f.write(reference.entry_lines(reference.layout_bytes(rows, layout)))


def formats():
    """A 27 x 13 drawing of grey strokes, half-transparent in places, in ten kinds of file."""
    im = Image.new("RGBA", (27, 13), (230, 235, 225, 255))
    draw = ImageDraw.Draw(im)
    draw.ellipse([2, 1, 16, 11], outline=(40, 60, 20, 255), width=2)
    draw.line([14, 12, 26, 0], fill=(20, 30, 200, 140), width=3)
    draw.rectangle([20, 8, 25, 11], fill=(200, 40, 40, 90))
    rgb = Image.alpha_composite(Image.new("RGBA", im.size, "white"), im).convert("RGB")
    palette = rgb.convert("P", palette=Image.ADAPTIVE, colors=16)
    return [("drawing.rgba.png", im), ("drawing.rgb.png", rgb),
            ("drawing.grey.png", rgb.convert("L")), ("drawing.grey-alpha.png", im.convert("LA")),
            ("drawing.palette.png", palette), ("drawing.mono.png", rgb.convert("1")),
            ("drawing.rgb.bmp", rgb), ("drawing.palette.bmp", palette), ("drawing.ppm", rgb),
            ("drawing.pgm", rgb.convert("L"))]


def info(data):
    """What dotlane-cli info prints, from the header fields as the BMP format defines them."""
    width, height = struct.unpack_from("<ii", data, 18)
    per_row = (width + 7) // 8
    fields = ["file size: %d" % len(data), "offset: %d" % struct.unpack_from("<I", data, 10),
              "width: %d" % width, "height: %d" % abs(height), "bytes per row: %d" % per_row,
              "padding per row: %d" % (-per_row % 4), "rows: %d" % abs(height)]
    fields += ["%s field: %s" % (name, data[at : at + 4].hex().upper())
               for name, at in (("offset", 10), ("width", 18), ("height", 22))]
    dump = "\n".join(reference.entry_lines(data[i : min(i + 16, 54)]).rstrip("\n")
                     for i in range(0, 54, 16))
    return "\n".join(fields) + "\nheader:\n" + dump + "\n"


# Option sets of the preparation: every rotation and flip, every fit when reducing, enlarging
# and both at once, every dither, black behind alpha, the light ink, and 1-bit BMP files that
# the options take out of the window's rule.
PREPARED = [
    ("gradient_48x16.png", "--rotate 90", "rows-msb"),
    ("gradient_48x16.png", "--rotate 180", "rows-msb"),
    ("gradient_48x16.png", "--rotate 270", "pages-lsb"),
    ("drawing.rgba.png", "--flip h", "rows-msb"),
    ("drawing.rgba.png", "--flip v", "rows-msb"),
    ("drawing.rgba.png", "--rotate 90 --flip h", "pages-lsb"),
    ("drawing.rgba.png", "--rotate 270 --flip v --size 20x11", "rows-msb"),
    ("gradient_48x16.png", "--size 20x11", "rows-msb"),
    ("gradient_48x16.png", "--size 20x11 --fit cover", "rows-msb"),
    ("gradient_48x16.png", "--size 20x11 --fit stretch", "rows-msb"),
    ("gradient_48x16.png", "--size 21x11 --fit none", "rows-msb"),
    ("badge_32x16.gif", "--size 101x40", "pages-lsb"),
    ("badge_32x16.gif", "--size 70x45 --fit cover", "pages-lsb"),
    ("badge_32x16.gif", "--size 40x7 --fit stretch", "rows-msb"),
    ("badge_32x16.gif", "--size 50x9 --fit none --background black", "rows-msb"),
    ("gradient_48x16.png", "--size 24x40 --fit stretch", "rows-msb"),
    ("drawing.rgba.png", "--size 64x9 --fit cover", "rows-msb"),
    ("gradient_48x16.png", "--dither floyd-steinberg", "rows-msb"),
    ("gradient_48x16.png", "--dither atkinson", "rows-msb"),
    ("gradient_48x16.png", "--dither bayer4", "rows-msb"),
    ("gradient_48x16.png", "--dither bayer8", "rows-msb"),
    ("drawing.rgba.png", "--size 40x20 --dither floyd-steinberg --ink light", "pages-lsb"),
    ("screen_240x128.bmp", "--size 128x64 --dither atkinson", "pages-lsb"),
    ("gradient_48x16.png", "--background black", "rows-msb"),
    ("gradient_48x16.png", "--background black --dither bayer8 --invert-colors", "rows-msb"),
    ("drawing.grey-alpha.png", "--background black --threshold 100", "rows-msb"),
    ("gradient_48x16.png", "--ink light --threshold 65", "rows-msb"),
    ("example_3x9.bmp", "--rotate 90", "rows-msb"),
    ("white_first_64x24.bmp", "--ink dark", "pages-lsb"),
    ("logo_128x64.bmp", "--size 50x50 --dither bayer4", "pages-lsb"),
    # Four pixels scaled at the edges of the rules: a nearest pixel whose centre falls on a
    # boundary (4 to 6), overlaps of a third (4 to 3), odd leftovers to place and to crop.
    ("edges_4x1.png", "--size 6x1 --fit stretch --threshold 150", "rows-msb"),
    ("edges_4x1.png", "--size 3x2 --fit stretch --threshold 120", "rows-msb"),
    ("edges_4x1.png", "--size 5x4 --fit none --background black --threshold 56", "rows-msb"),
    ("edges_4x1.png", "--size 3x1 --fit none --threshold 151", "rows-msb"),
]


def preparation(options):
    """The keyword arguments of reference.prepared_rows for a line of options."""
    words = options.split()
    given = dict(zip(words[0::2], words[1::2]))
    kwargs = {"background": 0 if given.get("--background") == "black" else 255,
              "rotate": int(given.get("--rotate", 0)), "flip": given.get("--flip"),
              "fit": given.get("--fit", "contain"), "threshold": int(given.get("--threshold", 128)),
              "dither": given.get("--dither"),
              "ink": "light" if "--invert-colors" in words else given.get("--ink", "dark")}
    if "--size" in given:
        kwargs["size"] = tuple(int(v) for v in given["--size"].split("x"))
    return kwargs


# Wrong usage (status 2, the problem and the usage text) and refused pictures (status 1, the
# message alone): standard output stays empty.
REFUSED = [
    (2, "dotlane-cli: no command given", ""),
    (2, "dotlane-cli: unknown command frobnicate", "frobnicate x"),
    (2, "dotlane-cli: give exactly one BMP file", "t6963c"),
    (2, "dotlane-cli: unknown option --bogus", "sed1565 --bogus logo_128x64.bmp"),
    (2, "dotlane-cli: option -o needs a value", "info logo_128x64.bmp -o"),
    (2, "dotlane-cli: render needs --width, --pages and -o", "render --width 2 -o x.bmp"),
    (2, "convert needs --layout", "convert logo_128x64.bmp"),
    (2, "unknown layout \"rows\"", "convert --layout rows logo_128x64.bmp"),
    (2, "--threshold takes a whole number from 0 to 255", "convert --layout rows-msb --threshold 256 gradient_48x16.png"),
    (2, "--c-array needs a C identifier", "convert --layout rows-msb --c-array 9lives logo_128x64.bmp"),
    (2, "\"int\" is a keyword of C or C++", "convert --layout rows-msb --c-array int logo_128x64.bmp"),
    (2, "--threshold takes a whole number", "convert --layout rows-msb --threshold 12a gradient_48x16.png"),
    (2, "option --threshold needs a value", "convert --layout rows-msb gradient_48x16.png --threshold"),
    (2, "--c-array needs a C identifier", "convert --layout rows-msb --c-array a-b logo_128x64.bmp"),
    (2, "give a picture file", "convert --layout rows-msb"),
    (2, "--frames lists in rows-msb", "convert --layout sed1565 --frames anim_16x8.gif"),
    (2, "--c-array names one picture", "convert --layout rows-msb --c-array a logo_128x64.bmp logo_128x64.bmp"),
    (2, "give exactly one picture file", "preview --layout rows-msb logo_128x64.bmp logo_128x64.bmp"),
    (2, "--style hex and bin list one picture", "convert --layout rows-msb --style hex logo_128x64.bmp icon_17x13.bmp"),
    (2, "--table, --header, --source and --compress write C arrays", "convert --target micropython-framebuf-vlsb --table t logo_128x64.bmp"),
    (2, "--frames writes C arrays", "convert --layout rows-msb --style asm --frames anim_16x8.gif"),
    (2, "--preview shows one picture", "convert --target ssd1306 --preview p.png logo_128x64.bmp icon_17x13.bmp"),
    (2, "--size takes WxH, each a whole number from 1 to 4096, not \"0x10\"", "convert --layout rows-msb --size 0x10 gradient_48x16.png"),
    (2, "--size takes WxH", "convert --layout rows-msb --size 4097x1 gradient_48x16.png"),
    (2, "--size takes WxH", "convert --layout rows-msb --size 128 gradient_48x16.png"),
    (2, "--size takes WxH", "convert --layout rows-msb --size 12x gradient_48x16.png"),
    (2, "--fit needs --size", "convert --layout rows-msb --fit cover gradient_48x16.png"),
    (2, "--fit takes contain, cover, stretch or none, not \"fill\"", "convert --layout rows-msb --size 8x8 --fit fill gradient_48x16.png"),
    (2, "--dither takes floyd-steinberg, atkinson, bayer4 or bayer8, not \"bayer2\"", "convert --layout rows-msb --dither bayer2 gradient_48x16.png"),
    (2, "--threshold and --dither exclude each other", "convert --layout rows-msb --threshold 100 --dither atkinson gradient_48x16.png"),
    (2, "--rotate takes 0, 90, 180 or 270", "convert --layout rows-msb --rotate 45 gradient_48x16.png"),
    (2, "--flip takes h or v, not \"hv\"", "convert --layout rows-msb --flip hv gradient_48x16.png"),
    (2, "--background takes white or black, not \"grey\"", "convert --layout rows-msb --background grey gradient_48x16.png"),
    (2, "--ink takes dark or light", "convert --layout rows-msb --ink blue gradient_48x16.png"),
    (2, "--invert-colors means --ink light", "convert --layout rows-msb --invert-colors --ink dark gradient_48x16.png"),
    (2, "the t6963c layout lists the file's own rows", "convert --layout t6963c --size 64x32 logo_128x64.bmp"),
    (2, "unknown target \"oled\"", "convert --target oled logo_128x64.bmp"),
    (2, "unknown style \"h\"", "convert --layout rows-msb --style h logo_128x64.bmp"),
    (2, "--c-array NAME is --style c --name NAME", "convert --layout rows-msb --style python --c-array logo logo_128x64.bmp"),
    (2, "\"lambda\" cannot name the array in Python", "convert --target micropython-framebuf-vlsb --name lambda logo_128x64.bmp"),
    (2, "--preview-scale takes a whole number from 1 to 16", "convert --target ssd1306 --preview-scale 17 --preview p.png logo_128x64.bmp"),
    (2, "--preview-scale takes a whole number from 1 to 16", "convert --target ssd1306 --preview-scale 0 --preview p.png logo_128x64.bmp"),
    (2, "--invert-colors means --ink light", "preview --target ssd1306 --ink dark --invert-colors logo_128x64.bmp"),
    (2, "--preview and the listing cannot both go to \"-\"", "preview --target ssd1306 --preview - logo_128x64.bmp"),
    (2, "with --frames preview draws each frame in the terminal", "preview --frames --target ssd1306 --preview p.png anim_16x8.gif"),
    (1, "\"make_samples.py\" is neither a 1-bit BMP file nor a picture", "convert --layout rows-msb make_samples.py"),
    (1, "The t6963c layout is the window's listing of a 1-bit BMP file", "convert --layout t6963c badge_32x16.gif"),
    (1, "\"expected\" is not a regular file", "convert --layout pages-msb expected"),
    (1, "Warning, this is not a valid BMP file.", "t6963c gradient_48x16.png"),
    (1, "for this picture: dotlane-cli convert --layout rows-msb gradient_48x16.png", "t6963c gradient_48x16.png"),
    (1, "for this picture: dotlane-cli convert --layout pages-lsb drawing.grey-alpha.png", "sed1565 drawing.grey-alpha.png"),
    (1, "\"gradient_48x16.png\" is not one; pages-lsb lists the same bytes.", "convert --layout sed1565 gradient_48x16.png"),
    (1, "\"missing.bmp\": No such file or directory", "sed1565 missing.bmp"),
    (1, "A picture of 5000 x 8 pixels is too large", "render --width 5000 --pages 1 -o x.bmp -"),
]


def bench_picture(path):
    """Rings and stripes over the whole 496 x 496 area, so that no byte repeats for long."""
    im = Image.new("1", (496, 496), 1)
    d = ImageDraw.Draw(im)
    for r in range(8, 248, 9):
        d.ellipse((248 - r, 248 - r, 248 + r, 248 + r), outline=0)
    for x in range(0, 496, 7):
        d.line((x, 0, 495 - x, 495), fill=0)
    text(d, 150, 230, "DOTLANE 496", scale=3)
    with open(path, "wb") as f:
        f.write(bmp_bytes(im))


def main(argv):
    if len(argv) == 2 and argv[0] == "--bench-picture":
        bench_picture(argv[1])
    elif len(argv) == 2 and argv[0] == "--out":
        write_samples(argv[1])
    elif not argv:
        write_samples(HERE)
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
