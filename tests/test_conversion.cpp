#include <clocale>
#include <gtest/gtest.h>

#include "convert/conversion.h"

using dotlane::Conversion;
using dotlane::Variant;

namespace {

struct TextCase {
    const char* in;
    const char* out;
};

TEST(Conversion, HexToBin) {
    const TextCase cases[] = {{"1F", "00011111"}, {"a", "1010"},      {"9", "1001"},
                              {"00", "00000000"}, {"0", ""},          {"G1", "00000001"},
                              {"", ""},           {"FF", "11111111"}, {"81", "10000001"},
                              {"0f", "00001111"}, {"7", "0111"},      {"8", "1000"}};
    for (const auto& c : cases) {
        Conversion conversion;
        EXPECT_EQ(conversion.hex_to_bin(c.in), c.out) << c.in;
        EXPECT_EQ(conversion.dec_total, 0) << c.in;
    }
}

TEST(Conversion, HexToDec) {
    const std::pair<const char*, double> cases[] = {
        {"FF", 255}, {"ff", 255}, {"0", 0}, {"100", 256}, {"0A", 10}, {"", 0}, {"zz", 0}};
    for (const auto& [in, out] : cases) {
        Conversion conversion;
        EXPECT_EQ(conversion.hex_to_dec(in), out) << in;
        EXPECT_EQ(conversion.dec_total, out) << in;
    }
}

TEST(Conversion, DecToHex) {
    const std::pair<int, const char*> cases[] = {{0, "00"},  {10, "0A"},  {15, "0F"},
                                                 {16, "10"}, {255, "FF"}, {256, "100"}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(Conversion::dec_to_hex(in), out) << in;
}

TEST(Conversion, DivideByTwoLeavesQuotientTextAndRemainder) {
    struct Case {
        int x;
        const char* quotient;
        Variant remainder;
    };
    const Case cases[] = {{15, "7", Variant::real(1)},  {8, "4", Variant::integer(0)},
                          {3, "1", Variant::real(1)},   {2, "1", Variant::integer(0)},
                          {1, "0", Variant::real(1)},   {5, "2", Variant::real(1)},
                          {4, "2", Variant::integer(0)}};
    for (const auto& c : cases) {
        Conversion conversion;
        conversion.divide_by_two(Variant::integer(std::int16_t(c.x)));
        EXPECT_EQ(conversion.quotient, Variant::of_text(c.quotient)) << c.x;
        EXPECT_EQ(conversion.remainder, c.remainder) << c.x;
    }
}

TEST(Conversion, BinToDecAddsToTheRunningTotal) {
    Conversion conversion;
    EXPECT_EQ(conversion.bin_to_dec("0111"), 7);
    EXPECT_EQ(conversion.bit_char, "1");
    EXPECT_EQ(conversion.bin_to_dec("1"), 8); // no reset of its own: 7 + 1
}

TEST(Conversion, StateLeftBehind) {
    Conversion conversion;
    conversion.divide_by_two(Variant::integer(15));
    EXPECT_EQ(conversion.hex_to_bin("0"), "");
    // "0" returns at once: the halving state stays as it was.
    EXPECT_EQ(conversion.quotient, Variant::of_text("7"));

    conversion.hex_to_dec("FF");
    EXPECT_EQ(conversion.dec_total, 255);
    EXPECT_EQ(conversion.quotient, Variant::integer(0));
    EXPECT_EQ(conversion.remainder, Variant::integer(0));
    EXPECT_EQ(conversion.bit_char, "1");
    for (int i = 1; i <= 50; ++i)
        EXPECT_EQ(conversion.bits[i], Variant::integer(0)) << i;

    conversion.hex_to_bin("1F");
    EXPECT_EQ(conversion.dec_total, 0);
    EXPECT_EQ(conversion.bit_char, "1"); // untouched by hex_to_bin

    const std::string before = conversion.bit_char;
    EXPECT_EQ(Conversion::dec_to_hex(200), "C8");
    EXPECT_EQ(conversion.bit_char, before);
}

TEST(Conversion, DecimalCommaText) {
    const std::pair<double, const char*> cases[] = {{7, "7"}, {3.5, "3,5"}, {0.5, "0,5"}, {4, "4"}};
    for (const auto& [number, text] : cases) {
        EXPECT_EQ(dotlane::to_decimal_comma(number), text);
        EXPECT_EQ(dotlane::from_decimal_comma(text), number);
    }
}

// The halving must not follow the machine's decimal separator.
TEST(Conversion, SameResultsUnderEveryLocale) {
    for (const char* locale : {"C", "C.UTF-8", "en_US.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8"}) {
        if (!std::setlocale(LC_ALL, locale)) continue;
        Conversion conversion;
        for (int v = 0; v < 256; ++v) {
            const std::string hex = Conversion::dec_to_hex(v);
            ASSERT_EQ(conversion.hex_to_dec(hex), v) << locale << " " << hex;
        }
        conversion.divide_by_two(Variant::of_text("7"));
        EXPECT_EQ(conversion.quotient, Variant::of_text("3")) << locale;
        EXPECT_EQ(conversion.remainder, Variant::real(1)) << locale;
    }
    std::setlocale(LC_ALL, "C");
}

} // namespace
