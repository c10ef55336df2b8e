#include "c_array.h"

#include <algorithm>
#include <array>

#include "import/listings.h"
#include "shared/text.h"

namespace dotlane::cli {

namespace {

constexpr std::array<std::string_view, 54> kKeywords{
    "alignas",       "alignof",   "auto",
    "bool",          "break",     "case",
    "char",          "const",     "constexpr",
    "continue",      "default",   "do",
    "double",        "else",      "enum",
    "extern",        "false",     "float",
    "for",           "goto",      "if",
    "inline",        "int",       "long",
    "nullptr",       "register",  "restrict",
    "return",        "short",     "signed",
    "sizeof",        "static",    "static_assert",
    "struct",        "switch",    "thread_local",
    "true",          "typedef",   "typeof",
    "typeof_unqual", "union",     "unsigned",
    "void",          "volatile",  "while",
    "_Alignas",      "_Alignof",  "_Atomic",
    "_Bool",         "_Complex",  "_Generic",
    "_Imaginary",    "_Noreturn", "_Static_assert",
};

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

std::string c_name_problem(std::string_view name) {
    const std::string quoted = "\"" + std::string(name) + "\"";
    if (name.empty() || !is_letter(name[0]) || !std::all_of(name.begin(), name.end(), is_word_char))
        return "--c-array needs a C identifier (a letter or \"_\", then letters, digits or "
               "\"_\"); " +
               quoted + " is not one";
    if (std::find(kKeywords.begin(), kKeywords.end(), name) != kKeywords.end())
        return "--c-array needs a C identifier; " + quoted + " is a C keyword";
    return {};
}

std::string c_array_text(const CArray& a) {
    std::string text = "/* " + comment_safe_name(a.source) + ", " + std::to_string(a.file_size) +
                       " bytes: " + std::to_string(a.width) + " x " + std::to_string(a.height) +
                       " pixels\n * layout " + a.layout + ": " + a.layout_description +
                       "\n * a set bit is a " + (a.invert ? "light" : "dark") + " pixel */\n";
    text += "#define " + a.name + "_width " + std::to_string(a.width) + "\n";
    text += "#define " + a.name + "_height " + std::to_string(a.rows) + "\n";
    text += "const unsigned char " + a.name + "[] = {";
    const auto& entries = listing_entries();
    for (std::size_t i = 0; i < a.bytes.size(); ++i) {
        text += i % 16 == 0 ? "\n    " : " ";
        text += entries[a.bytes[i]];
    }
    text += "\n};\n";
    return text;
}

} // namespace dotlane::cli
