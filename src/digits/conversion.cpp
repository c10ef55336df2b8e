#include "digits/conversion.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace dotlane {

double Variant::as_number() const {
    return kind == Kind::Text ? from_decimal_comma(text) : number;
}

std::string Variant::as_text() const {
    return kind == Kind::Text ? text : to_decimal_comma(number);
}

std::string Conversion::dec_to_hex(std::int64_t value) {
    char buffer[24];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
    std::string text(buffer, end);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    if (text.size() < 2) text.insert(0, 1, '0');
    return text;
}

void Conversion::divide_by_two(const Variant& x) {
    const std::string t = to_decimal_comma(x.as_number() / 2);
    const std::size_t comma = t.find(',');
    const std::size_t c = comma == std::string::npos ? 9 : comma + 1;
    quotient = Variant::of_text(t.substr(0, c - 1));
    if (comma == std::string::npos) {
        remainder = Variant::integer(0);
        return;
    }
    const std::size_t digits = c < 7 ? 7 - c : 0;
    remainder = Variant::real(from_decimal_comma("0," + t.substr(c, digits)) * 2);
}

static int hex_digit_value(char c) {
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= '0' && c <= '9') return c - '0';
    return 0;
}

static std::string to_upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return upper;
}

void Conversion::reset_working_values() {
    quotient = Variant::integer(0);
    remainder = Variant::integer(0);
    std::fill(bits.begin() + 1, bits.end(), Variant::integer(0));
}

std::string Conversion::hex_to_bin(std::string_view hex) {
    dec_total = 0;
    const std::string s = to_upper(hex);
    if (s.size() > 32767) throw std::overflow_error("hex text longer than 32767 characters");
    if (s == "0") {
        dec_total = 0;
        return {};
    }
    std::string result;
    for (char ch : s) {
        const int v = hex_digit_value(ch);
        std::string group = "0";
        if (v != 0) {
            divide_by_two(Variant::integer(std::int16_t(v)));
            std::size_t k = 1;
            while (quotient.as_number() != 0) {
                bits.at(k) = remainder;
                divide_by_two(quotient);
                ++k;
            }
            --k;
            group = "1";
            for (; k != 0; --k)
                group += bits.at(k).as_text();
        }
        if (group.size() < 4) group.insert(0, 4 - group.size(), '0');
        result += group;
    }
    reset_working_values();
    return result;
}

double Conversion::bin_to_dec(std::string_view binary) {
    const std::size_t n = binary.size();
    for (std::size_t i = n; i >= 1; --i) {
        bit_char = std::string(1, binary[n - i]);
        if (from_decimal_comma(bit_char) == 1) dec_total += std::pow(2.0, double(i - 1));
    }
    reset_working_values();
    return dec_total;
}

double Conversion::hex_to_dec(std::string_view hex) {
    dec_total = 0;
    const std::string s = to_upper(hex);
    dec_total = bin_to_dec(hex_to_bin(s));
    reset_working_values();
    return dec_total;
}

} // namespace dotlane
