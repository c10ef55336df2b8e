#pragma once
// What the input of render, guess and check turns out to be when it is not the plain array
// asked for: a picture (convert's input, not an array), text whose numbers are no 0x..
// entries, or arrays that convert --compress rle wrote, which are read back decompressed.
#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "back/array_input.h"

namespace dotlane {

// The kind of picture file whose first bytes `start` is ("a PNG picture"), or nullopt.
std::optional<std::string> picture_kind(std::string_view start);

// The message for a picture given where an array was wanted.
std::string picture_given(const ArraySource& source, const std::string& kind);

// The message for an input that holds no 0x.. entry; `start` is its beginning, all of it
// when `whole`: what it holds instead, and the option that reads that.
std::string no_entry_found(const ArraySource& source, std::string_view start, bool whole);

// Whether `text` carries the decoder convert --compress rle writes and an array it
// compressed (a NAME_decoded_size macro).
bool holds_rle_arrays(std::string_view text);

// The array named by `source` (or the first compressed one), decompressed: the first `keep`
// bytes stored, counted up to `stop`. An array that is not compressed is read as it stands.
std::optional<ArrayBytes> read_rle_array(std::string_view text, const ArraySource& source,
                                         std::size_t keep, std::size_t stop, std::ostream& err);

} // namespace dotlane
