// The library's front door for pictures: convert with the options of the one table, pictures
// held in memory, and the window's listings of a file's bytes.
#include <algorithm>

#include "back/render.h"
#include "engine/convert_colour.h"
#include "engine/convert_plan.h"
#include "pictures/picture_source.h"
#include "shared/text.h"

namespace dotlane::engine {

namespace {

// Options that name a file dotlane-cli writes: a front end without files gets the text back.
constexpr std::string_view kFileOptions[] = {"o", "depfile", "preview", "diff", "render"};

std::optional<std::string> file_option(const Options& options) {
    for (const Option& option : options)
        for (std::string_view name : kFileOptions)
            if (option.name == name)
                return dashed(name) + " names a file dotlane-cli writes; here the text and the "
                                      "bits come back to the caller";
    return std::nullopt;
}

WindowListing window_listing_of(std::span<const std::uint8_t> bytes, bool sed1565, bool invert) {
    WindowListing made;
    const LoadedFile file = check_bmp_bytes({bytes.begin(), bytes.end()});
    if (!file.accepted()) {
        made.error = file.message();
        made.fault = Fault::input;
        return made;
    }
    Listing listing = window_listing(file, sed1565, invert);
    made.text = std::move(listing.text);
    made.bytes = std::move(listing.bytes);
    return made;
}

} // namespace

Converted convert(const Options& options, const std::vector<std::string>& pictures,
                  PictureSource& source, const ConvertSinks& sinks) {
    Converted result;
    const auto fail = [&](const Outcome& problem) {
        static_cast<Outcome&>(result) = problem;
        return result;
    };
    if (auto refused = file_option(options)) return fail(usage_error(*refused));
    auto made = arguments_of(convert_options(), options);
    if (auto* problem = std::get_if<Outcome>(&made)) return fail(*problem);
    Arguments& a = std::get<Arguments>(made);
    a.operands = pictures;
    auto planned = plan_convert(a, false);
    if (auto* problem = std::get_if<Outcome>(&planned)) return fail(*problem);
    const TextSink ignore = [](std::string_view) {};
    const ConvertSinks given{sinks.text ? sinks.text : ignore,
                             sinks.header ? sinks.header : ignore};
    auto written = write_pictures(std::get<Plan>(planned), source, given, true, true);
    if (auto* problem = std::get_if<Outcome>(&written)) return fail(*problem);
    Written& w = std::get<Written>(written);
    const Conversion& first = *w.first;
    result.bytes = std::move(w.bytes);
    if (first.colour) result.colours = shown_colours(first);
    // The colours are unpacked once: the bits of a colour layout are their dark half.
    result.shown = first.colour ? dark_half(result.colours) : shown_bits(first);
    result.width = first.width;
    result.height = first.height;
    result.layout = first.layout;
    const std::string& look = std::get<Plan>(planned).preview.look;
    const bool oled = look.empty() ? first.target && first.target->glass == Glass::oled
                                   : look.starts_with("oled");
    const bool paper = look.empty() && first.target && first.target->glass == Glass::epaper;
    result.look = look == "epaper" || paper ? Look::epaper : oled ? Look::oled : Look::lcd;
    result.delays = first.delays;
    return result;
}

ConvertedText convert_to_text(const Options& options, const std::vector<std::string>& pictures,
                              PictureSource& source) {
    ConvertedText result;
    Converted made = convert(options, pictures, source,
                             {[&](std::string_view text) { result.text += text; },
                              [&](std::string_view text) { result.header += text; }});
    static_cast<Converted&>(result) = std::move(made);
    if (!result.ok()) result.text.clear(), result.header.clear();
    return result;
}

void MemoryPictures::add_file(std::string name, std::vector<std::uint8_t> bytes) {
    held_.push_back({std::move(name), std::move(bytes), 0, 0, {}, {}, 0});
}

void MemoryPictures::add_rgba(std::string name, int width, int height,
                              std::vector<std::uint8_t> rgba, std::uint64_t file_size) {
    held_.push_back({std::move(name), {}, width, height, {}, {}, file_size});
    held_.back().frames.push_back(std::move(rgba));
    held_.back().delays.push_back(0);
}

void MemoryPictures::add_frame(std::string name, int width, int height,
                               std::vector<std::uint8_t> rgba, int delay_ms,
                               std::uint64_t file_size) {
    if (held_.empty() || held_.back().name != name || !held_.back().file.empty())
        held_.push_back({std::move(name), {}, width, height, {}, {}, file_size});
    Held& held = held_.back();
    const std::uint64_t grey =
        std::uint64_t(std::max(width, 0)) * std::uint64_t(std::max(height, 0));
    if (!held.frames.empty() &&
        (held.too_many || grey * (held.frames.size() + 1) > std::uint64_t(kDotlaneMaxFrameBytes))) {
        held.too_many = true;
        return;
    }
    held.frames.push_back(std::move(rgba));
    held.delays.push_back(delay_ms);
}

const MemoryPictures::Held* MemoryPictures::find(const std::string& name,
                                                 std::optional<std::string>& message) const {
    const auto held =
        std::find_if(held_.begin(), held_.end(), [&](const Held& h) { return h.name == name; });
    const std::string quoted = "\"" + printable_name(name) + "\"";
    if (held == held_.end()) {
        message = "Cannot open " + quoted + ": no picture of that name was given.";
        return nullptr;
    }
    const int side = kMaxRenderSide;
    if (held->file.empty() &&
        (held->width < 1 || held->height < 1 || held->width > side || held->height > side)) {
        message = quoted + " is a picture of " + std::to_string(held->width) + " x " +
                  std::to_string(held->height) + " pixels; dotlane-cli converts pictures " +
                  "up to 4096 x 4096 pixels.";
        return nullptr;
    }
    return &*held;
}

namespace {

// Why frame `f` of `held` does not hold its size's pixels, if it does not.
template <class Held> std::optional<std::string> misfit(const Held& held, std::size_t f) {
    const std::size_t count = std::size_t(held.width) * std::size_t(held.height);
    if (held.frames[f].size() == count * 4) return std::nullopt;
    return "\"" + printable_name(held.name) + "\" holds " + std::to_string(held.frames[f].size()) +
           " bytes of pixels, not the " + std::to_string(count * 4) + " of its size.";
}

// Frame `f` of `held` as grey over `background` into `grey`, or why its pixels do not fit.
template <class Held>
std::optional<std::string> grey_of(const Held& held, std::size_t f, int background,
                                   std::uint8_t* grey) {
    const std::size_t count = std::size_t(held.width) * std::size_t(held.height);
    const std::vector<std::uint8_t>& rgba = held.frames[f];
    if (auto message = misfit(held, f)) return message;
    for (std::size_t i = 0; i < count; ++i)
        grey[i] = picture::over_background(rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2],
                                           rgba[4 * i + 3], background);
    return std::nullopt;
}

} // namespace

// The first frame alone, made grey straight into the buffer the picture hands on.
SourcePicture MemoryPictures::read(const std::string& name, int background) {
    SourcePicture read;
    const Held* held = find(name, read.error);
    if (!held) return read;
    if (!held->file.empty()) return read_frames(name, background, {});
    auto pixels = std::make_shared<std::vector<std::uint8_t>>(std::size_t(held->width) *
                                                              std::size_t(held->height));
    read.error = grey_of(*held, 0, background, pixels->data());
    if (!read.error) read.grey = {held->width, held->height, pixels->data(), pixels};
    for (const std::vector<std::uint8_t>& frame : held->frames)
        read.file_size += frame.size();
    if (held->file_size) read.file_size = held->file_size;
    return read;
}

// The first frame's rows handed over as held, nothing computed: the reduction reads them.
SourcePicture MemoryPictures::read_colour(const std::string& name, const ColourRows& rows) {
    SourcePicture read;
    const Held* held = find(name, read.error);
    if (!held) return read;
    if (!held->file.empty()) return read_frames(name, 255, {});
    read.error = misfit(*held, 0);
    for (const std::vector<std::uint8_t>& frame : held->frames)
        read.file_size += frame.size();
    if (held->file_size) read.file_size = held->file_size;
    if (read.error) return read;
    const std::size_t stride = std::size_t(held->width) * 4;
    for (int y = 0; y < held->height; ++y)
        rows(held->width, held->height, y, held->frames.front().data() + stride * std::size_t(y));
    return read;
}

SourcePicture MemoryPictures::read_frames(const std::string& name, int background,
                                          const FrameSink& each) {
    SourcePicture read;
    const Held* held = find(name, read.error);
    if (!held) return read;
    const std::string quoted = "\"" + printable_name(name) + "\"";
    if (!held->file.empty()) {
        if (held->file.size() < 2 || held->file[0] != 'B' || held->file[1] != 'M')
            read.error = quoted + " is no BMP file; give other pictures as their pixels.";
        else
            read.bmp_file = held->file;
        read.file_size = held->file.size();
        return read;
    }
    if (held->too_many) {
        read.error = quoted + " is neither a 1-bit BMP file nor a picture dotlane-cli can read " +
                     "(its frames hold more than " + std::to_string(kDotlaneMaxFrameBytes >> 20) +
                     " MiB of pixels).";
        return read;
    }
    std::vector<std::uint8_t> grey(std::size_t(held->width) * std::size_t(held->height));
    for (std::size_t f = 0; f < held->frames.size() && !read.error; ++f) {
        read.file_size += held->frames[f].size();
        read.error = grey_of(*held, f, background, grey.data());
        if (!read.error)
            read.error = each({held->width, held->height, grey.data(), nullptr}, held->delays[f]);
    }
    if (held->file_size) read.file_size = held->file_size;
    return read;
}

std::string_view HeldArray::read(std::optional<std::string>&) {
    if (done_) return {};
    done_ = true;
    return text_;
}

WindowListing t6963c_listing(std::span<const std::uint8_t> bmp_file, bool invert) {
    return window_listing_of(bmp_file, false, invert);
}

WindowListing sed1565_listing(std::span<const std::uint8_t> bmp_file, bool invert) {
    return window_listing_of(bmp_file, true, invert);
}

} // namespace dotlane::engine
