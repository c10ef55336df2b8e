#include "commands.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "reverse/bmp_writer.h"
#include "reverse/hex_reader.h"
#include "reverse/render.h"
#include "support.h"
#include "version.h"

namespace dotlane::cli {

namespace {

int listing_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    bool sed1565) {
    const Arguments a = parse(args, {"--invert-colors"}, {"-o"});
    if (!a.error.empty()) return usage(err, a.error);
    if (a.operands.size() != 1) return usage(err, "give exactly one BMP file");
    const auto file = load(a.operands[0], err);
    if (!file) return kBadInput;
    return emit(window_listing(*file, sed1565, a.has("--invert-colors")).text, a, out, err);
}

int info_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments a = parse(args, {}, {"-o"});
    if (!a.error.empty()) return usage(err, a.error);
    if (a.operands.size() != 1) return usage(err, "give exactly one BMP file");
    const auto file = load(a.operands[0], err);
    if (!file) return kBadInput;
    const FileFacts f = file_facts(file->header);
    std::ostringstream text;
    text << "file size: " << file->size << "\n"
         << "offset: " << f.offset << "\n"
         << "width: " << f.width << "\n"
         << "height: " << f.height << (file->header.top_down ? " (rows stored top-down)" : "")
         << "\n"
         << "bytes per row: " << f.bytes_per_row << "\n"
         << "padding per row: " << f.padding << "\n"
         << "rows: " << f.rows << "\n"
         << "offset field: " << f.offset_field << "\n"
         << "width field: " << f.width_field << "\n"
         << "height field: " << f.height_field << "\n"
         << "header:\n"
         << header_dump(file->header, "\n") << "\n";
    return emit(text.str(), a, out, err);
}

std::optional<std::string> read_input(const std::string& path, std::istream& in,
                                      std::ostream& err) {
    // libstdc++ reports a failed read (a closed standard input) by throwing, whatever the
    // stream's exception mask.
    if (path == "-") {
        try {
            return std::string(std::istreambuf_iterator<char>(in), {});
        } catch (const std::ios_base::failure& failure) {
            err << "Cannot read standard input (" << failure.what() << ").\n";
            return std::nullopt;
        }
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        err << "Cannot open \"" << path << "\".\n";
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(file), {});
}

int render_command(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
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
    const std::vector<std::uint8_t> bmp = encode_mono_bmp(picture);
    return emit({reinterpret_cast<const char*>(bmp.data()), bmp.size()}, a, out, err);
}

} // namespace

int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
    if (args.empty()) return usage(err, "no command given");
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        out << usage_text();
        return kOk;
    }
    if (command == "--version") {
        out << "dotlane-cli " << DOTLANE_VERSION << "\n";
        return kOk;
    }
    if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
        out << usage_text();
        return kOk;
    }
    if (command == "t6963c") return listing_command(rest, out, err, false);
    if (command == "sed1565") return listing_command(rest, out, err, true);
    if (command == "info") return info_command(rest, out, err);
    if (command == "render") return render_command(rest, in, out, err);
    if (command == "convert") return convert_command(rest, out, err);
    return usage(err, "unknown command " + command);
}

} // namespace dotlane::cli
