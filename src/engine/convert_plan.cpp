#include "engine/convert_plan.h"

#include <algorithm>

#include "declare/bundle.h"
#include "declare/c_names.h"
#include "shared/entries.h"
#include "shared/text.h"

namespace dotlane::engine {

namespace {

// The options of the arrays of several pictures; only --depfile serves every style.
const std::vector<std::string> kBundleOptions = {"--table", "--header", "--source", "--compress"};

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
            .target = c.target,
            .levels = c.colour != nullptr,
            .words = c.target && c.target->words && c.layout == c.target->colour_layout};
}

// The style: --style, else --c-array's, else the target's; several pictures or an option of
// the arrays ask for C, else the bare listing.
std::variant<Plan, Outcome> plan_of(const Arguments& a, bool raw_to_terminal) {
    Plan plan;
    const auto c_array = a.value("--c-array");
    const auto style_text = a.value("--style");
    const auto chosen = style_named(style_text.value_or("c"));
    if (!chosen)
        return usage_error("unknown style \"" + *style_text + "\"; the styles are " + kStyleNames);
    if (c_array && ((style_text && *chosen != Style::c) || a.value("--name")))
        return usage_error("--c-array NAME is --style c --name NAME; give one or the other");
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
        return usage_error("--table, --header, --source and --compress write C arrays: they take "
                           "--style c, arduino or u8g2");
    if (several && (plan.style == Style::hex || plan.style == Style::bin))
        return usage_error("--style hex and bin list one picture; several pictures take a style "
                           "that declares arrays: c, arduino, u8g2, python or asm");
    if (frames && (plan.style == Style::python || plan.style == Style::assembly))
        return usage_error("--frames writes C arrays (--style c, arduino or u8g2), the bare "
                           "listing or the raw bytes");
    plan.bundle = c_family && (several || frames || arrays_asked);

    std::vector<std::string> given = a.all("--name");
    if (c_array) {
        if (several) return usage_error("--c-array names one picture; give --name once for each");
        given = {*c_array};
    }
    if (!given.empty() && given.size() != a.operands.size())
        return usage_error("give --name once for each picture, or not at all");
    ArrayNames names = array_names(
        a.operands, given, c_array ? "--c-array" : "--name",
        {plan.style, a.value("--compress").has_value(), a.value("--table"), a.value("--header")},
        a.value("--name-prefix"));
    if (names.error) return usage_error(*names.error);
    plan.names = std::move(names.names);

    plan.header = a.value("--header");
    plan.source = a.value("--source");
    plan.depfile = a.value("--depfile");
    plan.output = a.value("-o");
    plan.table = a.value("--table");
    plan.compress = a.value("--compress").has_value();
    if (plan.header.has_value() != plan.source.has_value())
        return usage_error("--header and --source go together");
    if (plan.header && plan.output)
        return usage_error("give -o, or --header and --source, not both");
    if (plan.depfile && !plan.header && (!plan.output || *plan.output == "-"))
        return usage_error("--depfile needs -o FILE or --header and --source");
    if (const auto compress = a.value("--compress"); compress && *compress != "rle")
        return usage_error("--compress takes rle, not \"" + *compress + "\"");
    if (plan.style == Style::bin && !plan.header && raw_to_terminal)
        return usage_error("--style bin writes raw bytes, which a terminal cannot show; give -o "
                           "FILE or send standard output to a file or a pipe");
    auto preview = preview_options(a);
    if (auto* problem = std::get_if<Outcome>(&preview)) return *problem;
    plan.preview = std::get<PreviewOptions>(preview);
    if (plan.preview.path && (several || frames))
        return usage_error("--preview shows one picture, so it takes neither several pictures "
                           "nor --frames");
    return plan;
}

} // namespace

std::variant<PreviewOptions, Outcome> preview_options(const Arguments& a) {
    PreviewOptions options;
    options.path = a.value("--preview");
    const auto scale = picture_scale(a.value("--preview-scale"), "--preview-scale", 4);
    if (const auto* problem = std::get_if<std::string>(&scale)) return usage_error(*problem);
    options.scale = std::get<int>(scale);
    if (const auto look = a.value("--preview-look")) {
        constexpr std::string_view kLooks[] = {"lcd", "oled-white", "oled-blue", "oled-yellow",
                                               "epaper"};
        if (std::find(std::begin(kLooks), std::end(kLooks), *look) == std::end(kLooks))
            return usage_error("--preview-look takes lcd, oled-white, oled-blue, oled-yellow or "
                               "epaper, not \"" +
                               *look + "\"");
        options.look = *look;
    }
    // With --header and --source the listing is those two files, which convert checks.
    const std::string listing = a.value("--header") ? "" : a.value("-o").value_or("-");
    if (options.path && *options.path == listing)
        return usage_error("--preview and the listing cannot both go to \"" + listing + "\"");
    return options;
}

std::variant<Plan, Outcome> plan_convert(const Arguments& a, bool raw_to_terminal,
                                         const OutputCheck& outputs) {
    auto planned = plan_of(a, raw_to_terminal);
    if (auto* problem = std::get_if<Outcome>(&planned)) return *problem;
    Plan& plan = std::get<Plan>(planned);
    if (outputs)
        if (auto clash = outputs(plan)) return usage_error(*clash);
    auto request = conversion_request(a);
    if (auto* problem = std::get_if<Outcome>(&request)) return *problem;
    if (a.operands.empty()) return usage_error("give a picture file");
    plan.request = std::move(std::get<Request>(request));
    plan.pictures = a.operands;
    return planned;
}

std::variant<Written, Outcome> write_pictures(const Plan& plan, PictureSource& source,
                                              const ConvertSinks& sinks, bool keep_first,
                                              bool keep_bytes) {
    const auto to_main = [&](std::string_view text) { sinks.text(text); };
    const Flush flush = [&](std::string& text) {
        sinks.text(text);
        text.clear();
    };
    const BundleOptions options{plan.compress, plan.table, c_flavour(plan.style).value_or(kPlainC)};
    std::optional<BundleWriter> bundle;
    if (plan.bundle && plan.header)
        bundle.emplace(options, to_main, sinks.header, *plan.header);
    else if (plan.bundle)
        bundle.emplace(options, to_main);
    // The window's layouts make their own text, small as the 1-bit BMP files they list.
    const bool window_layout = !plan.request.bit_layout && !plan.request.colour;
    Written written;
    for (std::size_t i = 0; i < plan.pictures.size(); ++i) {
        auto made = convert_file(plan.pictures[i], plan.request, source);
        if (auto* problem = std::get_if<Outcome>(&made)) return *problem;
        Conversion& c = std::get<Conversion>(made);
        const auto& bytes = c.listing.bytes;
        if (plan.style == Style::hex && window_layout)
            to_main(c.listing.text);
        else if (plan.style == Style::hex)
            entry_lines_in_pieces(bytes, "\n", true, to_main);
        else if (plan.style == Style::bin)
            to_main({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
        else if (bundle)
            bundle->add({array_of(c, plan.names[i]), c.delays});
        else
            to_main(declaration_in_run(plan.style, array_of(c, plan.names[i]), i == 0, flush));
        if (keep_bytes) written.bytes.insert(written.bytes.end(), bytes.begin(), bytes.end());
        if (i == 0 && keep_first) written.first = std::move(c);
    }
    if (bundle) bundle->finish();
    return written;
}

} // namespace dotlane::engine
