"""Drawings for testing dotlane-cli guess: logos, text, icons and instrument screens in
many sizes, some of widths that are not multiples of 8. make_samples.py lists each in one
of the layouts under expected/guess/, named NAME.LAYOUT.WxH.txt after the right answer."""
import math

from PIL import Image, ImageDraw

LAYOUTS = ("pages-lsb", "rows-msb", "rows-lsb", "pages-msb")


def canvas(width, height):
    im = Image.new("1", (width, height), 1)
    return im, ImageDraw.Draw(im)


def logo_card(text, size, words, scale, ring):
    """A name in large letters inside a frame, with a ring beside it."""
    im, d = canvas(*size)
    w, h = size
    d.rectangle((0, 0, w - 1, h - 1), outline=0)
    left = 4 + (ring + 4 if ring else 0)
    text(d, left, (h - 7 * scale) // 2, words, scale=scale)
    if ring:
        top = (h - ring) // 2
        d.ellipse((3, top, 3 + ring, top + ring), outline=0, width=max(1, ring // 6))
    return im


def text_page(text, size, lines, scale=1, inverse_title=False):
    """Lines of text from the top left, the first on a black bar when `inverse_title`."""
    im, d = canvas(*size)
    step = 9 * scale
    for row, words in enumerate(lines):
        y = 2 + row * step
        if row == 0 and inverse_title:
            d.rectangle((0, 0, size[0] - 1, step), fill=0)
        text(d, 2, y, words, scale=scale, fill=1 if row == 0 and inverse_title else 0)
    return im


def heart(n):
    im, d = canvas(n, n)
    r = n // 4
    d.ellipse((1, 1, 1 + 2 * r, 1 + 2 * r), fill=0)
    d.ellipse((n - 2 - 2 * r, 1, n - 2, 1 + 2 * r), fill=0)
    d.polygon([(1, r + 2), (n - 2, r + 2), (n // 2, n - 2)], fill=0)
    return im


def battery(w, h, level):
    im, d = canvas(w, h)
    d.rectangle((0, 0, w - 4, h - 1), outline=0)
    d.rectangle((w - 3, h // 3, w - 1, h - 1 - h // 3), fill=0)
    d.rectangle((2, 2, 2 + int((w - 8) * level), h - 3), fill=0)
    return im


def signal_arcs(n):
    im, d = canvas(n, n)
    for k in range(1, 4):
        r = k * n // 4
        d.arc((n // 2 - r, n - 2 - r, n // 2 + r, n - 2 + r), 225, 315, fill=0, width=2)
    d.ellipse((n // 2 - 2, n - 5, n // 2 + 2, n - 1), fill=0)
    return im


def check_mark(w, h):
    im, d = canvas(w, h)
    d.line((1, h // 2, w // 3, h - 2, w - 2, 1), fill=0, width=2)
    return im


def gear(n):
    im, d = canvas(n, n)
    c = n / 2
    for k in range(8):
        a = k * math.pi / 4
        d.line((c, c, c + (n / 2 - 1) * math.cos(a), c + (n / 2 - 1) * math.sin(a)), fill=0,
               width=3)
    d.ellipse((c - n / 3, c - n / 3, c + n / 3, c + n / 3), fill=0)
    d.ellipse((c - n / 8, c - n / 8, c + n / 8, c + n / 8), fill=1)
    return im


def house(w, h):
    im, d = canvas(w, h)
    d.polygon([(1, h // 2), (w // 2, 1), (w - 2, h // 2)], outline=0)
    d.rectangle((w // 6, h // 2, w - 1 - w // 6, h - 2), outline=0)
    d.rectangle((w // 2 - 3, h - 2 - h // 4, w // 2 + 3, h - 2), fill=0)
    return im


def cloud(w, h):
    im, d = canvas(w, h)
    d.ellipse((1, h // 3, w // 2, h - 2), fill=0)
    d.ellipse((w // 4, 1, 3 * w // 4, 2 * h // 3), fill=0)
    d.ellipse((w // 2 - 2, h // 3, w - 2, h - 2), fill=0)
    d.ellipse((w // 4 + 3, 4, 3 * w // 4 - 3, 2 * h // 3 - 3), fill=1)
    return im


def bars(text, size, heights, title):
    """A title bar and a bar chart on a base line."""
    im, d = canvas(*size)
    w, h = size
    d.rectangle((0, 0, w - 1, 10), fill=0)
    text(d, 2, 2, title, fill=1)
    width = (w - 8) // len(heights)
    for i, share in enumerate(heights):
        top = h - 3 - int((h - 18) * share)
        d.rectangle((4 + i * width, top, 2 + (i + 1) * width - 2, h - 3), fill=0)
    d.line((2, h - 2, w - 3, h - 2), fill=0)
    return im


def wave(text, size, cycles, label):
    """A waveform over a dotted grid, as an oscilloscope shows it."""
    im, d = canvas(*size)
    w, h = size
    for x in range(0, w, 8):
        for y in range(0, h, 8):
            d.point((x, y), fill=0)
    points = [(x, h / 2 - (h / 3) * math.sin(2 * math.pi * cycles * x / w)) for x in range(w)]
    d.line(points, fill=0, width=2)
    text(d, 2, h - 9, label)
    return im


def gauge(text, size, value, label):
    """A round dial with ticks and a needle."""
    im, d = canvas(*size)
    w, h = size
    r = min(w // 2, h) - 3
    cx, cy = w // 2, h - 3
    d.arc((cx - r, cy - r, cx + r, cy + r), 180, 360, fill=0, width=2)
    for k in range(11):
        a = math.pi * (1 + k / 10)
        d.line((cx + (r - 5) * math.cos(a), cy + (r - 5) * math.sin(a), cx + r * math.cos(a),
                cy + r * math.sin(a)), fill=0)
    a = math.pi * (1 + value)
    d.line((cx, cy, cx + (r - 8) * math.cos(a), cy + (r - 8) * math.sin(a)), fill=0, width=2)
    text(d, 2, 2, label)
    return im


def meters(text, size, levels):
    """Level meters side by side, segmented, with a value above each."""
    im, d = canvas(*size)
    w, h = size
    col = w // len(levels)
    for i, level in enumerate(levels):
        x = i * col + 3
        text(d, x, 1, "%d" % int(level * 99))
        d.rectangle((x, 10, x + col - 7, h - 2), outline=0)
        for y in range(h - 4, h - 4 - int((h - 16) * level), -3):
            d.rectangle((x + 2, y - 1, x + col - 9, y), fill=0)
    return im


def thermometer(w, h, level):
    """A tall tube with a bulb, ticks beside it and its level filled."""
    im, d = canvas(w, h)
    cx = w // 2
    d.ellipse((cx - 7, h - 16, cx + 7, h - 2), fill=0)
    d.rectangle((cx - 4, 2, cx + 4, h - 12), outline=0)
    d.rectangle((cx - 2, h - 12 - int((h - 16) * level), cx + 2, h - 12), fill=0)
    for y in range(6, h - 16, 6):
        d.line((cx + 7, y, cx + 10 + (y % 12 == 0) * 3, y), fill=0)
    return im


def drawings(text, logo, screen, icon):
    """The set, each a (name, picture) pair."""
    return [
        ("logo", logo()),
        ("screen", screen()),
        ("house_icon", icon()),
        ("logo_card", logo_card(text, (128, 32), "DOTLANE", 2, 20)),
        ("logo_wide", logo_card(text, (200, 60), "LANE", 5, 40)),
        ("logo_small", logo_card(text, (64, 48), "DOT", 2, 0)),
        ("logo_odd", logo_card(text, (101, 45), "LCD", 3, 30)),
        ("menu", text_page(text, (128, 64), ["MENU", "SET TEMP", "SET TIME", "NETWORK", "ABOUT"],
                           inverse_title=True)),
        ("text_nokia", text_page(text, (84, 48), ["HELLO", "WORLD", "12:45", "OK"])),
        ("text_large", text_page(text, (240, 64), ["SPEED 45", "DIST 3.2"], scale=3)),
        ("text_odd", text_page(text, (61, 23), ["TEMP", "21.5C"])),
        ("text_two", text_page(text, (150, 40), ["PUMP ON", "LEVEL 64%"], scale=2,
                                                inverse_title=True)),
        ("heart_16", heart(16)),
        ("heart_13", heart(13)),
        ("battery_24", battery(24, 12, 0.6)),
        ("battery_40", battery(40, 20, 0.3)),
        ("signal_32", signal_arcs(32)),
        ("signal_21", signal_arcs(21)),
        ("check_13", check_mark(13, 11)),
        ("gear_20", gear(20)),
        ("gear_48", gear(48)),
        ("house_48", house(48, 40)),
        ("house_30", house(30, 27)),
        ("cloud_37", cloud(37, 29)),
        ("cloud_64", cloud(64, 40)),
        ("bars", bars(text, (128, 64), [0.3, 0.8, 0.5, 0.9, 0.2, 0.6, 0.7, 0.4], "LOAD")),
        ("bars_odd", bars(text, (99, 50), [0.5, 0.9, 0.2, 0.7, 0.4], "POWER")),
        ("wave", wave(text, (128, 64), 2, "1.0V")),
        ("wave_wide", wave(text, (240, 128), 3.5, "5MS")),
        ("wave_odd", wave(text, (90, 40), 1.5, "AC")),
        ("gauge", gauge(text, (128, 64), 0.7, "PSI")),
        ("gauge_odd", gauge(text, (75, 41), 0.25, "TEMP")),
        ("meters", meters(text, (96, 64), [0.8, 0.35, 0.6])),
        ("meters_wide", meters(text, (160, 48), [0.2, 0.9, 0.5, 0.7, 0.45])),
        ("thermometer", thermometer(29, 64, 0.6)),
        ("menu_tall", text_page(text, (64, 128), ["MENU", "SET", "TIME", "DATE", "ALARM", "BACK",
                                                  "ABOUT", "12:45", "OK"], inverse_title=True)),
    ]


def guess_set(text, logo, screen, icon):
    """Each drawing with the layout it is listed in, taken in turn."""
    for i, (name, im) in enumerate(drawings(text, logo, screen, icon)):
        yield name, im, LAYOUTS[i % len(LAYOUTS)]
