// BMP files of any depth (the window reads the 1-bit ones it accepts), and ICO and CUR files,
// whose pictures are BMP pictures without the file header, or PNG files. Rows are read one
// at a time. A file whose rows stop short is refused, and so is a run-length compressed one,
// whose runs may skip pixels that nothing defines.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "pictures/picture_source.h"

namespace dotlane::picture {

namespace {

long long number(const unsigned char* p, int size) {
    long long value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

// One channel of a bit-field pixel: the mask's bits spread over 0 to 255 by repeating them.
struct Channel {
    unsigned mask = 0;
    int shift = 0, bits = 0;
    explicit Channel(unsigned m = 0) : mask(m) {
        if (!m) return;
        while (!(m >> shift & 1))
            ++shift;
        while (shift + bits < 32 && (m >> (shift + bits) & 1))
            ++bits;
    }
    int of(unsigned pixel) const {
        if (!mask) return 255;
        // Only the lowest run of the mask's bits counts.
        const unsigned v = unsigned((pixel >> shift) & ((1ULL << bits) - 1));
        if (bits >= 8) return int(v >> (bits - 8));
        unsigned result = v << (8 - bits);
        for (int filled = bits; filled < 8; filled *= 2)
            result |= result >> filled;
        return int(result & 0xFF);
    }
};

} // namespace

int read_dib(Source& source, const char* name, int max_side, long long pixels, bool icon,
             DotlaneGrey* out) {
    unsigned char h[124] = {};
    if (!source.read_exact(h, 4)) return fail(out, refusal(name, "the file is cut short"));
    const long long info = number(h, 4);
    const bool core = info < 40;
    if (info != 12 && (info < 40 || info > 124))
        return fail(out, refusal(name, "a BMP header of " + std::to_string(info) + " bytes"));
    if (!source.read_exact(h + 4, std::size_t(info - 4)))
        return fail(out, refusal(name, "the file is cut short"));
    const long long width = core ? number(h + 4, 2) : std::int32_t(number(h + 4, 4));
    long long height = core ? std::int16_t(number(h + 6, 2)) : std::int32_t(number(h + 8, 4));
    const int bits = int(number(h + (core ? 10 : 14), 2));
    const long long compression = core ? 0 : number(h + 16, 4);
    const bool top_down = height < 0;
    height = std::abs(height);
    if (icon) height /= 2; // the colours, then a 1-bit mask as high
    if (compression == 1 || compression == 2)
        return fail(out, refusal(name, "run-length compressed BMP files are not read"));
    if (compression != 0 && compression != 3 && compression != 6)
        return fail(out, refusal(name, "BMP compression " + std::to_string(compression)));
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return fail(out, refusal(name, "BMP pictures of " + std::to_string(bits) + " bits"));
    if (width > max_side || height > max_side)
        return fail(out, too_large(name, width, height, max_side));
    // Masks follow a 40-byte header, or lie inside a longer one.
    unsigned masks[4] = {bits == 16 ? 0x7C00u : 0xFF0000u, bits == 16 ? 0x3E0u : 0xFF00u,
                         bits == 16 ? 0x1Fu : 0xFFu, 0};
    if (compression == 3 || compression == 6) {
        const int count = compression == 6 ? 4 : 3;
        unsigned char m[16] = {};
        if (info == 40 && !source.read_exact(m, std::size_t(4 * count)))
            return fail(out, refusal(name, "the file is cut short"));
        for (int i = 0; i < count; ++i)
            masks[i] = unsigned(number(info == 40 ? m + 4 * i : h + 40 + 4 * i, 4));
        if (info >= 56) masks[3] = unsigned(number(h + 52, 4));
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
    // The colour table: its greys and colours, black for indices past it.
    std::uint8_t table[256] = {};
    std::uint8_t colour[256][3] = {};
    if (bits <= 8) {
        long long colours = core ? 1 << bits : number(h + 32, 4);
        if (colours == 0 || colours > (1 << bits)) colours = 1 << bits;
        const int entry = core ? 3 : 4;
        for (long long i = 0; i < colours; ++i) {
            unsigned char c[4] = {};
            if (!source.read_exact(c, std::size_t(entry)))
                return fail(out, refusal(name, "the file is cut short"));
            table[i] = over_background(c[2], c[1], c[0], 255, 255);
            colour[i][0] = c[2];
            colour[i][1] = c[1];
            colour[i][2] = c[0];
        }
    }
    if (pixels >= 0) source.seek(pixels);
    const long long start = source.offset();
    const std::size_t row_bytes = std::size_t((width * bits + 31) / 32 * 4);
    const std::size_t mask_bytes = std::size_t((width + 31) / 32 * 4);
    // A 32-bit icon's mask is not read (its alpha stands instead), and may be left out.
    const bool masked = icon && bits != 32;
    const long long need = static_cast<long long>(row_bytes + (masked ? mask_bytes : 0)) * height;
    if (start + need > source.size()) return fail(out, refusal(name, "the file is cut short"));
    std::uint8_t* grey = grey_pixels(name, max_side, width, height, out);
    if (!grey) return 1;
    std::vector<unsigned char> row(std::max(row_bytes, mask_bytes));
    std::vector<std::uint8_t> alphas(std::size_t(width), 255);
    const bool rgba = out->channels == 4; // the colours and the alpha kept, four bytes a pixel
    for (long long r = 0; r < height; ++r) {
        const std::size_t y = std::size_t(top_down ? r : height - 1 - r);
        std::uint8_t* g = grey + y * std::size_t(width) * (rgba ? 4 : 1);
        if (!source.read_exact(row.data(), row_bytes))
            return fail(
                out, refusal(name, source.expired() ? took_too_long() : "the file is cut short"));
        for (long long x = 0; x < width; ++x) {
            const unsigned char* p = row.data() + x * bits / 8;
            int level = 0, a = 255;
            if (bits <= 8) {
                const int index =
                    bits == 8 ? *p : *p >> (8 - bits - x * bits % 8) & ((1 << bits) - 1);
                level = table[index];
                if (rgba) std::memcpy(g + 4 * x, colour[index], 3);
            } else {
                const unsigned pixel = unsigned(number(p, bits / 8));
                a = (compression == 0 && !(icon && bits == 32)) ? 255
                    : compression == 0                          ? int(pixel >> 24)
                                                                : alpha.of(pixel);
                if (rgba) {
                    g[4 * x] = std::uint8_t(red.of(pixel));
                    g[4 * x + 1] = std::uint8_t(green.of(pixel));
                    g[4 * x + 2] = std::uint8_t(blue.of(pixel));
                } else {
                    level =
                        over_background(red.of(pixel), green.of(pixel), blue.of(pixel), 255, 255);
                }
            }
            if (rgba)
                g[4 * x + 3] = std::uint8_t(a);
            else
                g[x] = std::uint8_t((level * a + out->background * (255 - a) + 127) / 255);
            if (icon) alphas[std::size_t(x)] = std::uint8_t(a);
        }
    }
    // An icon's mask, below its colours, makes the pixels it sets transparent (a 32-bit icon
    // carries its alpha instead).
    if (masked)
        for (long long r = 0; r < height; ++r) {
            const std::size_t y = std::size_t(top_down ? r : height - 1 - r);
            if (!source.read_exact(row.data(), mask_bytes))
                return fail(out, refusal(name, "the file is cut short"));
            for (long long x = 0; x < width; ++x)
                if (row[std::size_t(x / 8)] >> (7 - x % 8) & 1) {
                    const std::size_t at = y * std::size_t(width) + std::size_t(x);
                    if (rgba)
                        grey[4 * at + 3] = 0;
                    else
                        grey[at] = std::uint8_t(out->background);
                }
        }
    return 0;
}

int read_bmp(Source& source, const char* name, int max_side, DotlaneGrey* out) {
    unsigned char file[14];
    if (!source.read_exact(file, sizeof file))
        return fail(out, refusal(name, "the file is cut short"));
    const long long offset = number(file + 10, 4);
    return read_dib(source, name, max_side, offset >= 14 ? offset : -1, false, out);
}

// The first picture of the icon's directory.
int read_ico(Source& source, const char* name, int max_side, DotlaneGrey* out) {
    unsigned char head[22];
    if (!source.read_exact(head, sizeof head))
        return fail(out, refusal(name, "the file is cut short"));
    const long long at = number(head + 18, 4);
    Source inner = source.part(at);
    unsigned char png[8] = {};
    inner.read(png, sizeof png);
    inner.seek(0);
    if (std::memcmp(png, "\x89PNG\r\n\x1a\n", 8) == 0) return read_png(inner, name, max_side, out);
    const int status = read_dib(inner, name, max_side, -1, true, out);
    if (inner.expired()) source.read(png, 1); // so the caller sees the time run out
    return status;
}

} // namespace dotlane::picture
