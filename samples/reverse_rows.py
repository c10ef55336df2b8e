"""MANIFEST rows for render, guess and check, and the files they need: the pictures render
must paint (BMP files as make_samples.py writes them, which is how dotlane-cli writes them
too), C text with bad literals, raw bytes, and what check must print, found by decoding the
bytes here in Python."""
import os
import re

import reference

BIT_LAYOUTS = ("rows-msb", "rows-lsb", "pages-lsb", "pages-msb")
SHOWN = 8


def decode(data, layout, width, height):
    """Rows of booleans from the bytes of a layout; missing bytes leave pixels clear."""
    def bit(x, y):
        if layout.startswith("rows"):
            at, k = y * ((width + 7) // 8) + x // 8, x % 8
            shift = k if layout == "rows-lsb" else 7 - k
        else:
            at, k = (y // 8) * width + x, y % 8
            shift = k if layout == "pages-lsb" else 7 - k
        return at < len(data) and bool(data[at] >> shift & 1)
    return [[bit(x, y) for x in range(width)] for y in range(height)]


def check_text(array, picture, rows, data, layout, expected):
    """What check prints for the array's bytes against the picture's rows."""
    height, width = len(rows), len(rows[0])
    got = decode(data, layout, width, height)
    differ = [(x, y) for y in range(height) for x in range(width) if got[y][x] != rows[y][x]]
    described = "%d x %d pixels in %s" % (width, height, layout)
    text = ""
    if differ:
        text += '"%s" differs from "%s" in %d of %d pixels (%s); x,y of the first:%s%s\n' % (
            array, picture, len(differ), width * height, described,
            "".join(" %d,%d" % p for p in differ[:SHOWN]), " ..." if len(differ) > SHOWN else "")
    if len(data) != len(expected):
        text += '"%s" holds %d bytes, "%s" makes %d.\n' % (array, len(data), picture,
                                                          len(expected))
    elif not differ and data != expected:
        text += '"%s" sets bits past the picture\'s %s, which "%s" leaves clear.\n' % (
            array, described, picture)
    if not text:
        text = '"%s" agrees with "%s": %s, %d bytes.\n' % (array, picture, described, len(data))
    return text


def reverse_rows(out, pictures, bmp_bytes):
    """`pictures`: name -> Pillow picture of the samples. Returns MANIFEST rows."""
    expected = os.path.join(out, "expected")
    for folder in ("render", "check"):
        os.makedirs(os.path.join(expected, folder), exist_ok=True)

    def write(name, data):
        with open(os.path.join(expected, name), "wb") as f:
            f.write(data if isinstance(data, bytes) else data.encode("ascii"))

    rows = []
    sized = {"logo_128x64": "--width 128 --height 64", "icon_17x13": "--width 17 --height 13"}
    for stem, size in sized.items():
        for layout in BIT_LAYOUTS + ("sed1565", "t6963c"):
            rows.append(("../%s.bmp" % stem, 0, "", "render --layout %s %s -o - expected/%s.%s.txt"
                         % (layout, size, stem, layout)))
    logo = "--width 128 --height 64 -o - expected/logo_128x64"
    rows += [
        ("../logo_128x64.bmp", 0, "", "render --layout t6963c -o - expected/logo_128x64.t6963c.txt"),
        ("../logo_128x64.bmp", 0, "", "render --layout pages-lsb --ink light %s.pages-lsb.inverted.txt" % logo),
        ("../logo_128x64.bmp", 0, "", "render --layout pages-lsb --input c %s.pages-lsb.h" % logo),
        ("../logo_128x64.bmp", 0, "", "render --layout pages-lsb --name logo %s.pages-lsb.h" % logo),
        ("../example_3x9.bmp", 0, "", "render --layout pages-msb --width 3 --height 9 -o - expected/example_3x9.pages-msb.txt"),
        ("../example_3x9.bmp", 0, "", "render --layout rows-lsb --width 3 --height 9 --input bin -o - expected/render/example_3x9.rows-lsb.bin"),
    ]
    im = pictures["logo_128x64"]
    write("render/logo_top_128x32.bmp", bmp_bytes(im.crop((0, 0, 128, 32))))
    rows.append(("render/logo_top_128x32.bmp", 0, "", "render --layout rows-msb --width 128 --height 32 --allow-extra -o - expected/logo_128x64.rows-msb.txt"))
    taller = im.crop((0, 0, 128, 80))
    taller.paste(1, (0, 64, 128, 80))
    write("render/logo_128x80.bmp", bmp_bytes(taller))
    rows.append(("render/logo_128x80.bmp", 0, "holds 1024 bytes, fewer than the 1280 that 128 x 80 pixels take in rows-msb", "render --layout rows-msb --width 128 --height 80 -o - expected/logo_128x64.rows-msb.txt"))
    example = reference.ink_rows(os.path.join(out, "example_3x9.bmp"))[0]
    write("render/example_3x9.rows-lsb.bin", reference.layout_bytes(example, "rows-lsb"))
    write("render/bad.h", "const unsigned char first[] = {\n    0x01, 0x02,\n    0x1G,\n};\n"
                          "const unsigned char big[] = {255,\n 256};\n")
    write("render/no_bytes.txt", "no bytes here\n")
    write("render/decimal.h", "const unsigned char dots[] = {60, 66, 129, 129, 129, 129, 66, 60};\n")
    write("render/no_comma.txt", "2,11\n0x01,\n0x02,\n")
    bad = "--layout rows-msb --width 8 --height 2 -o - expected/render/bad.h"
    rows += [
        ("-", 1, "The input holds 1024 bytes, more than the 512 that 128 x 32 pixels take in rows-msb; --allow-extra", "render --layout rows-msb --width 128 --height 32 -o - expected/logo_128x64.rows-msb.txt"),
        ("-", 1, 'Line 3 holds "0x1G", which is not a byte', "render --input c " + bad),
        ("-", 1, 'Line 6 holds "256", which is over 255', "render --name big " + bad),
        ("-", 1, "Found no array named none", "render --name none " + bad),
        ("-", 1, "The listing's first line says 64 rows of 16 bytes, but 120 x 64 pixels are 64 rows of 15", "render --layout t6963c --width 120 --height 64 -o - expected/logo_128x64.t6963c.txt"),
        ("-", 1, "does not start with a T6963C listing's line", "render --layout t6963c -o - expected/logo_128x64.rows-msb.txt"),
        ("-", 1, "does not start with a T6963C listing's line", "render --layout t6963c -o - expected/render/no_comma.txt"),
        ("-", 2, "--input takes hex, c or bin", "render --layout rows-msb --width 8 --height 8 --input text -o - x"),
        ("-", 2, "--ink takes dark or light", "render --layout rows-msb --width 8 --height 8 --ink grey -o - x"),
        ("-", 2, "--pages P means --layout pages-lsb and --height 8P", "render --layout rows-msb --width 8 --pages 1 -o - x"),
        ("-", 2, "render --layout needs --width and --height", "render --layout rows-msb --width 8 -o - x"),
        ("-", 2, "--width and --height take whole numbers of pixels from 1 to 4096", "render --layout rows-msb --width 8 --height 4097 -o - x"),
        ("-", 2, 'unknown layout "columns"', "render --layout columns --width 8 --height 8 -o - x"),
        ("-", 2, "--name reads a C array", "render --layout rows-msb --width 8 --height 8 --input bin --name a -o - x"),
        ("-", 1, 'found no 0x.. entry in "expected/render/no_bytes.txt"; --input c reads', "guess expected/render/no_bytes.txt"),
        ("-", 1, "but 8 C literals (decimal, octal or binary): --input c reads them", "render --layout rows-msb --width 8 --height 8 -o - expected/render/decimal.h"),
        ("-", 2, "render needs --layout", "render --width 8 --height 8 -o - x"),
        ("-", 1, '"gradient_48x16.png" is a PNG picture, and guess reads arrays', "guess gradient_48x16.png"),
        ("-", 1, "check takes the picture first, then the array", "check --layout rows-msb expected/logo_128x64.rows-msb.txt logo_128x64.bmp"),
        ("-", 2, "give at most one input file", "guess a b"),
    ]
    # The icon's rows-lsb bytes with the last bit of every row set, a pixel past its 17 columns.
    icon = reference.ink_rows(os.path.join(out, "icon_17x13.bmp"))[0]
    write("check/icon.padded.txt", reference.entry_lines(
        bytes(b | 0x80 if i % 3 == 2 else b for i, b in enumerate(reference.layout_bytes(icon, "rows-lsb")))))
    checks = [  # what check prints, the picture, the array, the layout, more options
        ("check/logo.txt", "logo_128x64.bmp", "expected/logo_128x64.pages-lsb.h", "pages-lsb", ""),
        ("check/logo.txt", "logo_128x64.bmp", "expected/logo_128x64.pages-lsb.h", "pages-lsb", "--name logo "),
        ("check/logo.msb.txt", "logo_128x64.bmp", "expected/logo_128x64.pages-msb.txt", "pages-lsb", ""),
        ("check/example.txt", "example_3x9.bmp", "expected/example_3x9.rows-msb.txt", "pages-lsb", ""),
        ("check/icon.txt", "icon_17x13.bmp", "expected/icon_17x13.rows-lsb.txt", "rows-lsb", ""),
        ("check/icon_padded.txt", "icon_17x13.bmp", "expected/check/icon.padded.txt", "rows-lsb", ""),
        ("check/gradient.txt", "gradient_48x16.png", "expected/gradient_48x16.rows-msb.threshold-128.txt", "rows-msb", "--threshold 65 "),
    ]
    for name, picture, array, layout, options in checks:
        threshold = int(options.split()[1]) if options.startswith("--threshold") else 128
        path = os.path.join(out, picture)
        ink = reference.ink_rows(path)[0] if picture.endswith(".bmp") else reference.threshold_rows(path, threshold)
        data = listing_bytes(out, array)
        text = check_text(array, picture, ink, data, layout, bytes(reference.layout_bytes(ink, layout)))
        write(name, text)
        status = 0 if "agrees" in text else 1
        rows.append((name, status, "", "check --layout %s %s%s %s" % (layout, options, picture, array)))
    rows += [
        ("-", 2, "check needs a picture and an array", "check --layout rows-msb logo_128x64.bmp"),
        ("-", 2, "check needs --layout", "check logo_128x64.bmp expected/logo_128x64.pages-lsb.h"),
        ("-", 2, "t6963c: both or neither", "render --layout t6963c --width 128 -o - x"),
        ("-", 2, "--diff writes a PNG file", "check --layout rows-msb --diff d.bmp logo_128x64.bmp x"),
    ]
    return ["%s\t%d\t%s\t%s" % row for row in rows]


def listing_bytes(out, listing):
    """The bytes of a committed listing: its 0x entries, as the listing reader reads them."""
    with open(os.path.join(out, listing)) as f:
        return bytes(int(v, 16) for v in re.findall(r"\b0[xX]([0-9A-Fa-f]{1,2})\b", f.read()))
