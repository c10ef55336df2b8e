#pragma once
// Listing entries: every byte is written "0x", two upper-case hex digits and ",", five
// characters wide, so a listing's length is known before it is written.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace dotlane {

inline constexpr std::size_t kEntryWidth = 5;

namespace detail {
struct EntryTable {
    std::array<std::array<char, kEntryWidth>, 256> text{};
    constexpr EntryTable() {
        constexpr char digits[] = "0123456789ABCDEF";
        for (int v = 0; v < 256; ++v)
            text[v] = {'0', 'x', digits[v >> 4], digits[v & 15], ','};
    }
};
inline constexpr EntryTable kEntries{};
} // namespace detail

inline std::string_view entry(std::uint8_t value) {
    return {detail::kEntries.text[value].data(), kEntryWidth};
}

// The entries of `bytes`, 16 a line, `line_break` between lines and, when `close_last`,
// after the last line too.
std::string entry_lines(std::span<const std::uint8_t> bytes, std::string_view line_break,
                        bool close_last);

// The same text handed to `sink` in pieces of whole lines, about a megabyte each, so that the
// listing of a large picture (five times its bytes) is never held whole.
void entry_lines_in_pieces(std::span<const std::uint8_t> bytes, std::string_view line_break,
                           bool close_last, const std::function<void(std::string_view)>& sink);

} // namespace dotlane
