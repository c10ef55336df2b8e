// PBM, PGM and PPM files, plain (numbers in text) and raw, and XBM files: small readers over
// the byte stream, a row at a time. Samples of another largest value than 255 are scaled to
// 0 to 255, rounded; in PBM and XBM a set bit is black.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "pictures/picture_source.h"

namespace dotlane::picture {

namespace {

// The next whole number of the header or of a plain file, past blanks and comments; -1 if
// there is none.
long long next_number(Source& source) {
    int c = source.byte();
    for (;;) {
        while (c >= 0 && std::isspace(c))
            c = source.byte();
        if (c != '#') break;
        while (c >= 0 && c != '\n' && c != '\r')
            c = source.byte();
    }
    if (c < '0' || c > '9') return -1;
    long long value = 0;
    for (; c >= '0' && c <= '9'; c = source.byte())
        if ((value = value * 10 + (c - '0')) > 1 << 30) return -1;
    return value; // the character after it, one blank, is taken with it
}

} // namespace

int read_pnm(Source& source, const char* name, int max_side, DotlaneGrey* out) {
    unsigned char magic[2];
    source.read_exact(magic, 2);
    const int kind = magic[1] - '0'; // 1 to 3 plain, 4 to 6 raw; bits, grey, colour
    const bool plain = kind <= 3, bitmap = kind % 3 == 1, colour = kind % 3 == 0;
    const long long width = next_number(source), height = next_number(source);
    const long long largest = bitmap ? 1 : next_number(source);
    if (width <= 0 || height <= 0 || largest <= 0 || largest > 65535)
        return fail(out, refusal(name, "a damaged PNM header"));
    std::uint8_t* grey = grey_pixels(name, max_side, width, height, out);
    if (!grey) return 1;
    const int samples = colour ? 3 : 1, size = largest > 255 ? 2 : 1;
    const std::size_t row_bytes =
        bitmap ? std::size_t((width + 7) / 8) : std::size_t(width * samples * size);
    std::vector<unsigned char> row(plain ? 0 : row_bytes);
    const auto scaled = [&](long long v) { return int((v * 255 + largest / 2) / largest); };
    const auto cut = [&] {
        return fail(out,
                    refusal(name, source.expired() ? took_too_long() : "the file is cut short"));
    };
    const bool rgba = out->channels == 4;
    for (long long y = 0; y < height; ++y) {
        std::uint8_t* g = grey + std::size_t(y * width) * (rgba ? 4 : 1);
        if (!plain && !source.read_exact(row.data(), row_bytes)) return cut();
        for (long long x = 0; x < width; ++x) {
            long long v[3] = {};
            for (int s = 0; s < samples; ++s) {
                if (plain && bitmap) { // digits need no blanks between them
                    int c = source.byte();
                    while (c >= 0 && c != '0' && c != '1') {
                        if (c == '#')
                            while (c >= 0 && c != '\n')
                                c = source.byte();
                        c = source.byte();
                    }
                    if (c < 0) return cut();
                    v[s] = c - '0';
                } else if (plain) {
                    if ((v[s] = next_number(source)) < 0) return cut();
                } else if (bitmap) {
                    v[s] = row[std::size_t(x / 8)] >> (7 - x % 8) & 1;
                } else {
                    const unsigned char* p = row.data() + (x * samples + s) * size;
                    v[s] = size == 2 ? p[0] << 8 | p[1] : p[0];
                }
                v[s] = std::min(v[s], largest);
            }
            if (rgba) { // a PBM's 1 is black; a PGM's one sample is each channel
                for (int c = 0; c < 3; ++c)
                    g[4 * x + c] =
                        std::uint8_t(bitmap ? (v[0] ? 0 : 255) : scaled(v[colour ? c : 0]));
                g[4 * x + 3] = 255;
                continue;
            }
            g[x] = bitmap   ? (v[0] ? 0 : 255)
                   : colour ? over_background(scaled(v[0]), scaled(v[1]), scaled(v[2]), 255, 255)
                            : std::uint8_t(scaled(v[0]));
        }
    }
    return 0;
}

// "#define NAME_width W", "#define NAME_height H", then the bytes of the rows in C, bit 0
// the leftmost pixel.
int read_xbm(Source& source, const char* name, int max_side, DotlaneGrey* out) {
    std::string text;
    for (int c; text.size() < 4096 && (c = source.byte()) >= 0 && c != '{';)
        text += char(c);
    const auto declared = [&](const char* what) {
        const std::size_t at = text.find(what);
        return at == std::string::npos ? -1 : std::atoll(text.c_str() + at + std::strlen(what));
    };
    const long long width = declared("_width "), height = declared("_height ");
    if (width <= 0 || height <= 0 || text.find("_bits") == std::string::npos)
        return fail(out, refusal(name, "a damaged XBM header"));
    std::uint8_t* grey = grey_pixels(name, max_side, width, height, out);
    if (!grey) return 1;
    const long long row_bytes = (width + 7) / 8;
    const int channels = out->channels == 4 ? 4 : 1; // black and white, opaque, in colour
    for (long long y = 0; y < height; ++y)
        for (long long b = 0; b < row_bytes; ++b) {
            int c = source.byte();
            while (c >= 0 && c != '0')
                c = source.byte();
            if (c < 0 || ((c = source.byte()) != 'x' && c != 'X'))
                return fail(out, refusal(name, source.expired() ? took_too_long()
                                                                : "the file is cut short"));
            int value = 0;
            for (c = source.byte(); std::isxdigit(c); c = source.byte())
                value = (value << 4 | (std::isdigit(c) ? c - '0' : (c | 0x20) - 'a' + 10)) & 0xFF;
            for (int bit = 0; bit < 8 && b * 8 + bit < width; ++bit) {
                std::uint8_t* p = grey + (y * width + b * 8 + bit) * channels;
                std::fill_n(p, channels, std::uint8_t(value >> bit & 1 ? 0 : 255));
                if (channels == 4) p[3] = 255;
            }
        }
    return 0;
}

} // namespace dotlane::picture
