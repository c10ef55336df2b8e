// Decimal-comma text, apart from the other digit strings: its shortest exact digits of a
// double need std::to_chars for floating point, which Emscripten 3.1.6's C++ library lacks,
// so a browser build of the engine leaves this file out.
#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "digits/conversion.h"

namespace dotlane {

std::string to_decimal_comma(double value) {
    char buffer[400];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc{}) throw std::overflow_error("number too large for decimal text");
    std::string text(buffer, end);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

double from_decimal_comma(std::string_view text) {
    std::string copy(text);
    std::replace(copy.begin(), copy.end(), ',', '.');
    std::size_t start = copy.find_first_not_of(' ');
    if (start == std::string::npos) return 0;
    const char* first = copy.data() + start;
    if (*first == '+') ++first;
    double value = 0;
    auto [ptr, ec] = std::from_chars(first, copy.data() + copy.size(), value);
    if (ec != std::errc{}) {
        // "0," and "5," have a separator without digits after it: read the part before it.
        return 0;
    }
    return value;
}

} // namespace dotlane
