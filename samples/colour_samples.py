"""The colour sample and its expected listings in the layouts of more than one bit, each from
bench/colour_reference.py: every layout, both reductions, every dither, and the targets."""
import os
import tempfile

from PIL import Image

import colour_reference

PRIMARIES = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (0, 255, 255), (255, 0, 255),
             (255, 255, 0), (0, 0, 0), (255, 255, 255)]

# The targets of more than one bit and the layout each lists.
COLOUR_TARGETS = {"ssd1322": "grey4-msb", "ssd1327": "grey4-msb", "st7735": "rgb565",
                  "st7789": "rgb565", "ili9341": "rgb565", "adafruit-gfx-rgb565": "rgb565-le",
                  "adafruit-gfx-grey": "grey8", "tft-espi": "rgb565-le",
                  "gxepd2-bwr": "planes-bwr", "gxepd2-bwy": "planes-bwy",
                  "gxepd2-4g": "grey2-msb", "uc81xx-4grey": "planes-4grey",
                  "ssd16xx-4grey": "planes-4grey-inv",
                  "adafruit-gfx-mask": "a1", "lvgl9-rgb565": "rgb565-le", "lvgl9-l8": "grey8",
                  "lvgl9-a8": "a8", "lvgl8-rgb565": "rgb565-le", "lvgl8-a8": "a8",
                  "lvgl9-rgb888": "bgr888", "lvgl9-argb8888": "bgra8888",
                  "lvgl8-argb8888": "bgra8888", "lvgl9-rgb565a8": "rgb565a8",
                  "lvgl8-i8": "i8", "lvgl9-i8": "i8", "lvgl9-a1": "a1", "lvgl9-a2": "a2",
                  "lvgl9-a4": "a4", "lvgl8-rgb565a8": "rgb565le-a8", "lvgl8-a1": "a1", "lvgl8-a2": "a2", "lvgl8-a4": "a4"}

DITHERS = ("floyd-steinberg", "atkinson", "bayer4", "bayer8")


def colours():
    """Saturated primaries in bars of 3 pixels across the top rows; a red to blue gradient and
    a grey one below; then green fading out, its alpha from 255 to 0."""
    im = Image.new("RGBA", (24, 16))
    for x in range(24):
        t = x / 23
        for y in range(16):
            if y < 4:
                c = PRIMARIES[x // 3] + (255,)
            elif y < 8:
                c = (round(255 * (1 - t)), round(64 * t), round(255 * t), 255)
            elif y < 12:
                g = round(255 * t)
                c = (g, g, g, 255)
            else:
                c = (40, 200, 90, round(255 * (1 - t)))
            im.putpixel((x, y), c)
    return im


def other_formats(out, held):
    """The colour sample in the other formats read in colour, each as its format holds it:
    BMP of 24 and 8 bits, ICO, GIF and XPM (a clear colour where the alpha is under half),
    JPEG, and XBM (black and white, its picture as a PNG file in `held`)."""
    im = colours()
    clear = im.getchannel("A").point(lambda a: 255 if a < 128 else 0)
    files = []

    def save(name, picture, **options):
        picture.save(os.path.join(out, name), **options)
        files.append(name)

    save("colours_24x16.bmp", im.convert("RGB"))
    save("colours_24x16.p8.bmp", im.convert("RGB").quantize(256))
    save("colours_24x16.ico", im, sizes=[im.size], bitmap_format="bmp")
    gif = im.convert("RGB").quantize(255)
    gif.paste(255, mask=clear)
    save("colours_24x16.gif", gif, transparency=255)
    save("colours_24x16.jpg", im.convert("RGB"), quality=90)
    # XBM's set bit is the dark one, where Pillow writes and reads the light one: the file is
    # written inverted, and its colours are those of the picture it holds.
    bw = im.convert("L").point(lambda v: 255 if v >= 128 else 0)
    save("colours_24x16.xbm", bw.point(lambda v: 255 - v).convert("1"))
    bw.save(os.path.join(held, "colours_24x16.xbm"), "PNG")
    # XPM, which Pillow does not write: one character a pixel of 64 colours, " " the clear one.
    rgb = im.convert("RGB").quantize(64).convert("RGB")
    letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+-*/%"
    codes, rows = {}, []
    for y in range(im.height):
        row = ""
        for x in range(im.width):
            c = None if clear.getpixel((x, y)) else rgb.getpixel((x, y))
            codes.setdefault(c, " " if c is None else letters[len(codes)])
            row += codes[c]
        rows.append(row)
    lines = ['"%d %d %d 1"' % (im.width, im.height, len(codes))]
    lines += ['"%s c %s"' % (k, "None" if c is None else "#%02x%02x%02x" % c)
              for c, k in codes.items()]
    lines += ['"%s"' % r for r in rows]
    with open(os.path.join(out, "colours_24x16.xpm"), "w") as f:
        f.write("/* XPM */\nstatic char *colours[] = {\n%s\n};\n" % ",\n".join(lines))
    files.append("colours_24x16.xpm")
    return files


def write_colour_samples(out, listing):
    file = "colours_24x16.png"
    colours().save(os.path.join(out, file))
    path = os.path.join(out, file)
    stem = file[:-4]
    with tempfile.TemporaryDirectory() as held:
        for other in other_formats(out, held):
            read = os.path.join(held if other.endswith(".xbm") else out, other)
            for layout in ("rgb888", "a8"):
                listing("%s.%s.txt" % (other.replace(".", "-"), layout),
                        "convert --layout %s %s" % (layout, other),
                        colour_reference.entry_lines(colour_reference.layout_bytes(read, layout)))

    def golden(layout, options=""):
        words = options.split()
        settings = dict(zip(words[::2], words[1::2]))
        name = "%s.%s%s.txt" % (stem, layout, options.replace("--", ".").replace(" ", "-")
                                .replace("-.", "."))
        canvas = {"rotate": int(settings.get("--rotate", 0)), "flip": settings.get("--flip"),
                  "fit": settings.get("--fit", "contain")}
        if "--size" in settings:
            canvas["size"] = tuple(int(n) for n in settings["--size"].split("x"))
        data = colour_reference.layout_bytes(
            path, layout, settings.get("--reduce", "truncate"), settings.get("--dither"),
            0 if settings.get("--background") == "black" else 255, canvas)
        listing(name, "convert --layout %s %s%s" % (layout, options + " " if options else "",
                                                     file),
                colour_reference.entry_lines(data))
        return name

    # The indexed layouts, each from a picture of few enough colours.
    for layout, few in (("i1", "drawing.mono.png"), ("i2", "edges_4x1.png"),
                        ("i4", "drawing.rgba.png"), ("i8", file)):
        listing("%s.%s.txt" % (few[:-4], layout), "convert --layout %s %s" % (layout, few),
                colour_reference.entry_lines(colour_reference.layout_bytes(
                    os.path.join(out, few), layout)))
    names = {layout: golden(layout)
             for layout in list(colour_reference.LAYOUTS) + list(colour_reference.PALETTES) +
             list(colour_reference.GREY_PLANES)}
    names["i8"] = "%s.i8.txt" % stem
    for dither in DITHERS:
        golden("planes-bwr", "--dither " + dither)
    golden("planes-4grey", "--dither floyd-steinberg")
    golden("planes-4grey-inv", "--dither bayer4")
    for layout in ("grey2-msb", "grey4-lsb", "rgb565", "rgb332", "bgra8888"):
        golden(layout, "--reduce round")
        for dither in DITHERS:
            golden(layout, "--dither " + dither)
    golden("rgb565", "--background black")
    golden("grey4-msb", "--background black --dither atkinson")
    # The canvas options, each channel moved on its own: turned, mirrored, reduced by the box,
    # enlarged by the nearest pixel, centred on the background or, with alpha, a clear canvas.
    for layout, options in (("rgb565", "--rotate 90"), ("rgb565", "--flip h"),
                            ("rgb565", "--size 16x12"), ("rgb888", "--size 30x30 --flip v"),
                            ("a8", "--size 40x20 --fit cover"),
                            ("grey4-msb", "--rotate 270 --size 10x10 --fit stretch"),
                            ("grey8", "--size 17x9 --dither floyd-steinberg"),
                            ("planes-bwr", "--rotate 180 --size 12x8"),
                            ("rgb332", "--size 50x10 --fit none --background black")):
        golden(layout, options)
    return [("%s\t0\t\tconvert --target %s --style hex %s" % (names[layout], target, file))
            for target, layout in COLOUR_TARGETS.items()]
