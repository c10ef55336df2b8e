#pragma once
// The run-length compression of --compress rle, whose decoder is the C text of rle_decoder.c
// (the format is described there). Bitmaps are mostly runs of 0x00 and 0xFF, so those runs
// cost one control byte and no value byte.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dotlane {

// The compressed bytes, flag byte first; stored as they are when compressing would not
// make them smaller, so the result is never more than one byte longer than `bytes`.
std::vector<std::uint8_t> rle_compress(std::span<const std::uint8_t> bytes);

// The text of rle_decoder.c, which every compressed output carries once; before it, when
// `flash_read` names the macro that reads a byte of the arrays (pgm_read_byte), the
// definition of the decoder's DOTLANE_RLE_BYTE as that macro.
std::string rle_decoder_text(std::string_view flash_read);

} // namespace dotlane
