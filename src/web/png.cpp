#include "web/png.h"

#include <algorithm>

namespace dotlane::web {

namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

std::uint32_t crc32(const std::uint8_t* p, std::size_t n) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

void chunk(std::vector<std::uint8_t>& png, const char* type,
           const std::vector<std::uint8_t>& data) {
    put32(png, std::uint32_t(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    put32(png, crc32(png.data() + start, png.size() - start));
}

// `raw` is the rows, each after its filter byte (0); `plte` the palette of colour type 3.
std::vector<std::uint8_t> png_of(const std::vector<std::uint8_t>& raw, int width, int height,
                                 std::uint8_t colour_type, const std::vector<std::uint8_t>& plte) {
    std::vector<std::uint8_t> head, z = {0x78, 0x01},
                                    png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    put32(head, std::uint32_t(width));
    put32(head, std::uint32_t(height));
    head.insert(head.end(), {8, colour_type, 0, 0, 0});
    std::uint32_t a = 1, b = 0;
    for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        z.insert(z.end(), {std::uint8_t(at + n == raw.size()), std::uint8_t(n),
                           std::uint8_t(n >> 8), std::uint8_t(~n), std::uint8_t(~n >> 8)});
        z.insert(z.end(), raw.begin() + long(at), raw.begin() + long(at + n));
    }
    for (const std::uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    put32(z, b << 16 | a);
    chunk(png, "IHDR", head);
    if (!plte.empty()) chunk(png, "PLTE", plte);
    chunk(png, "IDAT", z);
    chunk(png, "IEND", {});
    return png;
}

} // namespace

std::vector<std::uint8_t> indexed_png(const std::vector<std::uint8_t>& indices, int width,
                                      int height, std::initializer_list<std::uint32_t> palette) {
    std::vector<std::uint8_t> plte, raw;
    for (const std::uint32_t colour : palette)
        plte.insert(plte.end(),
                    {std::uint8_t(colour >> 16), std::uint8_t(colour >> 8), std::uint8_t(colour)});
    raw.reserve((std::size_t(width) + 1) * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), indices.begin() + long(y) * width,
                   indices.begin() + long(y + 1) * width);
    }
    return png_of(raw, width, height, 3, plte);
}

std::vector<std::uint8_t> colour_png(const Picture& colours) {
    std::vector<std::uint8_t> raw;
    raw.reserve((std::size_t(colours.width) * 3 + 1) * std::size_t(colours.height));
    for (int y = 0; y < colours.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < colours.width; ++x) {
            const Colour c = colours.at(x, y);
            raw.insert(raw.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)});
        }
    }
    return png_of(raw, colours.width, colours.height, 2, {});
}

} // namespace dotlane::web
