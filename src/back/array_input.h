#pragma once
// Where render, guess and check find their bytes: the 0x entries of a listing, read as a
// stream; the literals of a C array (--input c, or --name); or the raw bytes (--input bin).
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "back/guess.h"
#include "back/hex_reader.h"

namespace dotlane {

// Past this much input without a single entry, the input is no listing: an endless stream
// such as /dev/zero ends with a message instead of running forever.
inline constexpr std::size_t kMaxGap = std::size_t(64) << 20;
// C text is held whole while it is read, so only this much of it.
inline constexpr std::size_t kMaxHeldInput = std::size_t(64) << 20;

// The input in pieces as the front end reads it: the next piece, empty at the end, or an
// error (why the input cannot be read), so memory stays bounded by the entries kept.
using Pieces = std::function<std::string_view(std::optional<std::string>& error)>;

// Feeds the listing to `reader` until it wants no more; `name` is the input as messages
// name it.
bool read_input(const Pieces& pieces, const std::string& name, ListingReader& reader,
                std::ostream& err);

enum class ArrayFormat { hex, c, bin };

struct ArraySource {
    std::string path = "-";
    ArrayFormat format = ArrayFormat::hex;
    std::optional<std::string> name; // the C array of that name
    bool head = false; // a "rows,bytes per row," line of a T6963C listing may come first
    const char* command = "render"; // which command reads it, for the messages
    bool words = false;             // a C array's entries are 16 bits, the low byte first
};

struct ArrayBytes {
    std::vector<std::uint8_t> bytes; // the first `keep`
    std::size_t count = 0;           // all there were, up to `stop`
    std::optional<T6963cHead> head;
};

// Reads the bytes of `source`: stores the first `keep`, counts up to `stop`. Prints the
// reason and returns nullopt when the input cannot be read or holds a bad entry.
std::optional<ArrayBytes> read_array(const ArraySource& source, const Pieces& pieces,
                                     std::size_t keep, std::size_t stop, std::ostream& err);

} // namespace dotlane
