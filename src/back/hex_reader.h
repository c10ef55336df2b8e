#pragma once
// Reading a pasted page-major listing: the bytes are the entries "0x" (or "0X") followed by
// one or two hex digits, wherever they stand; everything between entries is skipped, so
// any line breaks, spacing, commas, braces or a C declaration around the bytes read alike.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dotlane {

struct ListingRead {
    std::vector<std::uint8_t> bytes;
    std::size_t count = 0;            // the entries read, stored or not
    std::optional<std::string> error; // set when an entry is not a byte
    int error_line = 0;
    std::string error_text;
};

// The listing fed in pieces of any size, so a stream is read without holding it: an entry
// or a line end split between two pieces reads as if whole. Reading stops at `max_entries`
// (what follows is neither stored nor checked), at a bad entry, or when `max_gap` bytes
// have passed without an entry, which ends an endless stream that holds none. Entries past
// `keep` are checked and counted but not stored, so a surplus is measured in no memory.
class ListingReader {
public:
    static constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();
    explicit ListingReader(std::size_t max_entries = kUnlimited, std::size_t max_gap = kUnlimited,
                           std::size_t keep = kUnlimited);

    // Returns false once no more input is wanted.
    bool feed(std::string_view piece);
    // The end of the input: settles an entry that stands at the very end.
    void finish();
    bool done() const { return done_; }
    bool gap_too_long() const { return gap_too_long_; }
    const ListingRead& result() const { return read_; }
    ListingRead take() { return std::move(read_); }

private:
    enum class State { kText, kZero, kEntry };
    void settle_entry();
    void fail(std::string text);
    void step(char c);

    ListingRead read_;
    std::size_t max_entries_, max_gap_, keep_, gap_ = 0;
    State state_ = State::kText;
    std::string entry_; // "0x" and the word characters after it, as many as a message shows
    bool after_word_ = false, after_cr_ = false, done_ = false, gap_too_long_ = false;
    int line_ = 1;
};

ListingRead read_listing(std::string_view text);

} // namespace dotlane
