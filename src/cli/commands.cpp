#include "cli/commands.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <sstream>
#include <unistd.h>

#include "back/array_input.h"
#include "back/hex_reader.h"
#include "back/render.h"
#include "cli/array_files.h"
#include "cli/picture_output.h"
#include "cli/support.h"
#include "engine/convert.h"
#include "pictures/bmp_writer.h"
#include "pictures/picture_input.h"
#include "shared/text.h"
#include "version.h"

namespace dotlane::cli {

namespace {

int listing_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    bool sed1565) {
    const Arguments a = parse(args, {"--invert-colors"}, {"-o"});
    if (a.error) return usage(err, *a.error);
    if (a.operands.size() != 1) return usage(err, "give exactly one BMP file");
    const auto file = load(a.operands[0], err);
    if (!file) {
        // Another kind of picture is convert's: name the call that lists it.
        const InputPicture picture = read_picture(a.operands[0], 255);
        if (!picture.error && !picture.bmp)
            err << "dotlane-cli: " << (sed1565 ? "sed1565" : "t6963c")
                << " lists 1-bit BMP files as the window does; for this picture: dotlane-cli "
                   "convert --layout "
                << (sed1565 ? "pages-lsb" : "rows-msb") << " " << shell_word(a.operands[0]) << "\n";
        return kBadInput;
    }
    return emit(engine::window_listing(*file, sed1565, a.has("--invert-colors")).text, a, out, err);
}

int info_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments a = parse(args, {}, {"-o"});
    if (a.error) return usage(err, *a.error);
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

// The first form of render: --width and --pages alone, a page-major listing into a BMP file.
bool first_render_form(const Arguments& a) {
    const auto out = a.value("-o");
    return a.flags.empty() && !(out && names_png(*out)) &&
           std::all_of(a.values.begin(), a.values.end(), [](const auto& value) {
               return value.first == "--width" || value.first == "--pages" || value.first == "-o";
           });
}

int render_command(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                   std::ostream& err) {
    if (names_font(args)) return font_sheet_command(args, out, err);
    const Arguments a = parse(args, {"--allow-extra"},
                              {"--width", "--pages", "-o", "--layout", "--height", "--ink",
                               "--input", "--name", "--render-scale"});
    if (a.error) return usage(err, *a.error);
    if (!first_render_form(a)) return render_layout_command(args, in, out, err);
    if (!a.values.count("--width") || !a.values.count("--pages") || !a.values.count("-o"))
        return usage(err, "render needs --width, --pages and -o");
    if (a.operands.size() > 1) return usage(err, "give at most one listing file");
    const RenderSize size = parse_render_size(a.values.at("--width"), a.values.at("--pages"));
    if (size.error) {
        err << *size.error << "\n";
        return kBadInput;
    }
    // Only what can be painted is read: the entries past W x P are neither stored nor checked.
    ListingReader reader(std::size_t(size.width) * std::size_t(size.pages), kMaxGap);
    FileInput input(a.operands.empty() ? "-" : a.operands[0], in);
    if (!read_input(input.pieces(), input.name(), reader, err)) return kBadInput;
    const ListingRead listing = reader.take();
    if (listing.error) {
        err << *listing.error << "\n";
        return kBadInput;
    }
    // A size of 0 paints nothing, and the window then saves its empty drawing area.
    const std::vector<std::uint8_t> bmp = encode_mono_bmp(
        size.width > 0 && size.pages > 0 ? render_bits(listing.bytes, size.width, size.pages)
                                         : Bitmap(149, 69));
    return emit({reinterpret_cast<const char*>(bmp.data()), bmp.size()}, a, out, err);
}

// A command line that names no command: the problem, and where the commands are listed.
int no_command(std::ostream& err, const std::string& problem) {
    usage(err, problem);
    err << "dotlane-cli: \"dotlane-cli --help\" lists the commands\n";
    return kUsage;
}

int command_status(const std::string& command, const std::vector<std::string>& rest,
                   std::istream& in, std::ostream& out, std::ostream& err) {
    if (command == "t6963c") return listing_command(rest, out, err, false);
    if (command == "sed1565") return listing_command(rest, out, err, true);
    if (command == "info") return info_command(rest, out, err);
    if (command == "render") return render_command(rest, in, out, err);
    if (command == "convert") return convert_command(rest, out, err);
    if (command == "preview") return preview_command(rest, out, err);
    if (command == "guess") return guess_command(rest, in, out, err);
    if (command == "font") return font_command(rest, out, err);
    return check_command(rest, in, out, err);
}

int run_command(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                std::ostream& err) {
    if (args.empty()) return no_command(err, "no command given");
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        const auto help =
            rest.empty() ? std::optional<std::string>(usage_text()) : command_help(rest[0]);
        if (!help) return no_command(err, "no command " + rest[0]);
        out << *help;
        return kOk;
    }
    if (command == "--version") {
        out << "dotlane-cli " << DOTLANE_VERSION << "\n";
        return kOk;
    }
    const auto help = command_help(command);
    if (!help) return no_command(err, "unknown command " + command);
    const auto options_end = std::find(rest.begin(), rest.end(), "--");
    if (std::find(rest.begin(), options_end, "--help") != options_end ||
        std::find(rest.begin(), options_end, "-h") != options_end) {
        out << *help;
        return kOk;
    }
    const int status = command_status(command, rest, in, out, err);
    // One line where the options are, rather than all of them after the message.
    if (status == kUsage)
        err << "dotlane-cli: \"dotlane-cli " << command << " --help\" shows its options\n";
    return status;
}

} // namespace

int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& plain_err) {
    PrefixedLines lines(plain_err.rdbuf());
    std::ostream err(&lines);
    const int status = run_command(args, in, out, err);
    lines.finish();
    return status;
}

} // namespace dotlane::cli
