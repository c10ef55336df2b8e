#include "depfile.h"

#include "shared/text.h"

namespace dotlane::cli {

namespace {

bool append_escaped(std::string& text, const std::string& path) {
    for (char c : path) {
        if (c == '\n' || c == '\r') return false;
        if (c == ' ' || c == '\t' || c == '#') text += '\\';
        if (c == '$') text += '$';
        text += c;
    }
    return true;
}

} // namespace

Depfile depfile_text(const std::vector<std::string>& outputs,
                     const std::vector<std::string>& inputs) {
    Depfile d;
    for (std::size_t i = 0; i < outputs.size() + inputs.size(); ++i) {
        const bool output = i < outputs.size();
        const std::string& path = output ? outputs[i] : inputs[i - outputs.size()];
        if (i == outputs.size()) d.text += ":";
        if (i > 0) d.text += " ";
        if (!append_escaped(d.text, path))
            return {{},
                    "--depfile cannot name " + quoted_name(path) +
                        ": Make and Ninja read no line break in a file name."};
    }
    d.text += "\n";
    return d;
}

} // namespace dotlane::cli
