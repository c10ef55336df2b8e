#include "support.h"

#include <ostream>

#include "reverse/bmp_writer.h"

namespace dotlane::cli {

Arguments parse(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                const std::vector<std::string>& valued) {
    Arguments parsed;
    auto known = [](const std::vector<std::string>& list, const std::string& name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    bool options_ended = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // As for every Unix tool, "--" lets a file name begin with "-".
        if (arg == "--" && !options_ended) {
            options_ended = true;
        } else if (!options_ended && arg.size() > 1 && arg[0] == '-' && arg != "-") {
            const auto equals = arg.find('=');
            if (arg.rfind("--", 0) == 0 && equals != std::string::npos &&
                known(valued, arg.substr(0, equals))) {
                parsed.values[arg.substr(0, equals)] = arg.substr(equals + 1);
            } else if (known(flags, arg)) {
                parsed.flags.push_back(arg);
            } else if (known(valued, arg) && i + 1 < args.size()) {
                parsed.values[arg] = args[++i];
            } else {
                parsed.error = known(valued, arg) ? "option " + arg + " needs a value"
                                                  : "unknown option " + arg;
                return parsed;
            }
        } else {
            parsed.operands.push_back(arg);
        }
    }
    return parsed;
}

int usage(std::ostream& err, const std::string& problem) {
    err << "dotlane-cli: " << problem << "\n\n" << usage_text();
    return kUsage;
}

std::optional<LoadedFile> load(const std::string& path, std::ostream& err) {
    LoadedFile file = load_bmp_file(path);
    if (!file.accepted()) {
        err << file.message() << "\n";
        return std::nullopt;
    }
    return file;
}

std::string window_listing(const LoadedFile& file, bool sed1565, bool invert) {
    const T6963cOptions options{invert, false};
    // T6963C comes straight from the file's rows; only SED1565 needs the picture and its
    // working copy, which would double the time of a T6963C listing.
    if (!sed1565) return t6963c_listing(file.header, file.bytes, options);
    SharedState state;
    state.invert_colours = invert ? 1 : 0;
    const Picture source = decode_picture(file.header, file.bytes);
    return import_picture(file, source, options, state).sed1565;
}

int emit(const std::string& text, const Arguments& args, std::ostream& out, std::ostream& err) {
    const auto path = args.value("-o");
    if (!path || *path == "-") {
        out << text;
        return kOk;
    }
    const std::string error = save_file_atomically(*path, {text.begin(), text.end()});
    if (!error.empty()) {
        err << error << "\n";
        return kBadInput;
    }
    return kOk;
}

} // namespace dotlane::cli
