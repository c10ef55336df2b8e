#include "commands.h"

#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

#include "import/import.h"
#include "reverse/bmp_writer.h"
#include "reverse/hex_reader.h"
#include "reverse/render.h"
#include "version.h"

namespace dotlane::cli {

namespace {

constexpr const char* kUsageText =
    "Usage: dotlane-cli COMMAND [OPTIONS] FILE\n"
    "\n"
    "Commands:\n"
    "  t6963c [--invert-colors] FILE   the T6963C listing of a monochrome BMP file\n"
    "  sed1565 [--invert-colors] FILE  the SED1565 listing of a monochrome BMP file\n"
    "  info FILE                       the header dump and the picture's geometry\n"
    "  render --width W --pages P -o OUT.bmp [LISTING]\n"
    "                                  paint a SED1565 listing (from LISTING, or standard\n"
    "                                  input when absent or \"-\") and save it as a BMP file\n"
    "\n"
    "  --invert-colors  list white pixels as set bits instead of dark ones\n"
    "  --help           show this text;  --version  show the version\n"
    "\n"
    "Exit status: 0 success, 1 bad input (message on standard error), 2 wrong usage.\n";

// Options and operands of one command line.
struct Arguments {
    std::map<std::string, std::string> values; // "--width" -> "128"
    std::vector<std::string> flags;
    std::vector<std::string> operands;
    std::string error;
    bool has(const std::string& flag) const {
        return std::find(flags.begin(), flags.end(), flag) != flags.end();
    }
};

Arguments parse(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                const std::vector<std::string>& valued) {
    Arguments parsed;
    auto known = [](const std::vector<std::string>& list, const std::string& name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            if (known(flags, arg)) {
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
    err << "dotlane-cli: " << problem << "\n\n" << kUsageText;
    return kUsage;
}

// Loads and checks a BMP file; prints the window's message and returns nullopt if refused.
std::optional<LoadedFile> load(const std::string& path, std::ostream& err) {
    LoadedFile file = load_bmp_file(path);
    if (!file.accepted()) {
        err << file.message() << "\n";
        return std::nullopt;
    }
    return file;
}

ImportResult import(const LoadedFile& file, bool invert) {
    SharedState state;
    state.invert_colours = invert ? 1 : 0;
    const Picture source = decode_picture(file.header, file.bytes);
    return import_picture(file, source, T6963cOptions{invert, false}, state);
}

int listing_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    bool sed1565) {
    const Arguments a = parse(args, {"--invert-colors"}, {});
    if (!a.error.empty()) return usage(err, a.error);
    if (a.operands.size() != 1) return usage(err, "give exactly one BMP file");
    const auto file = load(a.operands[0], err);
    if (!file) return kBadInput;
    const ImportResult result = import(*file, a.has("--invert-colors"));
    out << (sed1565 ? result.sed1565 : result.t6963c);
    return kOk;
}

int info_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments a = parse(args, {}, {});
    if (!a.error.empty()) return usage(err, a.error);
    if (a.operands.size() != 1) return usage(err, "give exactly one BMP file");
    const auto file = load(a.operands[0], err);
    if (!file) return kBadInput;
    const InfoLabels l = info_labels(file->header);
    out << file->header.dump << "\n"
        << "Taille: " << size_caption(file->size) << "\n"
        << "offset: " << l.offset << "\n"
        << "offsetdec: " << l.offsetdec << "\n"
        << "Largeur: " << l.largeur << "\n"
        << "largeurdec: " << l.largeurdec << "\n"
        << "Hauteur: " << l.hauteur << "\n"
        << "hauteurdec: " << l.hauteurdec << "\n"
        << "nbcolonne: " << l.nbcolonne << "\n"
        << "nbzero: " << l.nbzero << "\n"
        << "nbligne: " << l.nbligne << "\n";
    return kOk;
}

std::optional<std::string> read_input(const std::string& path, std::istream& in,
                                      std::ostream& err) {
    if (path == "-") return std::string(std::istreambuf_iterator<char>(in), {});
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        err << "Cannot open \"" << path << "\".\n";
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(file), {});
}

int render_command(const std::vector<std::string>& args, std::istream& in, std::ostream&,
                   std::ostream& err) {
    const Arguments a = parse(args, {}, {"--width", "--pages", "-o"});
    if (!a.error.empty()) return usage(err, a.error);
    if (!a.values.count("--width") || !a.values.count("--pages") || !a.values.count("-o"))
        return usage(err, "render needs --width, --pages and -o");
    if (a.operands.size() > 1) return usage(err, "give at most one listing file");
    const RenderSize size = parse_render_size(a.values.at("--width"), a.values.at("--pages"));
    if (!size.error.empty()) {
        err << size.error << "\n";
        return kBadInput;
    }
    const auto text = read_input(a.operands.empty() ? "-" : a.operands[0], in, err);
    if (!text) return kBadInput;
    const ListingRead listing = read_listing(*text);
    if (!listing.error.empty()) {
        err << listing.error << "\n";
        return kBadInput;
    }
    // A size of 0 paints nothing, and the window then saves its empty drawing area.
    const Picture picture = size.width > 0 && size.pages > 0
                                ? render_listing(listing.bytes, size.width, size.pages)
                                : Picture(149, 69, kWhite);
    const std::string error = save_file_atomically(a.values.at("-o"), encode_mono_bmp(picture));
    if (!error.empty()) {
        err << error << "\n";
        return kBadInput;
    }
    return kOk;
}

} // namespace

int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
    if (args.empty()) return usage(err, "no command given");
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        out << kUsageText;
        return kOk;
    }
    if (command == "--version") {
        out << "dotlane-cli " << DOTLANE_VERSION << "\n";
        return kOk;
    }
    if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
        out << kUsageText;
        return kOk;
    }
    if (command == "t6963c") return listing_command(rest, out, err, false);
    if (command == "sed1565") return listing_command(rest, out, err, true);
    if (command == "info") return info_command(rest, out, err);
    if (command == "render") return render_command(rest, in, out, err);
    return usage(err, "unknown command " + command);
}

} // namespace dotlane::cli
