#pragma once
// Digit-string arithmetic: numbers to hex text, hex text to binary digits and back.
// The halving works on decimal-comma text ("3,5"), formatted and parsed here without the
// C locale, so results never depend on the machine's regional settings.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace dotlane {

// A value that is either an integer, a real number or text, as the module's working
// variables are. Text converts to a number by reading it as decimal-comma text.
struct Variant {
    enum class Kind { Integer, Real, Text };
    Kind kind = Kind::Integer;
    double number = 0;
    std::string text;

    static Variant integer(std::int16_t v) { return {Kind::Integer, double(v), {}}; }
    static Variant real(double v) { return {Kind::Real, v, {}}; }
    static Variant of_text(std::string t) { return {Kind::Text, 0, std::move(t)}; }
    double as_number() const;
    std::string as_text() const;
    bool operator==(const Variant&) const = default;
};

// "7", "3,5", "0,5": decimal comma, no grouping, no trailing zeros.
std::string to_decimal_comma(double value);
// Reads the leading number of decimal-comma text; text that holds no number reads as 0.
double from_decimal_comma(std::string_view text);

class Conversion {
public:
    static std::string dec_to_hex(std::int64_t value);
    std::string hex_to_bin(std::string_view hex);
    double hex_to_dec(std::string_view hex);

private:
    double bin_to_dec(std::string_view binary);
    void divide_by_two(const Variant& x);
    void reset_working_values();

    // Working state, in the order the module declares it, shared by the operations.
    double dec_total = 0;
    Variant quotient = Variant::integer(0);
    Variant remainder = Variant::integer(0);
    std::string bit_char;
    std::array<Variant, 51> bits{};
};

} // namespace dotlane
