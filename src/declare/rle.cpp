#include "declare/rle.h"

#include <string>

#include "rle_decoder_text.h"

namespace dotlane {

namespace {

constexpr std::uint8_t kStored = 0, kCompressed = 1;
constexpr std::uint8_t kLiteral = 0x00, kZeros = 0x40, kOnes = 0x80, kRun = 0xC0;
constexpr std::size_t kPiece = 64, kMinRun = 3;

} // namespace

std::vector<std::uint8_t> rle_compress(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> out;
    out.reserve(bytes.size() + 1);
    out.push_back(kCompressed);
    constexpr std::size_t none = std::size_t(-1);
    std::size_t literal = none; // where the control byte of the open literal stands
    for (std::size_t i = 0; i < bytes.size();) {
        const std::uint8_t b = bytes[i];
        const bool free_value = b == 0x00 || b == 0xFF;
        const std::size_t most = free_value ? kPiece : kPiece + kMinRun - 1;
        std::size_t run = 1;
        while (run < most && i + run < bytes.size() && bytes[i + run] == b)
            ++run;
        // A run pays when it is shorter than the same bytes copied, counting the control
        // byte that the interrupted copy needs to resume.
        const std::size_t pays = free_value ? (literal == none ? 1 : 2) : kMinRun;
        if (run >= pays) {
            if (free_value) {
                out.push_back(std::uint8_t((b ? kOnes : kZeros) | (run - 1)));
            } else {
                out.push_back(std::uint8_t(kRun | (run - kMinRun)));
                out.push_back(b);
            }
            literal = none;
            i += run;
            continue;
        }
        if (literal == none || out[literal] == kLiteral + kPiece - 1) {
            literal = out.size();
            out.push_back(kLiteral);
        } else {
            ++out[literal];
        }
        out.push_back(b);
        ++i;
    }
    if (out.size() <= bytes.size()) return out;
    out.assign(1, kStored);
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

std::string rle_decoder_text(std::string_view flash_read) {
    if (flash_read.empty()) return kRleDecoderText;
    // Only where the library defines it: a core without it keeps its arrays in memory that a
    // plain read reaches, the decoder's own default. A macro the user defined first wins.
    const std::string macro(flash_read);
    return "#if !defined(DOTLANE_RLE_BYTE) && defined(" + macro +
           ")\n#define DOTLANE_RLE_BYTE(p) " + macro + "(p)\n#endif\n" + kRleDecoderText;
}

} // namespace dotlane
