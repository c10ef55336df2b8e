#include "engine/preparation_options.h"

#include <algorithm>
#include <iterator>

#include "back/render.h"
#include "shared/text.h"

namespace dotlane::engine {

namespace {

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

// The options that take a word of a short list, in the order read_words reads them.
struct Words {
    const char* option;
    std::vector<std::string> words;
    const char* listed; // for the message
};
const Words kWords[] = {
    {"--background", {"white", "black"}, "white or black"},
    {"--rotate", {"0", "90", "180", "270"}, "0, 90, 180 or 270 (degrees clockwise)"},
    {"--flip", {"h", "v"}, "h or v"},
    {"--fit", {"contain", "cover", "stretch", "none"}, "contain, cover, stretch or none"},
    {"--dither",
     {"floyd-steinberg", "atkinson", "bayer4", "bayer8"},
     "floyd-steinberg, atkinson, bayer4 or bayer8"},
    {"--ink", {"dark", "light"}, "dark or light"},
};

std::optional<std::string> read_words(const Arguments& a, Preparation& p) {
    int given[std::size(kWords)]; // the index of each option's word, -1 when absent
    for (std::size_t i = 0; i < std::size(kWords); ++i) {
        const Words& w = kWords[i];
        const auto text = a.value(w.option);
        const auto found = std::find(w.words.begin(), w.words.end(), text.value_or(""));
        if (text && found == w.words.end())
            return std::string(w.option) + " takes " + w.listed + ", not \"" + *text + "\"";
        given[i] = text ? int(found - w.words.begin()) : -1;
    }
    p.background = given[0] == 1 ? 0 : 255;
    p.rotate = 90 * std::max(given[1], 0);
    p.flip_h = given[2] == 0;
    p.flip_v = given[2] == 1;
    p.fit = Fit(std::max(given[3], 0));
    p.dither = Dither(given[4] + 1);
    p.light_ink = given[5] == 1 || a.has("--invert-colors");
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

} // namespace dotlane::engine
