#include "hex_reader.h"

#include <cctype>

namespace dotlane {

static bool is_hex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

static bool is_word_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

static int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return (std::toupper(static_cast<unsigned char>(c)) - 'A') + 10;
}

// The entry as the user wrote it, up to the next separator, for the message.
static std::string found_text(std::string_view text, std::size_t at) {
    std::size_t end = at + 2;
    while (end < text.size() && end - at < 24 && is_word_char(text[end]))
        ++end;
    return std::string(text.substr(at, end - at));
}

ListingRead read_listing(std::string_view text) {
    ListingRead read;
    read.bytes.reserve(text.size() / 5 + 1);
    int line = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
            ++line;
            continue;
        }
        // "0x" counts only where a word starts, so "240x128" in a comment is no entry.
        const bool starts_entry = c == '0' && i + 1 < text.size() &&
                                  (text[i + 1] == 'x' || text[i + 1] == 'X') &&
                                  (i == 0 || !is_word_char(text[i - 1]));
        if (!starts_entry) continue;
        std::size_t digits = 0;
        while (i + 2 + digits < text.size() && is_hex(text[i + 2 + digits]) && digits < 3)
            ++digits;
        const bool ends_well = i + 2 + digits >= text.size() || !is_word_char(text[i + 2 + digits]);
        if (digits == 0 || digits > 2 || !ends_well) {
            read.error_line = line;
            read.error_text = found_text(text, i);
            read.error = "Line " + std::to_string(line) + " holds \"" + read.error_text +
                         "\", which is not a byte: write each byte as 0x followed by one or "
                         "two hex digits, for example 0x0F.";
            read.bytes.clear();
            return read;
        }
        int value = hex_value(text[i + 2]);
        if (digits == 2) value = value * 16 + hex_value(text[i + 3]);
        read.bytes.push_back(std::uint8_t(value));
        i += 1 + digits;
    }
    return read;
}

} // namespace dotlane
