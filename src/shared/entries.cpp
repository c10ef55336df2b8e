#include "shared/entries.h"

#include <algorithm>
#include <cstring>

namespace dotlane {

std::string entry_lines(std::span<const std::uint8_t> bytes, std::string_view line_break,
                        bool close_last) {
    const std::size_t n = bytes.size();
    const std::size_t breaks = n == 0 ? 0 : (n - 1) / 16 + (close_last ? 1 : 0);
    std::string text(n * kEntryWidth + breaks * line_break.size(), '\0');
    char* at = text.data();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && i % 16 == 0) {
            std::memcpy(at, line_break.data(), line_break.size());
            at += line_break.size();
        }
        std::memcpy(at, detail::kEntries.text[bytes[i]].data(), kEntryWidth);
        at += kEntryWidth;
    }
    if (close_last && n > 0) std::memcpy(at, line_break.data(), line_break.size());
    return text;
}

void entry_lines_in_pieces(std::span<const std::uint8_t> bytes, std::string_view line_break,
                           bool close_last, const std::function<void(std::string_view)>& sink) {
    // Pieces of whole lines, each closed but the last as the whole would be: joined, they are
    // the whole text.
    constexpr std::size_t kPieceBytes = 16 * 12800;
    for (std::size_t from = 0; from < bytes.size(); from += kPieceBytes) {
        const auto piece = bytes.subspan(from, std::min(kPieceBytes, bytes.size() - from));
        const bool last = from + piece.size() == bytes.size();
        sink(entry_lines(piece, line_break, !last || close_last));
    }
}

} // namespace dotlane
