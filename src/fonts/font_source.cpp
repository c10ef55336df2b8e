// Fonts read from C source. Only what the declarations need is tokenised: names, numbers
// (with a sign), string literals decoded to bytes, and punctuation; comments, character
// literals and preprocessor lines are skipped, so a comment such as // 0x7B '{' closes no
// brace.
#include <cstdlib>

#include "fonts/font_sheet.h"

namespace dotlane::fonts {

namespace {

struct Token {
    enum Kind { name, number, string, punct } kind;
    std::string text; // a name, punctuation, or a string's bytes
    long long value = 0;
};

std::optional<long long> literal_value(std::string text) {
    std::erase(text, '\'');
    while (!text.empty() &&
           (text.back() == 'u' || text.back() == 'U' || text.back() == 'l' || text.back() == 'L'))
        text.pop_back();
    int base = 10;
    std::size_t from = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        base = 16, from = 2;
    else if (text.size() > 2 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B'))
        base = 2, from = 2;
    else if (text.size() > 1 && text[0] == '0')
        base = 8, from = 1;
    if (from >= text.size() || text.size() - from > 18) return std::nullopt;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str() + from, &end, base);
    if (*end) return std::nullopt;
    return value;
}

// The bytes of a string literal from just after its quote; `i` ends after the closing one.
std::optional<std::string> string_bytes(std::string_view t, std::size_t& i) {
    std::string bytes;
    const auto digit = [&](char c, int base) {
        const int v = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : 99;
        return v < base ? v : -1;
    };
    while (i < t.size() && t[i] != '"') {
        if (t[i] == '\n') return std::nullopt;
        if (t[i] != '\\') {
            bytes += t[i++];
            continue;
        }
        if (++i >= t.size()) return std::nullopt;
        const char c = t[i++];
        int value = 0, digits = 0;
        if (c == 'x') {
            for (; i < t.size() && digit(t[i], 16) >= 0; ++i, ++digits)
                if ((value = value * 16 + digit(t[i], 16)) > 255) return std::nullopt;
            if (!digits) return std::nullopt;
        } else if (digit(c, 8) >= 0) {
            value = digit(c, 8);
            for (; i < t.size() && digits < 2 && digit(t[i], 8) >= 0; ++i, ++digits)
                value = value * 8 + digit(t[i], 8);
            if (value > 255) return std::nullopt;
        } else {
            const std::string_view from = "abfnrtv\\'\"?", to = "\a\b\f\n\r\t\v\\'\"?";
            const auto at = from.find(c);
            if (at == from.npos) return std::nullopt;
            value = static_cast<unsigned char>(to[at]);
        }
        bytes += char(value);
    }
    if (i >= t.size()) return std::nullopt;
    ++i;
    return bytes;
}

std::variant<std::vector<Token>, std::string> tokens_of(std::string_view t) {
    std::vector<Token> tokens;
    bool line_start = true;
    const auto word_char = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    };
    for (std::size_t i = 0; i < t.size();) {
        const char c = t[i];
        if (c == '\n') {
            line_start = true, ++i;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
            continue;
        }
        if (t.substr(i, 2) == "//" || (line_start && c == '#')) {
            while (i < t.size() && t[i] != '\n')
                i += t[i] == '\\' ? 2 : 1;
            continue;
        }
        line_start = false;
        if (t.substr(i, 2) == "/*") {
            const auto end = t.find("*/", i + 2);
            if (end == t.npos) return std::string("a comment is not closed");
            i = end + 2;
        } else if (c == '\'') {
            for (++i; i < t.size() && t[i] != '\'' && t[i] != '\n'; i += t[i] == '\\' ? 2 : 1) {
            }
            ++i;
        } else if (c == '"') {
            auto bytes = string_bytes(t, ++i);
            if (!bytes) return std::string("a string literal is not one C reads");
            tokens.push_back({Token::string, std::move(*bytes)});
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            const std::size_t from = i;
            while (i < t.size() && (word_char(t[i]) || t[i] == '\''))
                ++i;
            const auto value = literal_value(std::string(t.substr(from, i - from)));
            if (!value) return "\"" + std::string(t.substr(from, i - from)) + "\" is no number";
            tokens.push_back({Token::number, {}, *value});
        } else if (word_char(c)) {
            const std::size_t from = i;
            while (i < t.size() && word_char(t[i]))
                ++i;
            tokens.push_back({Token::name, std::string(t.substr(from, i - from))});
        } else {
            tokens.push_back({Token::punct, std::string(1, c)});
            ++i;
        }
    }
    return tokens;
}

using Tokens = std::vector<Token>;

bool is(const Token& t, Token::Kind kind, std::string_view text) {
    return t.kind == kind && t.text == text;
}

// The tokens between the braces (or the string literals) after the "=" that follows a
// declaration of `name` from `from` on; empty when there is none.
std::optional<Tokens> initialiser(const Tokens& tokens, std::string_view name) {
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (!is(tokens[i], Token::name, name)) continue;
        std::size_t j = i + 1;
        while (j < tokens.size() && !is(tokens[j], Token::punct, "=") &&
               !is(tokens[j], Token::punct, ";") && !is(tokens[j], Token::punct, ","))
            ++j;
        if (j + 1 >= tokens.size() || !is(tokens[j], Token::punct, "=")) continue;
        Tokens inside;
        if (tokens[j + 1].kind == Token::string) {
            for (std::size_t k = j + 1; k < tokens.size() && tokens[k].kind == Token::string; ++k)
                inside.push_back(tokens[k]);
            return inside;
        }
        if (!is(tokens[j + 1], Token::punct, "{")) continue;
        int depth = 0;
        for (std::size_t k = j + 1; k < tokens.size(); ++k) {
            depth += is(tokens[k], Token::punct, "{") - is(tokens[k], Token::punct, "}");
            if (depth == 0) return inside;
            if (k > j + 1) inside.push_back(tokens[k]);
        }
        return std::nullopt;
    }
    return std::nullopt;
}

// The numbers of an initialiser, a "-" before one negating it.
std::vector<long long> numbers(const Tokens& inside) {
    std::vector<long long> found;
    for (std::size_t i = 0; i < inside.size(); ++i)
        if (inside[i].kind == Token::number)
            found.push_back(i && is(inside[i - 1], Token::punct, "-") ? -inside[i].value
                                                                      : inside[i].value);
    return found;
}

// The name declared after each `type` name: "GFXfont Sans9pt PROGMEM" gives Sans9pt.
std::vector<std::string> declared(const Tokens& tokens, std::string_view type) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i)
        if (is(tokens[i], Token::name, type) && tokens[i + 1].kind == Token::name)
            names.push_back(tokens[i + 1].text);
    return names;
}

std::variant<SourceFont, std::string> gfx_font(const Tokens& tokens, const std::string& name) {
    const auto fields = initialiser(tokens, name);
    if (!fields) return "the GFXfont " + name + " has no initialiser";
    // Each field's last name or number: the bitmap, the glyphs, first, last, yAdvance.
    std::vector<Token> last(1, Token{Token::punct, ""});
    for (const Token& t : *fields)
        if (is(t, Token::punct, ","))
            last.push_back({Token::punct, ""});
        else if (t.kind != Token::punct)
            last.back() = t;
    if (last.size() < 5 || last[0].kind != Token::name || last[1].kind != Token::name ||
        last[2].kind != Token::number || last[3].kind != Token::number ||
        last[4].kind != Token::number)
        return "the GFXfont " + name + " is not {bitmap, glyphs, first, last, yAdvance}";
    GfxFont font;
    const long long first = last[2].value, end = last[3].value;
    if (first < 0 || end < first || end > 0xFFFF || last[4].value < 0 || last[4].value > 255)
        return "the GFXfont " + name + "'s first, last or yAdvance is out of its field";
    font.first = std::uint16_t(first), font.last = std::uint16_t(end);
    font.y_advance = std::uint8_t(last[4].value);
    const auto bitmap = initialiser(tokens, last[0].text);
    const auto glyphs = initialiser(tokens, last[1].text);
    if (!bitmap || !glyphs)
        return "the arrays " + last[0].text + " and " + last[1].text + " that " + name +
               " names are not both declared here";
    for (const long long b : numbers(*bitmap)) {
        if (b < 0 || b > 255) return last[0].text + " holds " + std::to_string(b) + ", no byte";
        font.bitmap.push_back(std::uint8_t(b));
    }
    const auto g = numbers(*glyphs);
    const std::size_t count = std::size_t(end - first + 1);
    if (g.size() != count * 6)
        return last[1].text + " holds " + std::to_string(g.size() / 6) + " glyphs where " + name +
               " reads " + std::to_string(count) + " (" + std::to_string(first) + " to " +
               std::to_string(end) + ")";
    for (std::size_t i = 0; i < count; ++i) {
        const long long* f = &g[i * 6];
        const bool fits = f[0] >= 0 && f[0] <= 0xFFFF && f[1] >= 0 && f[1] <= 255 && f[2] >= 0 &&
                          f[2] <= 255 && f[3] >= 0 && f[3] <= 255 && f[4] >= -128 && f[4] <= 127 &&
                          f[5] >= -128 && f[5] <= 127;
        const std::size_t bytes = std::size_t((f[1] * f[2] + 7) / 8);
        if (!fits || (bytes && std::size_t(f[0]) + bytes > font.bitmap.size()))
            return "glyph " + std::to_string(first + long(i)) + " of " + last[1].text +
                   " lies outside its fields or past the end of " + last[0].text;
        font.glyphs.push_back({std::uint16_t(f[0]), std::uint8_t(f[1]), std::uint8_t(f[2]),
                               std::uint8_t(f[3]), std::int8_t(f[4]), std::int8_t(f[5])});
    }
    return SourceFont{name, std::move(font), {}};
}

} // namespace

std::variant<SourceFont, std::string> find_source_font(std::string_view text,
                                                       std::optional<std::string_view> name) {
    auto read = tokens_of(text);
    if (const auto* problem = std::get_if<std::string>(&read)) return *problem;
    const Tokens& tokens = std::get<Tokens>(read);
    for (const std::string& gfx : declared(tokens, "GFXfont"))
        if (!name || gfx == *name) return gfx_font(tokens, gfx);
    // u8g2's fonts are the arrays declared in U8G2_FONT_SECTION.
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (!is(tokens[i], Token::name, "U8G2_FONT_SECTION")) continue;
        std::size_t n = i;
        while (n > 0 && tokens[n].kind != Token::name)
            --n;
        while (n > 0 && !(tokens[n].kind == Token::name && is(tokens[n + 1], Token::punct, "[")))
            --n;
        if (name && tokens[n].text != *name) continue;
        const auto inside = initialiser(tokens, tokens[n].text);
        if (!inside) return "the u8g2 font " + tokens[n].text + " has no initialiser";
        SourceFont font{tokens[n].text, std::nullopt, {}};
        for (const Token& t : *inside)
            if (t.kind == Token::string)
                font.u8g2.insert(font.u8g2.end(), t.text.begin(), t.text.end());
        for (const long long b : numbers(*inside)) {
            if (b < 0 || b > 255) return font.name + " holds " + std::to_string(b) + ", no byte";
            font.u8g2.push_back(std::uint8_t(b));
        }
        return font;
    }
    return name ? "no GFXfont or u8g2 font named " + std::string(*name) + " is declared here"
                : std::string("no GFXfont and no u8g2 font (an array in U8G2_FONT_SECTION) "
                              "is declared here");
}

} // namespace dotlane::fonts
