#include "characters.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace dotlane::fonts {

namespace {

constexpr char32_t kLastCode = 0x10FFFF;

bool is_surrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// A decimal code point, or a hexadecimal one after 0x or U+.
std::optional<char32_t> code_point(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.size() > 2 && (text[0] == 'U' || text[0] == 'u') && text[1] == '+') {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 8) return std::nullopt;
    unsigned long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || value > kLastCode)
        return std::nullopt;
    return char32_t(value);
}

std::vector<char32_t> sorted_unique(std::vector<char32_t> codes) {
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    return codes;
}

std::string too_many(std::size_t count) {
    return "that asks for " + std::to_string(count) + " characters; a font takes at most " +
           std::to_string(kMaxCharacters);
}

} // namespace

Characters parse_ranges(std::string_view ranges) {
    std::vector<char32_t> codes;
    std::size_t asked = 0;
    while (!ranges.empty()) {
        const std::size_t comma = ranges.find(',');
        const std::string_view item = ranges.substr(0, comma);
        ranges = comma == std::string_view::npos ? "" : ranges.substr(comma + 1);
        const std::size_t dash = item.find('-', 1);
        const auto first = code_point(item.substr(0, dash));
        const auto last =
            dash == std::string_view::npos ? first : code_point(item.substr(dash + 1));
        if (!first || !last)
            return "\"" + std::string(item) +
                   "\" is no code point or range (give 32-126, 0xB0 or 0x2000-0x206F, at most "
                   "0x10FFFF, joined by commas)";
        if (*last < *first) return "the range \"" + std::string(item) + "\" ends before it starts";
        asked += std::size_t(*last - *first) + 1;
        if (asked > kMaxCharacters) return "--chars " + too_many(asked);
        for (char32_t c = *first; c <= *last; ++c)
            if (!is_surrogate(c)) codes.push_back(c);
    }
    if (codes.empty()) return "--chars names no character";
    return sorted_unique(std::move(codes));
}

Characters characters_of_text(std::string_view utf8) {
    const auto text = decode_utf8(utf8);
    if (!text) return "--text is not valid UTF-8";
    std::vector<char32_t> codes(text->begin(), text->end());
    codes = sorted_unique(std::move(codes));
    if (codes.empty()) return "--text holds no character";
    if (codes.size() > kMaxCharacters) return "--text " + too_many(codes.size());
    return codes;
}

std::optional<std::u32string> decode_utf8(std::string_view s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int extra = b < 0x80             ? 0
                          : (b & 0xE0) == 0xC0 ? 1
                          : (b & 0xF0) == 0xE0 ? 2
                          : (b & 0xF8) == 0xF0 ? 3
                                               : -1;
        if (extra < 0 || s.size() - i <= std::size_t(extra)) return std::nullopt;
        char32_t c = extra == 0 ? b : b & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(s[i + std::size_t(k)]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (next & 0x3F);
        }
        static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (c < kLeast[extra] || c > kLastCode || is_surrogate(c)) return std::nullopt;
        out.push_back(c);
        i += std::size_t(extra) + 1;
    }
    return out;
}

std::string encode_utf8(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += char(c);
    } else if (c < 0x800) {
        s += char(0xC0 | (c >> 6));
        s += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += char(0xE0 | (c >> 12));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    } else {
        s += char(0xF0 | (c >> 18));
        s += char(0x80 | ((c >> 12) & 0x3F));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    }
    return s;
}

std::string code_name(char32_t code) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", unsigned(code));
    std::string text = name;
    if (code > 0x20 && code < 0x7F) text += std::string(" '") + char(code) + "'";
    return text;
}

} // namespace dotlane::fonts
