// The convert command: pictures in one of the layouts, bare, declared in one of the styles or
// raw; several of them (or an animation's frames) as arrays in one output or a header and
// source pair; a picture of what the display will show, and a Make rule of it all.
#include <cstring>
#include <ostream>
#include <unistd.h>

#include "cli/commands.h"
#include "cli/file_pictures.h"
#include "cli/preview.h"
#include "cli/support.h"
#include "engine/convert_plan.h"
#include "shared/text.h"
#include "write/depfile.h"
#include "write/output_file.h"

namespace dotlane::cli {

using engine::Plan;

namespace {

// Raw bytes would only garble a terminal, so they go to a file or a pipe.
bool raw_to_terminal(const Arguments& a, std::ostream& out) {
    const auto path = a.value("-o");
    const auto* descriptor = dynamic_cast<const DescriptorOutput*>(out.rdbuf());
    return (!path || *path == "-") && descriptor && ::isatty(descriptor->fd());
}

// A file that already holds the text is left untouched, time stamp and all, so what a build
// makes from it is not made again.
int write_file(const std::string& path, std::string_view text, std::ostream& err) {
    const auto bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (const auto error = write_file_unless_same(path, {bytes, text.size()})) {
        err << *error << "\n";
        return kBadInput;
    }
    return kOk;
}

// Two outputs in one file would leave only the one written last. "-" is standard output.
std::optional<std::string> shared_output(const Plan& plan) {
    std::vector<std::pair<const char*, std::string>> files;
    const auto add = [&](const char* option, const std::optional<std::string>& path) {
        if (path && *path != "-") files.emplace_back(option, *path);
    };
    add("-o", plan.output);
    add("--header", plan.header);
    add("--source", plan.source);
    add("--preview", plan.preview.path);
    add("--depfile", plan.depfile);
    for (std::size_t i = 0; i < files.size(); ++i)
        for (std::size_t j = i + 1; j < files.size(); ++j)
            if (same_output_file(files[i].second, files[j].second))
                return std::string(files[i].first) + " and " + files[j].first +
                       " name one file, \"" + printable_name(files[j].second) +
                       "\"; each output needs its own";
    return std::nullopt;
}

// Where the text goes: the file of -o, or the source and the header, each staged beside its
// file as the pictures are made and put in place only once all are (a file that comes out the
// same is left untouched, so what a build makes from it is not made again); or standard
// output, which gets nothing either until all are made.
struct Outputs {
    StagedOutput main, header;
    bool to_standard_output = true;

    std::optional<std::string> open(const Plan& plan) {
        const auto main_path = plan.header ? plan.source : plan.output;
        to_standard_output = !main_path || *main_path == "-";
        constexpr auto leave = StagedOutput::IfSame::leave;
        if (!to_standard_output)
            if (auto refused = main.open(*main_path, leave)) return refused;
        if (plan.header) return header.open(*plan.header, leave);
        return std::nullopt;
    }
    // The source first, so a build that sees the header sees its data too.
    int commit(const Plan& plan, std::ostream& out, std::ostream& err) {
        if (to_standard_output) {
            const int error = main.send([&](std::string_view piece) {
                out.write(piece.data(), std::streamsize(piece.size()));
                return 0;
            });
            if (error) {
                err << "dotlane-cli: cannot keep the output: " << std::strerror(error) << "\n";
                return kBadInput;
            }
            return check_output(out, err);
        }
        auto refused = main.commit();
        if (!refused && plan.header) refused = header.commit();
        if (!refused) return kOk;
        err << *refused << "\n";
        return kBadInput;
    }
};

} // namespace

int convert_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto table = engine::convert_options();
    const Arguments a = parse(args, engine::flag_names(table), engine::valued_names(table));
    if (a.error) return usage(err, *a.error);
    auto planned = engine::plan_convert(a, raw_to_terminal(a, out), shared_output);
    if (auto* problem = std::get_if<engine::Outcome>(&planned)) return usage(err, *problem->error);
    const Plan& plan = std::get<Plan>(planned);

    // The rule is made first, so a name it cannot hold stops the run before any output.
    std::vector<std::string> written;
    if (plan.header) written = {*plan.header, *plan.source};
    if (plan.output && *plan.output != "-") written = {*plan.output};
    if (plan.preview.path && *plan.preview.path != "-") written.push_back(*plan.preview.path);
    const Depfile rule = plan.depfile ? depfile_text(written, a.operands) : Depfile{};
    if (rule.error) {
        err << *rule.error << "\n";
        return kBadInput;
    }

    Outputs outputs;
    if (const auto refused = outputs.open(plan)) {
        err << *refused << "\n";
        return kBadInput;
    }
    FilePictures pictures;
    const engine::ConvertSinks sinks{[&](std::string_view text) { outputs.main.write(text); },
                                     [&](std::string_view text) { outputs.header.write(text); }};
    auto made = engine::write_pictures(plan, pictures, sinks, plan.preview.path.has_value(), false);
    if (auto* problem = std::get_if<engine::Outcome>(&made)) {
        err << *problem->error << "\n";
        return kBadInput;
    }
    // The picture is made before any output is put in place, so a preview that cannot be made
    // leaves the listing unwritten too.
    std::optional<std::vector<std::uint8_t>> png;
    if (const auto& first = std::get<engine::Written>(made).first) {
        auto made_png = preview_png(*first, plan.preview);
        if (std::holds_alternative<std::string>(made_png)) {
            err << std::get<std::string>(made_png) << "\n";
            return kBadInput;
        }
        png = std::move(std::get<std::vector<std::uint8_t>>(made_png));
    }
    if (const int status = outputs.commit(plan, out, err)) return status;
    if (png) {
        if (const int status = write_preview(*png, *plan.preview.path, out, err)) return status;
    }
    return plan.depfile ? write_file(*plan.depfile, rule.text, err) : kOk;
}

} // namespace dotlane::cli
