#include "declare/c_array.h"

#include <algorithm>
#include <cstring>

#include "layout/colour_layouts.h"
#include "shared/entries.h"
#include "shared/text.h"

namespace dotlane {

namespace {

// The keywords of C23 and C++23 and C++'s alternative tokens, which cannot name the array
// in either language; the underscore-and-capital ones of C (_Bool, _BitInt...) fall under
// the reserved names. "main" would clash with the program, and "linux" and "unix" are
// macros of the GNU dialects, the compilers' default.
constexpr std::string_view kRefused =
    " "
    "alignas alignof and and_eq asm auto bitand bitor bool break case catch char "
    "char8_t char16_t char32_t class compl concept const consteval constexpr constinit "
    "const_cast continue co_await co_return co_yield decltype default delete do double "
    "dynamic_cast else enum explicit export extern false float for friend goto if "
    "inline int long mutable namespace new noexcept not not_eq nullptr operator or "
    "or_eq private protected public register reinterpret_cast requires restrict return "
    "short signed sizeof static static_assert static_cast struct switch template this "
    "thread_local throw true try typedef typeid typename typeof typeof_unqual union "
    "unsigned using virtual void volatile wchar_t while xor xor_eq main linux unix ";

bool is_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// The last part of the path, made safe inside a C comment: printable ASCII without "*" or
// "\", and no "0x" where a word starts.
std::string comment_safe_name(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string safe;
    for (std::size_t i = 0; i < base.size(); ++i) {
        const char c = base[i];
        const bool printable = c >= ' ' && c <= '~' && c != '*' && c != '\\';
        safe += printable ? c : '_';
        const bool word_start = i == 0 || !is_word_char(base[i - 1]);
        if (c == '0' && word_start && i + 1 < base.size() && (base[i + 1] | 0x20) == 'x')
            safe += '_';
    }
    return safe;
}

} // namespace

std::optional<std::string> c_name_problem(std::string_view name) {
    const std::string quoted = "\"" + std::string(name) + "\"";
    if (name.empty() || !is_letter(name[0]) || !std::all_of(name.begin(), name.end(), is_word_char))
        return "--c-array needs a C identifier (a letter or \"_\", then letters, digits or "
               "\"_\"); " +
               quoted + " is not one";
    if (kRefused.find(" " + std::string(name) + " ") != std::string_view::npos)
        return "--c-array needs a C identifier; " + quoted +
               " is a keyword of C or C++ or would clash with the program";
    // Reserved for the compiler and its library in both languages. A final "_" would make
    // NAME_width hold "__".
    if ((name[0] == '_' && name.size() > 1 && name[1] >= 'A' && name[1] <= 'Z') ||
        name.find("__") != std::string_view::npos || name.back() == '_')
        return "--c-array needs a C identifier; " + quoted +
               " is reserved (it begins with \"_\" and a capital, holds \"__\" or ends with "
               "\"_\", here or in " +
               std::string(name) + "_width)";
    return std::nullopt;
}

std::vector<std::string> comment_lines(const CArray& a) {
    std::vector<std::string> lines = {
        comment_safe_name(a.source) + ", " + std::to_string(a.file_size) +
            " bytes: " + std::to_string(a.width) + " x " + std::to_string(a.height) + " pixels",
        "layout " + a.layout + ": " + a.layout_description,
        std::string("a set bit is a ") + (a.invert ? "light" : "dark") + " pixel"};
    if (a.levels) lines.pop_back();
    if (a.target) {
        std::string reader(a.target->reader);
        for (auto at = reader.find("NAME"); at != std::string::npos; at = reader.find("NAME", at))
            reader.replace(at, 4, a.name);
        lines.push_back("for " + std::string(a.target->name) + ": " + reader);
        lines.push_back(a.target->colour_layout.empty() ||
                                a.target->colour_layout.starts_with("planes") ||
                                a.target->colour_layout == "a1"
                            ? "on the glass a set bit " + std::string(a.target->set_bit)
                            : "on the glass each value " + std::string(a.target->set_bit));
    }
    return lines;
}

std::string c_comment(const CArray& a, const std::vector<std::string>& more) {
    std::vector<std::string> lines = comment_lines(a);
    lines.insert(lines.end(), more.begin(), more.end());
    std::string text = "/* ";
    for (const std::string& line : lines)
        text += (text.size() > 3 ? "\n * " : "") + line;
    return text + " */\n";
}

namespace {

// With a flush, the text is handed on whenever it reaches this size, at a line's start.
constexpr std::size_t kHeldText = std::size_t(1) << 20;

} // namespace

void reserve_for(std::string& text, std::size_t wanted, const Flush& flush) {
    text.reserve(text.size() + (flush ? std::min(wanted, kHeldText + 256) : wanted));
}

void flush_at_line(std::string& text, const Flush& flush) {
    if (flush && text.size() >= kHeldText) flush(text);
}

// Lines of `per_line` entries, each `width` characters that `write` puts at its pointer, a
// space between them. A line is sized once and written in place: appended an entry at a time,
// a large array's text took longer to make than its bytes.
template <class Write>
static void append_lines(std::string& text, std::size_t count, std::size_t per_line,
                         std::size_t width, const Flush& flush, const Write& write) {
    reserve_for(text, count * (width + 1) + count / per_line * 4 + 8, flush);
    for (std::size_t first = 0; first < count; first += per_line) {
        flush_at_line(text, flush);
        const std::size_t n = std::min(per_line, count - first);
        const std::size_t at = text.size();
        text.resize(at + 4 + n * (width + 1));
        char* out = text.data() + at;
        std::memcpy(out, "\n    ", 5);
        out += 5;
        for (std::size_t i = 0; i < n; ++i, out += width + 1) {
            write(out, first + i);
            if (i + 1 < n) out[width] = ' ';
        }
    }
    text += "\n";
}

void append_byte_lines(std::string& text, std::span<const std::uint8_t> bytes, const Flush& flush) {
    append_lines(text, bytes.size(), 16, kEntryWidth, flush, [&](char* out, std::size_t i) {
        std::memcpy(out, entry(bytes[i]).data(), kEntryWidth);
    });
}

// Each two bytes, low byte first, as one 16-bit entry "0x1234,", 12 a line.
static void append_word_lines(std::string& text, std::span<const std::uint8_t> bytes,
                              const Flush& flush) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    append_lines(text, bytes.size() / 2, 12, 7, flush, [&](char* out, std::size_t i) {
        const unsigned word = unsigned(bytes[2 * i + 1]) << 8 | bytes[2 * i];
        out[0] = '0', out[1] = 'x', out[6] = ',';
        for (int k = 0; k < 4; ++k)
            out[2 + k] = kDigits[word >> (12 - 4 * k) & 15];
    });
}

// The LVGL descriptor after its NAME_map: version 9's header holds a magic byte and the row's
// bytes (stride), version 8's a field kept zero.
static std::string lvgl_descriptor(const CArray& a) {
    const Target& t = *a.target;
    const std::string size = std::to_string(a.bytes.size());
    const std::string head = "    .header.";
    std::string text = "\n" +
                       std::string(t.lvgl == 9 ? "const lv_image_dsc_t " : "const lv_img_dsc_t ") +
                       a.name + " = {\n";
    if (t.lvgl == 9) text += head + "magic = LV_IMAGE_HEADER_MAGIC,\n";
    text += head + "cf = " + std::string(t.lvgl_format) + ",\n";
    text += t.lvgl == 9 ? head + "flags = 0,\n"
                        : head + "always_zero = 0,\n" + head + "reserved = 0,\n";
    text += head + "w = " + std::to_string(a.width) + ",\n" + head +
            "h = " + std::to_string(a.rows) + ",\n";
    // A plane of alpha after the colours (RGB565A8) is not counted: the stride is the colours'.
    const ColourLayout* colour = colour_layout_named(a.layout);
    const std::size_t stride = colour   ? colour_row_bytes(*colour, a.width)
                               : a.rows ? a.bytes.size() / std::size_t(a.rows)
                                        : 0;
    if (t.lvgl == 9) text += head + "stride = " + std::to_string(stride) + ",\n";
    text += "    .data_size = " + size + ",\n    .data = " + a.name + "_map,\n};\n";
    return text;
}

// Appended to `text` in place: an array of 16 million entries is a text of about 100 MB,
// which a copy would double.
void append_c_declaration(std::string& text, const CArray& a, const CFlavour& flavour,
                          const Flush& flush) {
    if (a.target && a.target->lvgl && a.levels) {
        text += c_comment(a) + "#include \"lvgl.h\"\n";
        text += "#define " + a.name + "_width " + std::to_string(a.width) + "\n";
        text += "#define " + a.name + "_height " + std::to_string(a.rows) + "\n";
        text += "const uint8_t " + a.name + "_map[] = {";
        append_byte_lines(text, a.bytes, flush);
        text += "};\n";
        text += lvgl_descriptor(a);
        return;
    }
    const bool plain = flavour.include.empty();
    text +=
        c_comment(a) + std::string(a.words && plain ? "#include <stdint.h>\n" : flavour.include);
    text += "#define " + a.name + "_width " + std::to_string(a.width) + "\n";
    text += "#define " + a.name + "_height " + std::to_string(a.rows) + "\n";
    text += std::string(a.words ? "const uint16_t" : flavour.type) + " " + a.name + "[]" +
            std::string(flavour.attribute) + " = {";
    if (a.words)
        append_word_lines(text, a.bytes, flush);
    else
        append_byte_lines(text, a.bytes, flush);
    text += "};\n";
}

std::string c_declaration(const CArray& a, const CFlavour& flavour) {
    std::string text;
    append_c_declaration(text, a, flavour);
    return text;
}

std::string c_array_text(const CArray& a) {
    return c_declaration(a, kPlainC);
}

} // namespace dotlane
