#include "u8g2_font.h"

#include <algorithm>
#include <cstdio>

#include "characters.h"

namespace dotlane::fonts {

namespace {

constexpr std::size_t kHeader = 23;
// Glyphs past 0xFF a block of the table leads to: the search walks at most this many.
constexpr std::size_t kBlock = 100;
constexpr const char* kTooLarge =
    "the glyphs up to 0xFF pass the 65535 bytes u8g2's offsets reach: give fewer characters "
    "or a smaller --size";

// Bits from bit 0 of each byte up, as the decoder takes them.
class BitWriter {
public:
    void put(unsigned value, int count) {
        for (int i = 0; i < count; ++i) {
            if (used_ % 8 == 0) bytes_.push_back(0);
            if ((value >> i) & 1) bytes_.back() = std::uint8_t(bytes_.back() | (1 << (used_ % 8)));
            ++used_;
        }
    }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t used_ = 0;
};

class BitReader {
public:
    // The bits of bytes[at, end), end past the bytes or not.
    BitReader(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t end)
        : bytes_(bytes), at_(at), end_(std::min(end, bytes.size())) {}
    unsigned get(int count) {
        unsigned value = 0;
        for (int i = 0; i < count; ++i, ++bit_) {
            const std::size_t byte = at_ + bit_ / 8;
            if (byte >= end_) {
                overrun_ = true;
                return value;
            }
            value |= unsigned((bytes_[byte] >> (bit_ % 8)) & 1) << i;
        }
        return value;
    }
    int get_signed(int count) { return int(get(count)) - (1 << (count - 1)); }
    // Whether a read asked for bits past the end.
    bool exhausted() const { return overrun_; }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t at_, end_, bit_ = 0;
    bool overrun_ = false;
};

int unsigned_bits(int high) {
    int bits = 1;
    while ((1 << bits) <= high)
        ++bits;
    return bits;
}

int signed_bits(int low, int high) {
    int bits = 1;
    while (low < -(1 << (bits - 1)) || high > (1 << (bits - 1)) - 1)
        ++bits;
    return bits;
}

// The pixels as (clear, set) run pairs, each count within its field.
std::vector<std::pair<int, int>> run_pairs(const Bitmap& bits, int bits0, int bits1) {
    std::vector<std::pair<int, int>> pairs;
    const std::size_t n = bits.bits.size();
    for (std::size_t at = 0; at < n;) {
        int clear = 0, set = 0;
        while (at < n && !bits.bits[at] && clear < (1 << bits0) - 1)
            ++clear, ++at;
        while (at < n && bits.bits[at] && set < (1 << bits1) - 1)
            ++set, ++at;
        pairs.emplace_back(clear, set);
    }
    return pairs;
}

// Stream bits of the runs: a pair, then a 1 for each repeat of it and a closing 0.
std::size_t run_cost(const std::vector<std::pair<int, int>>& pairs, int bits0, int bits1) {
    std::size_t cost = 0;
    for (std::size_t i = 0; i < pairs.size(); ++i)
        cost += i > 0 && pairs[i] == pairs[i - 1] ? 1 : std::size_t(bits0 + bits1 + 1);
    return cost;
}

struct Fields {
    int bits0 = 1, bits1 = 1, w = 1, h = 1, x = 1, y = 1, d = 1;
};

bool inked(const Glyph& g) {
    return g.bits.width > 0 && g.bits.height > 0;
}

// One glyph's record: its code, its length, and the bit stream of its fields and runs.
std::variant<std::vector<std::uint8_t>, std::string> glyph_record(const Glyph& g, const Fields& f) {
    BitWriter stream;
    const bool ink = inked(g);
    const int h = ink ? g.bits.height : 0;
    stream.put(ink ? unsigned(g.bits.width) : 0, f.w);
    stream.put(unsigned(h), f.h);
    stream.put(unsigned((ink ? g.left : 0) + (1 << (f.x - 1))), f.x);
    stream.put(unsigned((ink ? g.top - h : 0) + (1 << (f.y - 1))), f.y);
    stream.put(unsigned(g.advance + (1 << (f.d - 1))), f.d);
    if (ink) {
        const auto pairs = run_pairs(g.bits, f.bits0, f.bits1);
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            if (i == 0 || pairs[i] != pairs[i - 1]) {
                if (i > 0) stream.put(0, 1);
                stream.put(unsigned(pairs[i].first), f.bits0);
                stream.put(unsigned(pairs[i].second), f.bits1);
            } else {
                stream.put(1, 1);
            }
        }
        stream.put(0, 1);
    }
    const std::size_t code_bytes = g.code > 0xFF ? 2 : 1;
    const std::size_t length = code_bytes + 1 + stream.bytes().size();
    if (length > 255)
        return "the glyph for " + code_name(g.code) + " takes " + std::to_string(length) +
               " bytes, more than the 255 of a u8g2 glyph: give a smaller --size";
    std::vector<std::uint8_t> record;
    if (code_bytes == 2) record.push_back(std::uint8_t(g.code >> 8));
    record.push_back(std::uint8_t(g.code));
    record.push_back(std::uint8_t(length));
    record.insert(record.end(), stream.bytes().begin(), stream.bytes().end());
    return record;
}

} // namespace

std::variant<std::vector<std::uint8_t>, std::string> make_u8g2(const GlyphSet& set) {
    if (set.glyphs.empty()) return std::string("no glyph to write");
    if (set.glyphs.back().code > 0xFFFF)
        return "u8g2 codes go up to 0xFFFF, so " + code_name(set.glyphs.back().code) +
               " cannot be drawn";
    Fields f;
    int max_w = 0, max_h = 0, low_x = 0, high_x = 0, low_y = 0, high_y = 0, low_d = 0, high_d = 0;
    int box_left = 127, box_right = -128, box_bottom = 127, box_top = -128;
    for (const Glyph& g : set.glyphs) {
        const int w = inked(g) ? g.bits.width : 0, h = inked(g) ? g.bits.height : 0;
        const int x = inked(g) ? g.left : 0, y = inked(g) ? g.top - h : 0;
        if (w > 255 || h > 255 || x < -128 || x > 127 || y < -128 || y > 127 || g.advance > 127)
            return "the glyph for " + code_name(g.code) +
                   " passes u8g2's fields (width and height up to 255, offsets and advance "
                   "-128 to 127): give a smaller --size";
        max_w = std::max(max_w, w), max_h = std::max(max_h, h);
        low_x = std::min(low_x, x), high_x = std::max(high_x, x);
        low_y = std::min(low_y, y), high_y = std::max(high_y, y);
        low_d = std::min(low_d, g.advance), high_d = std::max(high_d, g.advance);
        if (w) {
            box_left = std::min(box_left, x), box_right = std::max(box_right, x + w);
            box_bottom = std::min(box_bottom, y), box_top = std::max(box_top, y + h);
        }
    }
    f.w = unsigned_bits(max_w), f.h = unsigned_bits(max_h);
    f.x = signed_bits(low_x, high_x), f.y = signed_bits(low_y, high_y);
    f.d = signed_bits(low_d, high_d);
    // The run widths that make the smallest font.
    std::size_t best = SIZE_MAX;
    for (int bits0 = 2; bits0 <= 6; ++bits0)
        for (int bits1 = 1; bits1 <= 5; ++bits1) {
            std::size_t cost = 0;
            for (const Glyph& g : set.glyphs)
                if (inked(g)) cost += run_cost(run_pairs(g.bits, bits0, bits1), bits0, bits1);
            if (cost < best) best = cost, f.bits0 = bits0, f.bits1 = bits1;
        }
    if (box_right < box_left) box_left = box_right = box_bottom = box_top = 0;
    if (box_right - box_left > 127 || box_top - box_bottom > 127)
        return std::string("the glyphs' bounding box passes the 127 pixels of u8g2's header: give "
                           "a smaller --size");

    std::vector<std::uint8_t> font(kHeader, 0);
    const auto at = [&](int code) {
        const Glyph* g = set.find(char32_t(code));
        return g && g->bits.height ? std::pair{g->top, g->top - g->bits.height} : std::pair{0, 0};
    };
    font[0] = std::uint8_t(std::min<std::size_t>(set.glyphs.size(), 255));
    const int fields[] = {0,
                          f.bits0,
                          f.bits1,
                          f.w,
                          f.h,
                          f.x,
                          f.y,
                          f.d,
                          box_right - box_left,
                          box_top - box_bottom,
                          box_left,
                          box_bottom,
                          at('A').first,
                          at('g').second,
                          at('(').first,
                          at('(').second};
    for (int i = 0; i < 16; ++i)
        font[std::size_t(i) + 1] = std::uint8_t(fields[i]);
    const auto offset_field = [&](std::size_t field) {
        const std::size_t offset = font.size() - kHeader;
        font[field] = std::uint8_t(offset >> 8), font[field + 1] = std::uint8_t(offset);
    };
    std::vector<std::vector<std::uint8_t>> high; // the records of codes past 0xFF
    std::vector<char32_t> high_codes;
    bool upper = false, lower = false;
    for (const Glyph& g : set.glyphs) {
        if (!upper && g.code >= 'A') upper = true, offset_field(17);
        if (!lower && g.code >= 'a') lower = true, offset_field(19);
        auto record = glyph_record(g, f);
        if (const auto* problem = std::get_if<std::string>(&record)) return *problem;
        auto& bytes = std::get<std::vector<std::uint8_t>>(record);
        if (g.code > 0xFF) {
            high.push_back(std::move(bytes)), high_codes.push_back(g.code);
            continue;
        }
        font.insert(font.end(), bytes.begin(), bytes.end());
        if (font.size() - kHeader > 0xFFFF) return std::string(kTooLarge);
    }
    if (!upper) offset_field(17);
    if (!lower) offset_field(19);
    font.insert(font.end(), {0, 0}); // the end of the glyphs up to 0xFF
    offset_field(21);
    // The table: for each block of glyphs, how far it starts from the last one (the first
    // from the table) and its last code, the last block's written 0xFFFF to end the search.
    const std::size_t blocks = std::max<std::size_t>(1, (high.size() + kBlock - 1) / kBlock);
    std::size_t step = 4 * blocks;
    for (std::size_t b = 0; b < blocks; ++b) {
        const std::size_t last = std::min(high.size(), (b + 1) * kBlock);
        const unsigned code = b + 1 == blocks ? 0xFFFF : unsigned(high_codes[last - 1]);
        font.insert(font.end(), {std::uint8_t(step >> 8), std::uint8_t(step),
                                 std::uint8_t(code >> 8), std::uint8_t(code)});
        step = 0;
        for (std::size_t i = b * kBlock; i < last; ++i)
            step += high[i].size();
    }
    for (const auto& record : high)
        font.insert(font.end(), record.begin(), record.end());
    font.insert(font.end(), {0, 0});
    return font;
}

std::string u8g2_text(const std::vector<std::uint8_t>& font, const std::string& name,
                      const std::string& about) {
    std::string text = "/* " + about + "\n * u8g2.setFont(" + name +
                       "); u8g2.drawStr(x, baseline, \"...\"), or drawUTF8 past 0x7F */\n"
                       "#include <U8g2lib.h>\n\nconst uint8_t " +
                       name + "[" + std::to_string(font.size()) + "] U8G2_FONT_SECTION(\"" + name +
                       "\") = {";
    for (std::size_t i = 0; i < font.size(); ++i) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "0x%02X", font[i]);
        text += (i % 16 ? ", " : i ? ",\n    " : "\n    ") + std::string(byte);
    }
    return text + "\n};\n";
}

Bitmap draw_u8g2(const std::vector<std::uint8_t>& font, std::u32string_view text,
                 const TextBox& box) {
    Bitmap canvas(box.width, box.height);
    if (font.size() < kHeader) return canvas;
    const auto byte = [&](std::size_t i) { return i < font.size() ? font[i] : 0; };
    const auto word = [&](std::size_t i) { return std::size_t(byte(i) << 8 | byte(i + 1)); };
    const Fields f{byte(2), byte(3), byte(4), byte(5), byte(6), byte(7), byte(8)};
    // Every field of a font this format can hold is 1 to 8 bits wide (a glyph's sizes and
    // places are bytes); wider ones are damage, whose values no int arithmetic would hold.
    for (const int width : {f.bits0, f.bits1, f.w, f.h, f.x, f.y, f.d})
        if (width < 1 || width > 8) return canvas;
    int pen = box.pen;
    for (const char32_t c : text) {
        std::size_t at = kHeader, data = 0, end = 0;
        if (c <= 0xFF) {
            at += c >= 'a' ? word(19) : c >= 'A' ? word(17) : 0;
            for (; at + 1 < font.size() && byte(at + 1) != 0; at += byte(at + 1))
                if (char32_t(byte(at)) == c) {
                    data = at + 2, end = at + byte(at + 1);
                    break;
                }
        } else {
            std::size_t table = kHeader + word(21), last = 0;
            at = table;
            do {
                at += word(table), last = word(table + 2), table += 4;
            } while (last < c && table < font.size());
            for (; at + 2 < font.size() && word(at) != 0;
                 at += std::max<std::size_t>(byte(at + 2), 1))
                if (word(at) == c) {
                    data = at + 3, end = at + byte(at + 2);
                    break;
                }
        }
        if (!data) continue;
        // A glyph's bits end with its record, as its length says.
        BitReader in(font, data, end);
        const int w = int(in.get(f.w)), h = int(in.get(f.h));
        const int x = in.get_signed(f.x), y = in.get_signed(f.y), d = in.get_signed(f.d);
        const int left = pen + x, top = box.baseline - (h + y);
        for (int drawn = 0; w > 0 && drawn < w * h;) {
            const int clear = int(in.get(f.bits0)), set = int(in.get(f.bits1));
            if (in.exhausted()) break;
            do {
                drawn += clear;
                for (int k = 0; k < set && drawn < w * h; ++k, ++drawn)
                    plot(canvas, left + drawn % w, top + drawn / w);
            } while (in.get(1) && drawn < w * h);
        }
        pen += d;
    }
    return canvas;
}

} // namespace dotlane::fonts
