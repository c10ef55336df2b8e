#include "back/c_reader.h"

#include "shared/text.h"

namespace dotlane {

namespace {

// Longer words are shown cut, as the listing reader shows them.
constexpr std::size_t kShownWord = 24;

int digit_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// The value of one literal, or nullopt when it is none; values over 0xFFFF are kept at
// 0x10000.
std::optional<unsigned> literal_value(std::string_view word) {
    while (!word.empty() && ((word.back() | 0x20) == 'u' || (word.back() | 0x20) == 'l'))
        word.remove_suffix(1);
    unsigned base = 10;
    if (word.size() > 2 && word[0] == '0' && (word[1] | 0x20) == 'x') {
        base = 16, word.remove_prefix(2);
    } else if (word.size() > 2 && word[0] == '0' && (word[1] | 0x20) == 'b') {
        base = 2, word.remove_prefix(2);
    } else if (word.size() > 1 && word.size() <= 9 && word[0] == 'B') { // Arduino's B01010101
        // These are names the Arduino headers define, one for each byte: no separators.
        if (word.find('\'') != std::string_view::npos) return std::nullopt;
        base = 2, word.remove_prefix(1);
    } else if (word.size() > 1 && word[0] == '0') {
        base = 8;
    }
    // A separator stands between two digits, never after the prefix, at the end or doubled.
    if (word.empty() || word.front() == '\'' || word.back() == '\'' ||
        word.find("''") != std::string_view::npos)
        return std::nullopt;
    unsigned value = 0;
    for (char c : word) {
        if (c == '\'') continue;
        const int digit = digit_value(c);
        if (digit >= int(base)) return std::nullopt;
        value = std::min(value * base + unsigned(digit), 0x10000u);
    }
    return value;
}

class Scanner {
public:
    Scanner(std::string_view text, std::optional<std::string_view> name, bool words)
        : text_(text), name_(name), words_(words) {}

    ListingRead run() {
        const bool bare = !name_ && text_.find('{') == std::string_view::npos;
        depth_ = bare ? 1 : 0;
        while (at_ < text_.size() && !read_.error) {
            if (skip_gap()) continue;
            if (depth_ == 0)
                outside();
            else
                inside();
            if (finished_) return std::move(read_);
        }
        // An initialiser cut short at the end of the text keeps the bytes it holds.
        if (!read_.error && !bare && depth_ == 0)
            read_.error = name_ ? "Found no array named " + std::string(*name_) +
                                      " with an initialiser { ... } in the text."
                                : std::string("Found no C array initialiser { ... } in the text.");
        return std::move(read_);
    }

private:
    // Skips a line end, a space, a comment, a string or a preprocessor line; false at a token.
    bool skip_gap() {
        const char c = text_[at_];
        if (c == '\n' || (c == '\r' && next() != '\n')) {
            ++line_, ++at_, line_start_ = true;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++at_;
        } else if (c == '/' && next() == '/') {
            while (at_ < text_.size() && text_[at_] != '\n' && text_[at_] != '\r')
                ++at_;
        } else if (c == '/' && next() == '*') {
            at_ += 2;
            while (at_ < text_.size() && !(text_[at_] == '*' && next() == '/'))
                count_line(text_[at_++]);
            at_ += 2;
        } else if ((c == '"' || c == '\'') && depth_ == 0) {
            for (++at_; at_ < text_.size() && text_[at_] != c && text_[at_] != '\n'; ++at_)
                if (text_[at_] == '\\') ++at_;
            ++at_;
        } else if (c == '#' && line_start_ && depth_ == 0) {
            while (at_ < text_.size() && text_[at_] != '\n' && text_[at_] != '\r')
                at_ += text_[at_] == '\\' ? 2 : 1;
        } else {
            line_start_ = false;
            return false;
        }
        return true;
    }

    void outside() {
        const char c = text_[at_];
        if (is_word_char(c)) {
            const std::string_view word = take_word();
            if (!seen_bracket_) declared_ = word;
            last_ = 'w';
            return;
        }
        ++at_;
        if (c == '[') seen_bracket_ = true;
        // A brace list that opens a statement is an initialiser pasted alone.
        const bool alone = last_ == ';' && !name_;
        if (c == '{' &&
            (alone || (last_ == '=' && seen_bracket_ && (!name_ || declared_ == *name_)))) {
            depth_ = 1;
            return;
        }
        if (c == ';' || c == '{' || c == '}') seen_bracket_ = false, declared_ = {};
        last_ = c;
    }

    void inside() {
        const char c = text_[at_];
        if (c == '{') {
            ++depth_, ++at_;
        } else if (c == '}') {
            ++at_;
            finished_ = --depth_ == 0;
        } else if (c == ',') {
            ++at_;
        } else if (is_word_char(c)) {
            const std::string_view word = take_word();
            const auto value = literal_value(word);
            if (!value)
                fail(word, "which is not a byte: write each as a C literal, such as 0x3C, 60 or "
                           "0b00111100");
            else if (words_ && *value <= 0xFFFF)
                read_.bytes.insert(read_.bytes.end(),
                                   {std::uint8_t(*value & 0xFF), std::uint8_t(*value >> 8)});
            else if (*value > 255)
                fail(word, words_ ? "which is over 0xFFFF, the largest 16-bit entry"
                                  : "which is over 255, the largest byte");
            else
                read_.bytes.push_back(std::uint8_t(*value));
        } else {
            fail(text_.substr(at_, 1), "where a byte should stand");
        }
    }

    std::string_view take_word() {
        const std::size_t start = at_;
        while (at_ < text_.size() && (is_word_char(text_[at_]) || text_[at_] == '\''))
            ++at_;
        return text_.substr(start, at_ - start);
    }

    void fail(std::string_view word, const char* why) {
        read_.error_line = line_;
        read_.error_text = std::string(word.substr(0, kShownWord));
        read_.error =
            "Line " + std::to_string(line_) + " holds \"" + read_.error_text + "\", " + why + ".";
        read_.bytes.clear();
    }

    char next() const { return at_ + 1 < text_.size() ? text_[at_ + 1] : '\0'; }
    void count_line(char c) {
        if (c == '\n' || (c == '\r' && (at_ >= text_.size() || text_[at_] != '\n'))) ++line_;
    }

    std::string_view text_;
    std::optional<std::string_view> name_;
    std::string_view declared_; // the name before the first "[" of the declaration
    ListingRead read_;
    std::size_t at_ = 0;
    int depth_ = 0, line_ = 1;
    char last_ = ';';
    bool seen_bracket_ = false, line_start_ = true, finished_ = false;
    bool words_ = false;
};

} // namespace

ListingRead read_c_array(std::string_view text, std::optional<std::string_view> name, bool words) {
    return Scanner(text, name, words).run();
}

} // namespace dotlane
