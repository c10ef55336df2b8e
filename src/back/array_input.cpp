#include "back/array_input.h"

#include <ostream>

#include "back/c_reader.h"
#include "back/input_kinds.h"
#include "shared/text.h"

namespace dotlane {

namespace {

// Feeds the input to `sink` until it is done or the input ends.
template <class Sink> bool pump(const Pieces& pieces, Sink& sink, std::ostream& err) {
    std::optional<std::string> error;
    while (!sink.done()) {
        const std::string_view piece = pieces(error);
        if (error) {
            err << *error << "\n";
            return false;
        }
        if (piece.empty()) break;
        sink.feed(piece);
    }
    return true;
}

// The input held whole, up to `cap` bytes. Holding exactly `cap` is no reason to stop: only
// a byte past it tells a text of that size from a longer one cut there.
struct Held {
    std::string text;
    std::size_t cap;
    bool over = false;
    void feed(std::string_view piece) {
        const std::size_t room = cap - text.size();
        text.append(piece.substr(0, room));
        over = over || piece.size() > room;
    }
    bool done() const { return over; }
};

// Raw bytes: the first `keep` stored, the rest counted up to `stop`.
struct RawBytes {
    std::vector<std::uint8_t> bytes;
    std::size_t keep, stop, count = 0;
    void feed(std::string_view piece) {
        const std::size_t room = keep - std::min(keep, bytes.size());
        bytes.insert(bytes.end(), piece.begin(),
                     piece.begin() + std::ptrdiff_t(std::min(room, piece.size())));
        count += piece.size();
    }
    bool done() const { return count >= stop; }
};

// A listing reader that also keeps the start of the input: a T6963C listing states its shape
// in the first line, a picture or C text without 0x.. entries shows there what it is, and
// convert's compressed arrays, whose decoder comes first, are then held whole to be read
// as C.
struct HeadedReader {
    static constexpr std::size_t kLooked = std::size_t(1) << 16;
    ListingReader reader;
    std::string first;
    bool compressed = false;
    void feed(std::string_view piece) {
        std::size_t taken = 0;
        if (!compressed && first.size() < kLooked) {
            taken = std::min(piece.size(), kLooked - first.size());
            first.append(piece.substr(0, taken));
            compressed = holds_rle_arrays(first);
        }
        if (compressed)
            first.append(
                piece.substr(taken, kMaxHeldInput + 1 - std::min(kMaxHeldInput + 1, first.size())));
        else
            reader.feed(piece);
    }
    bool done() const { return compressed ? first.size() > kMaxHeldInput : reader.done(); }
};

// "rows,bytes per row," and the line end after it; `length` covers both.
std::optional<T6963cHead> t6963c_head(std::string_view text, std::size_t& length) {
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos || line.size() < comma + 2 || line.back() != ',')
        return std::nullopt;
    const auto rows = whole_number(line.substr(0, comma));
    const auto per_row = whole_number(line.substr(comma + 1, line.size() - comma - 2));
    if (!rows || !per_row) return std::nullopt;
    length = end == std::string_view::npos ? text.size() : end + 1;
    return T6963cHead{int(*rows), int(*per_row)};
}

// C text held whole: its first array (or the one named), decompressed when convert
// compressed it.
std::optional<ArrayBytes> held_c_array(std::string_view text, const ArraySource& source,
                                       std::size_t keep, std::size_t stop, std::ostream& err);

} // namespace

bool read_input(const Pieces& pieces, const std::string& name, ListingReader& reader,
                std::ostream& err) {
    if (!pump(pieces, reader, err)) return false;
    reader.finish();
    if (reader.gap_too_long()) {
        err << "Found no listing entry (0x..) in " << (kMaxGap >> 20) << " MiB of " << name
            << "; dotlane-cli stops reading there.\n";
        return false;
    }
    return true;
}

std::optional<ArrayBytes> read_array(const ArraySource& source, const Pieces& pieces,
                                     std::size_t keep, std::size_t stop, std::ostream& err) {
    ArrayBytes array;
    if (source.format == ArrayFormat::hex) {
        HeadedReader headed{ListingReader(stop, kMaxGap, keep), {}};
        if (!pump(pieces, headed, err)) return std::nullopt;
        if (const auto kind = picture_kind(headed.first)) {
            err << picture_given(source, *kind) << "\n";
            return std::nullopt;
        }
        if (headed.compressed) return held_c_array(headed.first, source, keep, stop, err);
        headed.reader.finish();
        if (headed.reader.gap_too_long()) {
            err << "Found no listing entry (0x..) in " << (kMaxGap >> 20) << " MiB of the input; "
                << "dotlane-cli stops reading there.\n";
            return std::nullopt;
        }
        ListingRead read = headed.reader.take();
        if (read.error) {
            err << *read.error << "\n";
            return std::nullopt;
        }
        if (read.count == 0) {
            err << no_entry_found(source, headed.first, headed.first.size() < headed.kLooked)
                << "\n";
            return std::nullopt;
        }
        std::size_t length = 0;
        if (source.head) array.head = t6963c_head(headed.first, length);
        array.bytes = std::move(read.bytes);
        array.count = read.count;
        return array;
    }
    if (source.format == ArrayFormat::bin) {
        RawBytes raw{{}, keep, stop};
        if (!pump(pieces, raw, err)) return std::nullopt;
        array.bytes = std::move(raw.bytes);
        array.count = std::min(raw.count, stop);
        return array;
    }
    Held held{{}, kMaxHeldInput};
    if (!pump(pieces, held, err)) return std::nullopt;
    if (held.over) {
        err << "The C text is larger than " << (kMaxHeldInput >> 20)
            << " MiB; dotlane-cli reads C arrays up to that size.\n";
        return std::nullopt;
    }
    if (const auto kind = picture_kind(held.text)) {
        err << picture_given(source, *kind) << "\n";
        return std::nullopt;
    }
    return held_c_array(held.text, source, keep, stop, err);
}

namespace {

std::optional<ArrayBytes> held_c_array(std::string_view text, const ArraySource& source,
                                       std::size_t keep, std::size_t stop, std::ostream& err) {
    if (text.size() > kMaxHeldInput) {
        err << "The C text is larger than " << (kMaxHeldInput >> 20)
            << " MiB; dotlane-cli reads C arrays up to that size.\n";
        return std::nullopt;
    }
    ArrayBytes array;
    std::size_t length = 0;
    if (source.head && (array.head = t6963c_head(text, length))) text.remove_prefix(length);
    if (holds_rle_arrays(text)) {
        auto decoded = read_rle_array(text, source, keep, stop, err);
        if (decoded) decoded->head = array.head;
        return decoded;
    }
    ListingRead read = read_c_array(text, source.name, source.words);
    if (read.error) {
        err << *read.error << "\n";
        return std::nullopt;
    }
    array.count = read.bytes.size();
    if (read.bytes.size() > keep) read.bytes.resize(keep);
    array.bytes = std::move(read.bytes);
    return array;
}

} // namespace

} // namespace dotlane
