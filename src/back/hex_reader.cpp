#include "back/hex_reader.h"

#include "shared/text.h"

namespace dotlane {

namespace {

// A bad entry is shown as written, up to this many characters.
constexpr std::size_t kShownEntry = 24;

bool is_hex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return (c | 0x20) - 'a' + 10;
}

} // namespace

ListingReader::ListingReader(std::size_t max_entries, std::size_t max_gap, std::size_t keep)
    : max_entries_(max_entries), max_gap_(max_gap), keep_(keep) {
    done_ = max_entries_ == 0;
}

void ListingReader::fail(std::string text) {
    read_.error_line = line_;
    read_.error_text = std::move(text);
    read_.error = "Line " + std::to_string(line_) + " holds \"" + read_.error_text +
                  "\", which is not a byte: write each byte as 0x followed by one or two hex "
                  "digits, for example 0x0F.";
    read_.bytes.clear();
    read_.bytes.shrink_to_fit();
    done_ = true;
}

// The entry ends here: it is a byte only as one or two hex digits after "0x".
void ListingReader::settle_entry() {
    state_ = State::kText;
    const std::size_t digits = entry_.size() - 2;
    if (digits == 0 || digits > 2 || !is_hex(entry_[2]) || (digits == 2 && !is_hex(entry_[3]))) {
        fail(entry_);
        return;
    }
    int value = hex_value(entry_[2]);
    if (digits == 2) value = value * 16 + hex_value(entry_[3]);
    if (read_.count++ < keep_) read_.bytes.push_back(std::uint8_t(value));
    gap_ = 0;
    if (read_.count >= max_entries_) done_ = true;
}

void ListingReader::step(char c) {
    if (state_ == State::kEntry) {
        if (is_word_char(c)) {
            entry_ += c;
            // Already no byte; the shown text is complete.
            if (entry_.size() >= kShownEntry) fail(entry_);
            return;
        }
        settle_entry();
        if (done_) return;
    } else if (state_ == State::kZero) {
        state_ = State::kText;
        if (c == 'x' || c == 'X') {
            entry_ = "0";
            entry_ += c;
            state_ = State::kEntry;
            return;
        }
    }
    // "0x" counts only where a word starts, so "240x128" in a comment is no entry.
    if (c == '0' && !after_word_) state_ = State::kZero;
    // "\r\n" is one line end, and so is a "\r" or a "\n" alone.
    if (c == '\n' && !after_cr_) ++line_;
    if (c == '\r') ++line_;
    after_cr_ = c == '\r';
    after_word_ = is_word_char(c);
}

bool ListingReader::feed(std::string_view piece) {
    for (std::size_t i = 0; i < piece.size() && !done_; ++i) {
        step(piece[i]);
        if (++gap_ > max_gap_ && !done_) {
            gap_too_long_ = done_ = true;
            read_.bytes.clear();
        }
    }
    return !done_;
}

void ListingReader::finish() {
    if (!done_ && state_ == State::kEntry) settle_entry();
    done_ = true;
}

ListingRead read_listing(std::string_view text) {
    ListingReader reader;
    reader.feed(text);
    reader.finish();
    return reader.take();
}

} // namespace dotlane
