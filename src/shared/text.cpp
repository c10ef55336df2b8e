#include "shared/text.h"

#include <algorithm>

namespace dotlane {

bool is_word_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

std::optional<long long> whole_number(std::string_view text, long long cap) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value > cap / 10 ? cap : std::min(value * 10 + (c - '0'), cap);
    }
    return value;
}

std::string printable_name(std::string_view name) {
    std::string shown;
    shown.reserve(name.size());
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            shown += c;
        } else if (c == '\n') {
            shown += "\\n";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (c == '\r') {
            shown += "\\r";
        } else {
            static const char digits[] = "0123456789ABCDEF";
            shown += "\\x";
            shown += digits[byte >> 4];
            shown += digits[byte & 15];
        }
    }
    return shown;
}

std::string quoted_name(std::string_view name) {
    return "\"" + printable_name(name) + "\"";
}

std::string shell_word(const std::string& path) {
    // "./" keeps a name that begins with "-" from reading as an option.
    const std::string shown = (path.starts_with('-') ? "./" : "") + printable_name(path);
    const bool plain = !shown.empty() && std::all_of(shown.begin(), shown.end(), [](char c) {
        return is_word_char(c) || std::string_view("./+-=:,@%").find(c) != std::string_view::npos;
    });
    if (plain) return shown;
    std::string quoted = "'";
    for (char c : shown)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace dotlane
