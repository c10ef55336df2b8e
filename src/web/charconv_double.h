#pragma once
// Emscripten 3.1.6's C++ library lacks std::to_chars and std::from_chars of double, which the
// engine's decimal-comma arithmetic uses; the web build includes this ahead of that one file.
// The shortest fixed text that reads back as the same value, as to_chars gives it.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace std {

inline to_chars_result to_chars(char* first, char* last, double value, chars_format) {
    char text[400];
    for (int precision = 0; precision <= 340; ++precision) {
        const int n = std::snprintf(text, sizeof text, "%.*f", precision, value);
        if (n < 0 || n >= int(sizeof text)) break;
        if (std::strtod(text, nullptr) != value) continue;
        if (n > last - first) return {last, errc::value_too_large};
        std::memcpy(first, text, std::size_t(n));
        return {first + n, errc{}};
    }
    return {last, errc::value_too_large};
}

inline from_chars_result from_chars(const char* first, const char* last, double& value,
                                    chars_format = chars_format::general) {
    // strtod would take a sign, spaces, hex and "inf"; from_chars takes digits and a point.
    const char* p = first + (first < last && *first == '-');
    if (p == last || !((*p >= '0' && *p <= '9') || *p == '.'))
        return {first, errc::invalid_argument};
    const std::string text(first, last);
    char* end = nullptr;
    const double read = std::strtod(text.c_str(), &end);
    if (end == text.c_str()) return {first, errc::invalid_argument};
    value = read;
    return {first + (end - text.c_str()), errc{}};
}

} // namespace std
