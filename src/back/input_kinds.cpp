#include "back/input_kinds.h"

#include <array>
#include <ostream>
#include <vector>

#include "back/c_reader.h"
#include "shared/text.h"

namespace dotlane {

namespace {

std::string input_name(const ArraySource& source) {
    return source.path == "-" ? "the standard input" : quoted_name(source.path);
}

// The macros NAME_decoded_size that convert writes before each compressed array, in order.
std::vector<std::pair<std::string, std::size_t>> decoded_sizes(std::string_view text) {
    constexpr std::string_view kDefine = "#define ", kSuffix = "_decoded_size";
    std::vector<std::pair<std::string, std::size_t>> found;
    for (std::size_t at = text.find(kDefine); at != std::string_view::npos;
         at = text.find(kDefine, at + 1)) {
        std::size_t end = at + kDefine.size();
        while (end < text.size() && is_word_char(text[end]))
            ++end;
        const std::string_view word = text.substr(at + kDefine.size(), end - at - kDefine.size());
        if (word.size() <= kSuffix.size() || !word.ends_with(kSuffix)) continue;
        const std::size_t line_end = text.find_first_of("\r\n", end);
        const auto size = whole_number(text.substr(end, line_end - end));
        if (size) found.emplace_back(word.substr(0, word.size() - kSuffix.size()), *size);
    }
    return found;
}

// The decoder's format (rle_decoder.c): a flag byte, 0 for stored bytes, 1 for pieces each
// opened by a control byte. Bytes past `keep` are counted only, and decoding stops at `stop`,
// so a run-filled array costs no more memory than the picture.
struct Decoded {
    std::vector<std::uint8_t> bytes;
    std::size_t count = 0;
    bool foreign = false; // a flag byte other than 0 and 1
    bool cut = false;     // a piece that the data ends inside
};

Decoded rle_decode(const std::vector<std::uint8_t>& data, std::size_t keep, std::size_t stop) {
    Decoded out;
    auto put = [&](std::uint8_t b) {
        if (out.bytes.size() < keep) out.bytes.push_back(b);
        ++out.count;
    };
    if (data.empty()) return out;
    if (data[0] > 1) {
        out.foreign = true;
        return out;
    }
    for (std::size_t i = 1; i < data.size() && out.count < stop;) {
        if (data[0] == 0) {
            put(data[i++]);
            continue;
        }
        const unsigned c = data[i++], n = (c & 0x3Fu) + 1;
        if (c < 0x40) {
            out.cut = i + n > data.size();
            for (unsigned k = 0; k < n && i < data.size() && out.count < stop; ++k)
                put(data[i++]);
            continue;
        }
        if (c >= 0xC0 && i == data.size()) {
            out.cut = true;
            break;
        }
        const std::uint8_t value = c < 0x80 ? 0x00 : c < 0xC0 ? 0xFF : data[i++];
        for (unsigned k = 0; k < n + (c >= 0xC0 ? 2 : 0) && out.count < stop; ++k)
            put(value);
    }
    return out;
}

} // namespace

std::optional<std::string> picture_kind(std::string_view start) {
    static constexpr std::array<std::pair<std::string_view, const char*>, 8> kSignatures = {{
        {"\x89PNG\r\n\x1a\n", "a PNG picture"},
        {"GIF87a", "a GIF picture"},
        {"GIF89a", "a GIF picture"},
        {"\xFF\xD8\xFF", "a JPEG picture"},
        {"BM", "a BMP picture"},
        {"II*", "a TIFF picture"},
        {"MM\0*", "a TIFF picture"},
        {"RIFF", "a RIFF file (a WebP picture?)"},
    }};
    for (const auto& [signature, kind] : kSignatures)
        if (start.starts_with(signature) && start.size() >= 14) return kind;
    // Netpbm: P1 to P6 and a blank.
    if (start.size() > 2 && start[0] == 'P' && start[1] >= '1' && start[1] <= '6' &&
        (start[2] == '\n' || start[2] == ' ' || start[2] == '\r' || start[2] == '\t'))
        return "a Netpbm picture";
    return std::nullopt;
}

std::string picture_given(const ArraySource& source, const std::string& kind) {
    std::string text = input_name(source) + " is " + kind + ", and " + source.command +
                       " reads arrays of bytes (0x.. listings, C arrays, raw bytes)";
    if (source.command == std::string("check"))
        return text + ": check takes the picture first, then the array";
    const std::string file = source.path == "-" ? std::string("PICTURE") : shell_word(source.path);
    return text + "; convert lists a picture's bytes: dotlane-cli convert --layout rows-msb " +
           file;
}

std::string no_entry_found(const ArraySource& source, std::string_view start, bool whole) {
    std::string text = "found no 0x.. entry in " + input_name(source);
    const ListingRead c = read_c_array(start);
    if (!c.error && !c.bytes.empty()) {
        text += ", but " + std::string(whole ? "" : "at least ") + std::to_string(c.bytes.size()) +
                " C literals (decimal, octal or binary)";
        return text + ": --input c reads them";
    }
    return text + (start.empty() ? ", which is empty" : "") +
           "; --input c reads the literals of a C array (60, 074, 0b00111100), --input bin "
           "raw bytes";
}

bool holds_rle_arrays(std::string_view text) {
    return text.find("DOTLANE_RLE_DECODER") != std::string_view::npos &&
           !decoded_sizes(text).empty();
}

std::optional<ArrayBytes> read_rle_array(std::string_view text, const ArraySource& source,
                                         std::size_t keep, std::size_t stop, std::ostream& err) {
    const auto sizes = decoded_sizes(text);
    std::optional<std::pair<std::string, std::size_t>> chosen;
    for (const auto& entry : sizes)
        if (!chosen && (!source.name || *source.name == entry.first)) chosen = entry;
    ArrayBytes array;
    // A named array without a NAME_decoded_size (frame delays, say) is stored as it is.
    const ListingRead read =
        read_c_array(text, chosen ? std::optional<std::string_view>(chosen->first)
                                  : std::optional<std::string_view>(source.name));
    if (read.error) {
        err << *read.error << "\n";
        return std::nullopt;
    }
    if (!chosen) {
        array.count = std::min(read.bytes.size(), stop);
        array.bytes.assign(read.bytes.begin(),
                           read.bytes.begin() + std::ptrdiff_t(std::min(keep, read.bytes.size())));
        return array;
    }
    Decoded decoded = rle_decode(read.bytes, keep, stop);
    const std::string array_name =
        "The compressed array " + chosen->first + " in " + input_name(source);
    if (decoded.foreign) {
        err << array_name << " does not start with the flag byte 0 or 1 that convert "
            << "--compress rle writes.\n";
        return std::nullopt;
    }
    if (decoded.count < stop && (decoded.cut || decoded.count != chosen->second)) {
        err << array_name << " decodes to " << decoded.count << " bytes"
            << (decoded.cut ? ", its last piece cut short," : "") << " not the " << chosen->second
            << " of " << chosen->first << "_decoded_size.\n";
        return std::nullopt;
    }
    array.bytes = std::move(decoded.bytes);
    array.count = decoded.count;
    return array;
}

} // namespace dotlane
