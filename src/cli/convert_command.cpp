// The convert command: pictures in one of the layouts, bare, declared in one of the styles or
// raw; several of them (or an animation's frames) as arrays in one output or a header and
// source pair; a picture of what the display will show, and a Make rule of it all.
#include <cstring>
#include <ostream>
#include <unistd.h>

#include "bundle.h"
#include "c_names.h"
#include "commands.h"
#include "convert.h"
#include "depfile.h"
#include "preview.h"
#include "shared/output_file.h"
#include "shared/text.h"
#include "styles.h"

namespace dotlane::cli {

namespace {

// The options of the arrays of several pictures; only --depfile serves every style.
const std::vector<std::string> kBundleOptions = {"--table", "--header", "--source", "--compress"};

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

CArray array_of(const Conversion& c, const std::string& name) {
    return {.name = name,
            .source = c.path,
            .file_size = c.file_size,
            .width = c.width,
            .height = c.height,
            .rows = c.rows,
            .layout = c.layout,
            .layout_description = c.description,
            .invert = c.invert,
            .bytes = c.listing.bytes,
            .target = c.target};
}

// What the command writes, chosen before any picture is read so that wrong usage costs
// nothing.
struct Plan {
    Style style = Style::hex;
    bool bundle = false; // C arrays through bundle.h
    std::vector<std::string> names;
    std::optional<std::string> header, source, depfile, output;
    PreviewOptions preview;
};

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

// The style: --style, else --c-array's, else the target's; several pictures or an option of
// the arrays ask for C, else the bare listing.
std::variant<Plan, int> plan_of(const Arguments& a, std::ostream& out, std::ostream& err) {
    Plan plan;
    const auto c_array = a.value("--c-array");
    const auto style_text = a.value("--style");
    const auto chosen = style_named(style_text.value_or("c"));
    if (!chosen)
        return usage(err, "unknown style \"" + *style_text + "\"; the styles are " + kStyleNames);
    if (c_array && ((style_text && *chosen != Style::c) || a.value("--name")))
        return usage(err, "--c-array NAME is --style c --name NAME; give one or the other");
    const bool several = a.operands.size() > 1;
    bool arrays_asked = false;
    for (const std::string& option : kBundleOptions)
        arrays_asked = arrays_asked || a.value(option);
    const auto target = a.value("--target");
    const Target* const named_target = target ? target_named(*target) : nullptr;
    plan.style = style_text || c_array     ? *chosen
                 : named_target            ? *style_named(named_target->style)
                 : several || arrays_asked ? Style::c
                                           : Style::hex;
    const bool c_family = c_flavour(plan.style).has_value();
    const bool frames = a.has("--frames");
    if (arrays_asked && !c_family)
        return usage(err, "--table, --header, --source and --compress write C arrays: they take "
                          "--style c, arduino or u8g2");
    if (several && (plan.style == Style::hex || plan.style == Style::bin))
        return usage(err, "--style hex and bin list one picture; several pictures take a style "
                          "that declares arrays: c, arduino, u8g2, python or asm");
    if (frames && (plan.style == Style::python || plan.style == Style::assembly))
        return usage(err, "--frames writes C arrays (--style c, arduino or u8g2), the bare "
                          "listing or the raw bytes");
    plan.bundle = c_family && (several || frames || arrays_asked);

    std::vector<std::string> given = a.all("--name");
    if (c_array) {
        if (several) return usage(err, "--c-array names one picture; give --name once for each");
        given = {*c_array};
    }
    if (!given.empty() && given.size() != a.operands.size())
        return usage(err, "give --name once for each picture, or not at all");
    ArrayNames names = array_names(
        a.operands, given, c_array ? "--c-array" : "--name",
        {plan.style, a.value("--compress").has_value(), a.value("--table"), a.value("--header")},
        a.value("--name-prefix"));
    if (names.error) return usage(err, *names.error);
    plan.names = std::move(names.names);

    plan.header = a.value("--header");
    plan.source = a.value("--source");
    plan.depfile = a.value("--depfile");
    plan.output = a.value("-o");
    if (plan.header.has_value() != plan.source.has_value())
        return usage(err, "--header and --source go together");
    if (plan.header && plan.output)
        return usage(err, "give -o, or --header and --source, not both");
    if (plan.depfile && !plan.header && (!plan.output || *plan.output == "-"))
        return usage(err, "--depfile needs -o FILE or --header and --source");
    if (const auto compress = a.value("--compress"); compress && *compress != "rle")
        return usage(err, "--compress takes rle, not \"" + *compress + "\"");
    if (plan.style == Style::bin && !plan.header && raw_to_terminal(a, out))
        return usage(err, "--style bin writes raw bytes, which a terminal cannot show; give -o "
                          "FILE or send standard output to a file or a pipe");
    auto preview = preview_options(a, err);
    if (std::holds_alternative<int>(preview)) return std::get<int>(preview);
    plan.preview = std::get<PreviewOptions>(preview);
    if (plan.preview.path && (several || frames))
        return usage(err, "--preview shows one picture, so it takes neither several pictures "
                          "nor --frames");
    if (const auto clash = shared_output(plan)) return usage(err, *clash);
    return plan;
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

// Each picture's text is written as soon as its bytes are made, and both let go before the
// next picture is read; only the first is kept, for the preview, which takes one picture.
std::variant<std::optional<Conversion>, int> write_pictures(const Plan& plan, const Arguments& a,
                                                            const Request& request,
                                                            Outputs& outputs, std::ostream& err) {
    const auto to_main = [&](std::string_view text) { outputs.main.write(text); };
    const BundleOptions options{a.value("--compress").has_value(), a.value("--table"),
                                c_flavour(plan.style).value_or(kPlainC)};
    std::optional<BundleWriter> bundle;
    if (plan.bundle && plan.header)
        bundle.emplace(
            options, to_main, [&](std::string_view text) { outputs.header.write(text); },
            *plan.header);
    else if (plan.bundle)
        bundle.emplace(options, to_main);
    std::optional<Conversion> first;
    for (std::size_t i = 0; i < a.operands.size(); ++i) {
        auto c = convert_file(a.operands[i], request, plan.style == Style::hex, err);
        if (!c) return kBadInput;
        const auto& bytes = c->listing.bytes;
        if (plan.style == Style::hex)
            to_main(c->listing.text);
        else if (plan.style == Style::bin)
            to_main({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
        else if (bundle)
            bundle->add({array_of(*c, plan.names[i]), c->delays});
        else
            to_main(declaration_in_run(plan.style, array_of(*c, plan.names[i]), i == 0));
        if (i == 0 && plan.preview.path) first = std::move(c);
    }
    if (bundle) bundle->finish();
    return first;
}

} // namespace

int convert_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> flags = kConvertFlags, valued = kConvertValued;
    flags.push_back("--frames");
    valued.insert(valued.end(), kBundleOptions.begin(), kBundleOptions.end());
    valued.insert(valued.end(), {"--depfile", "--name-prefix"});
    const Arguments a = parse(args, flags, valued);
    if (a.error) return usage(err, *a.error);
    auto planned = plan_of(a, out, err);
    if (std::holds_alternative<int>(planned)) return std::get<int>(planned);
    const Plan& plan = std::get<Plan>(planned);
    auto request = conversion_request(a, err);
    if (std::holds_alternative<int>(request)) return std::get<int>(request);
    if (a.operands.empty()) return usage(err, "give a picture file");

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
    auto made = write_pictures(plan, a, std::get<Request>(request), outputs, err);
    if (std::holds_alternative<int>(made)) return std::get<int>(made);
    // The picture is made before any output is put in place, so a preview that cannot be made
    // leaves the listing unwritten too.
    std::optional<std::vector<std::uint8_t>> png;
    if (const auto& first = std::get<std::optional<Conversion>>(made)) {
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
