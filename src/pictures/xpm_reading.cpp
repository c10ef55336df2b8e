// XPM files: the C strings of the file, its values, its colours and then its rows. A colour
// is "None" (transparent), #RGB in 4, 8 or 16 bits a channel, or a name of the X colour
// table among the plain ones (black, white, the primaries, gray and grayN); others are
// refused by name.
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>

#include "pictures/picture_source.h"

namespace dotlane::picture {

namespace {

// The next string in quotes, or nothing at the end of the file.
std::optional<std::string> next_string(Source& source) {
    int c = source.byte();
    while (c >= 0 && c != '"') {
        if (c == '/' && (c = source.byte()) == '*') { // a comment may hold quotes
            for (int last = 0; (c = source.byte()) >= 0 && !(last == '*' && c == '/');)
                last = c;
        }
        c = source.byte();
    }
    if (c < 0) return std::nullopt;
    std::string text;
    while ((c = source.byte()) >= 0 && c != '"')
        if (text.size() < (1 << 16)) text += char(c);
    return c < 0 ? std::nullopt : std::optional(text);
}

using Rgba = std::array<std::uint8_t, 4>;

// An XPM colour, R, G, B and A; none if unknown. Transparent is clear black.
std::optional<Rgba> colour_of(std::string value) {
    const auto opaque = [](int r, int g, int b) {
        return Rgba{std::uint8_t(r), std::uint8_t(g), std::uint8_t(b), 255};
    };
    for (char& c : value)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (value == "none" || value == "transparent") return Rgba{0, 0, 0, 0};
    if (value[0] == '#') {
        const std::size_t digits = value.size() - 1;
        if (digits % 3 != 0 || digits == 0 || digits > 12) return std::nullopt;
        const std::size_t each = digits / 3;
        int rgb[3];
        for (int i = 0; i < 3; ++i) {
            const std::string part = value.substr(1 + i * each, each);
            if (part.find_first_not_of("0123456789abcdef") != std::string::npos)
                return std::nullopt;
            const unsigned long v = std::strtoul(part.c_str(), nullptr, 16);
            rgb[i] = each == 1 ? int(v * 17) : int(v >> (4 * (each - 2)));
        }
        return opaque(rgb[0], rgb[1], rgb[2]);
    }
    static const std::map<std::string, int> kNamed = {
        {"black", 0x000000}, {"white", 0xFFFFFF},  {"red", 0xFF0000},   {"green", 0x00FF00},
        {"blue", 0x0000FF},  {"yellow", 0xFFFF00}, {"cyan", 0x00FFFF},  {"magenta", 0xFF00FF},
        {"gray", 0xBEBEBE},  {"grey", 0xBEBEBE},   {"orange", 0xFFA500}};
    if (const auto it = kNamed.find(value); it != kNamed.end())
        return opaque(it->second >> 16, it->second >> 8 & 0xFF, it->second & 0xFF);
    if ((value.rfind("gray", 0) == 0 || value.rfind("grey", 0) == 0) && value.size() <= 7 &&
        value.find_first_not_of("0123456789", 4) == std::string::npos) {
        const int n = std::atoi(value.c_str() + 4);
        // A grey's luminance is itself, so the one-bit layouts see (n 255 + 50) / 100.
        if (n <= 100)
            return opaque((n * 255 + 50) / 100, (n * 255 + 50) / 100, (n * 255 + 50) / 100);
    }
    return std::nullopt;
}

} // namespace

int read_xpm(Source& source, const char* name, int max_side, DotlaneGrey* out) {
    const auto refused = [&](const std::string& why) {
        return fail(out, refusal(name, source.expired() ? took_too_long() : why));
    };
    const std::optional<std::string> values = next_string(source);
    long long width = 0, height = 0, colours = 0, per_pixel = 0;
    if (!values ||
        std::sscanf(values->c_str(), "%lld %lld %lld %lld", &width, &height, &colours,
                    &per_pixel) != 4 ||
        per_pixel < 1 || per_pixel > 4 || colours < 1 || colours > (1 << 20))
        return refused("a damaged XPM header");
    if (width > max_side || height > max_side)
        return fail(out, too_large(name, width, height, max_side));
    std::map<std::string, Rgba> greys;
    for (long long i = 0; i < colours; ++i) {
        const std::optional<std::string> line = next_string(source);
        if (!line || line->size() < std::size_t(per_pixel)) return refused("the file is cut short");
        // The keys and their values after the pixel's characters; "c" first, else any.
        std::optional<std::optional<Rgba>> grey;
        char key[8] = {}, value[256] = {};
        int used = 0;
        for (const char* at = line->c_str() + per_pixel;
             std::sscanf(at, " %7s %255s%n", key, value, &used) == 2; at += used)
            if (!grey || std::strcmp(key, "c") == 0) grey = colour_of(value);
        if (!grey || !*grey) return refused("an XPM colour it does not know");
        greys[line->substr(0, std::size_t(per_pixel))] = **grey;
    }
    std::uint8_t* grey = grey_pixels(name, max_side, width, height, out);
    if (!grey) return 1;
    const bool rgba = out->channels == 4; // the colours kept, four bytes a pixel
    for (long long y = 0; y < height; ++y) {
        const std::optional<std::string> row = next_string(source);
        if (!row || row->size() < std::size_t(width * per_pixel))
            return refused("the file is cut short");
        for (long long x = 0; x < width; ++x) {
            const auto it =
                greys.find(row->substr(std::size_t(x * per_pixel), std::size_t(per_pixel)));
            if (it == greys.end()) return refused("a pixel of no colour");
            const Rgba& c = it->second;
            if (rgba) {
                std::memcpy(grey, c.data(), 4);
                grey += 4;
            } else {
                *grey++ = over_background(c[0], c[1], c[2], c[3], out->background);
            }
        }
    }
    return 0;
}

} // namespace dotlane::picture
