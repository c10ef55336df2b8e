#include "preparation_options.h"

#include <algorithm>
#include <utility>

#include "reverse/render.h"
#include "shared/text.h"

namespace dotlane::cli {

namespace {

// The index of `text` among `names`, if it is one.
std::optional<int> one_of(const std::string& text, std::initializer_list<const char*> names) {
    int i = 0;
    for (const char* name : names) {
        if (text == name) return i;
        ++i;
    }
    return std::nullopt;
}

std::optional<int> side(std::string_view text) {
    const auto value = whole_number(text);
    if (!value || *value < 1 || *value > kMaxRenderSide) return std::nullopt;
    return int(*value);
}

std::optional<std::string> read_size(const std::string& text, Preparation& p) {
    const std::size_t x = text.find('x');
    const auto w =
        x == std::string::npos ? std::nullopt : side(std::string_view(text).substr(0, x));
    const auto h = w ? side(std::string_view(text).substr(x + 1)) : std::nullopt;
    if (!h)
        return "--size takes WxH, each a whole number from 1 to " + std::to_string(kMaxRenderSide) +
               ", not \"" + text + "\"";
    p.width = *w;
    p.height = *h;
    return std::nullopt;
}

// Every option but --size and --threshold: a word of a short list.
std::optional<std::string> read_words(const Arguments& a, Preparation& p) {
    const auto word = [&](const char* option, std::initializer_list<const char*> names,
                          const char* list) -> std::optional<std::string> {
        const auto text = a.value(option);
        if (!text || one_of(*text, names)) return std::nullopt;
        return std::string(option) + " takes " + list + ", not \"" + *text + "\"";
    };
    const auto index = [&](const char* option, std::initializer_list<const char*> names) {
        return one_of(a.value(option).value_or(""), names);
    };
    for (const auto& problem :
         {word("--background", {"white", "black"}, "white or black"),
          word("--rotate", {"0", "90", "180", "270"}, "0, 90, 180 or 270 (degrees clockwise)"),
          word("--flip", {"h", "v"}, "h or v"),
          word("--fit", {"contain", "cover", "stretch", "none"}, "contain, cover, stretch or none"),
          word("--dither", {"floyd-steinberg", "atkinson", "bayer4", "bayer8"},
               "floyd-steinberg, atkinson, bayer4 or bayer8"),
          word("--ink", {"dark", "light"}, "dark or light")})
        if (problem) return problem;
    p.background = index("--background", {"white", "black"}).value_or(0) == 0 ? 255 : 0;
    p.rotate = 90 * index("--rotate", {"0", "90", "180", "270"}).value_or(0);
    p.flip_h = a.value("--flip") == "h";
    p.flip_v = a.value("--flip") == "v";
    p.fit = Fit(index("--fit", {"contain", "cover", "stretch", "none"}).value_or(0));
    p.dither = Dither(
        index("--dither", {"", "floyd-steinberg", "atkinson", "bayer4", "bayer8"}).value_or(0));
    p.light_ink = a.value("--ink") == "light" || a.has("--invert-colors");
    return std::nullopt;
}

} // namespace

PreparationChoice preparation_choice(const Arguments& a) {
    PreparationChoice choice;
    Preparation& p = choice.preparation;
    choice.given = std::any_of(kPreparationOptions.begin(), kPreparationOptions.end(),
                               [&](const std::string& option) { return a.value(option); });
    if (const auto threshold = a.value("--threshold")) {
        const auto value = whole_number(*threshold);
        if (!value || *value > 255) {
            choice.error =
                "--threshold takes a whole number from 0 to 255, not \"" + *threshold + "\"";
            return choice;
        }
        p.threshold = int(*value);
    }
    if (const auto size = a.value("--size")) choice.error = read_size(*size, p);
    if (!choice.error) choice.error = read_words(a, p);
    if (choice.error) return choice;
    if (a.value("--fit") && !a.value("--size"))
        choice.error = "--fit needs --size: it says how the picture meets a canvas of that size";
    else if (a.value("--threshold") && a.value("--dither"))
        choice.error = "--threshold and --dither exclude each other: the error diffusions "
                       "compare with 128, the Bayer dithers with their matrix";
    else if (a.has("--invert-colors") && a.value("--ink") == "dark")
        choice.error = "--invert-colors means --ink light, so it cannot go with --ink dark";
    return choice;
}

} // namespace dotlane::cli
