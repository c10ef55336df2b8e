#include "write/depfile.h"

#include "shared/text.h"

namespace dotlane {

namespace {

// What Ninja's parser takes as part of a name unescaped, and Make as well: no wildcard ("*",
// "?", "[") and no "=", which would make the line a variable's. Bytes from 0x80 are UTF-8.
bool plain(char c) {
    static constexpr std::string_view kPlain = "+,/_.~{}@!()-%";
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           static_cast<unsigned char>(c) >= 0x80 || kPlain.find(c) != std::string_view::npos;
}

// Why `path` cannot stand in the rule, if it cannot.
std::optional<std::string> unwritable(const std::string& path, bool output) {
    if (path.empty()) return "nothing";
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (c == '\n' || c == '\r') return "a line break";
        if (c == '%' && output) return "\"%\" in a file written, which makes a pattern rule";
        if (c == '\\') {
            const std::size_t next = path.find_first_not_of('\\', i);
            // Before a space the backslashes are doubled; before "#", ":", "$" or the end the
            // two read them differently.
            if (next == std::string::npos || (path[next] != ' ' && !plain(path[next])))
                return "a \"\\\" before \"" +
                       (next == std::string::npos ? std::string("the end")
                                                  : printable_name(path.substr(next, 1))) +
                       "\"";
            i = next - 1;
        } else if (c != ' ' && c != '#' && c != '$' && c != ':' && !plain(c)) {
            return "\"" + printable_name(std::string(1, c)) + "\"";
        }
    }
    if (path.back() == ':') return "a \":\" at the end";
    if (path.front() == '~') return "a \"~\" at the start, which Make reads as a home folder";
    if (path.back() == ')' && path.find('(') != std::string::npos)
        return "\"(...)\" at the end, which Make reads as a member of an archive";
    return std::nullopt;
}

void append_escaped(std::string& text, const std::string& path) {
    std::size_t backslashes = 0;
    for (const char c : path) {
        if (c == ' ') text.append(backslashes + 1, '\\');
        if (c == '#' || c == ':') text += '\\';
        if (c == '$') text += '$';
        text += c;
        backslashes = c == '\\' ? backslashes + 1 : 0;
    }
}

} // namespace

Depfile depfile_text(const std::vector<std::string>& outputs,
                     const std::vector<std::string>& inputs) {
    Depfile d;
    for (std::size_t i = 0; i < outputs.size() + inputs.size(); ++i) {
        const bool output = i < outputs.size();
        const std::string& path = output ? outputs[i] : inputs[i - outputs.size()];
        if (const auto why = unwritable(path, output))
            return {{},
                    "--depfile cannot name " + quoted_name(path) + ": it holds " + *why +
                        ", which Make and Ninja would not both read as part of the name."};
        if (i == outputs.size()) d.text += ":";
        if (i > 0) d.text += " ";
        append_escaped(d.text, path);
    }
    d.text += "\n";
    return d;
}

} // namespace dotlane
