// The library's calls for the page and dotlane.mjs, as plain C functions over the wasm
// memory: strings and bytes in as pointer and length, answers left in a few buffers that
// api.js reads. Pictures other than 1-bit BMP files arrive as the browser decoded them.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "declare/targets.h"
#include "engine/dotlane.h"
#include "layout/colour_layouts.h"
#include "web/png.h"
#include "web/tables.h"

using namespace dotlane;

namespace {

// Pictures the page holds between calls, one MemoryPictures each so that one can be let go.
// The last grey reading and the last canvas placed in colour are kept: a changed option then
// re-reads nothing, and one that leaves the canvas as it was scales nothing either.
class PagePictures : public engine::PictureSource {
public:
    engine::MemoryPictures& fresh(const std::string& name) {
        forget(name);
        return held_[name];
    }
    void forget(const std::string& name) {
        held_.erase(name);
        if (name == last_name_) last_name_.clear(), last_ = {};
        if (name == canvas_.name) canvas_ = {};
    }
    engine::SourcePicture read(const std::string& name, int background) override {
        if (name == last_name_ && background == last_background_) return last_;
        last_ = of(name).read(name, background);
        last_name_ = name;
        last_background_ = background;
        return last_;
    }
    engine::SourcePicture read_frames(const std::string& name, int background,
                                      const engine::FrameSink& each) override {
        return of(name).read_frames(name, background, each);
    }
    engine::SourcePicture read_colour(const std::string& name,
                                      const engine::ColourRows& rows) override {
        return of(name).read_colour(name, rows);
    }
    engine::PlacedPicture* kept_canvas() override { return &canvas_; }

private:
    engine::MemoryPictures& of(const std::string& name) {
        const auto found = held_.find(name);
        return found != held_.end() ? found->second : none_;
    }
    std::map<std::string, engine::MemoryPictures> held_;
    engine::MemoryPictures none_; // holds nothing: its answer names the missing picture
    std::string last_name_;
    int last_background_ = -1;
    engine::SourcePicture last_;
    engine::PlacedPicture canvas_;
};

PagePictures g_pictures;
// The answer of the last call: texts (0 the output, 1 the header or guess's layouts, 2 the
// message), bytes (the array, or a PNG file) and ints (the look and the bits).
std::string g_text[3];
std::vector<std::uint8_t> g_blob;
std::vector<std::int32_t> g_result;

std::string text_of(const char* at, int length) {
    return {at, std::size_t(std::max(length, 0))};
}

// Strings one after another, NUL after each.
std::vector<std::string> split(const char* list, int length) {
    std::vector<std::string> items;
    for (const char *at = list, *end = list + length; at < end; at += items.back().size() + 1)
        items.emplace_back(at);
    return items;
}

// Options as name, value, name, value..., a flag's value empty.
engine::Options options_of(const char* list, int length) {
    const std::vector<std::string> items = split(list, length);
    engine::Options options;
    for (std::size_t i = 0; i + 1 < items.size(); i += 2)
        options.push_back({items[i], items[i + 1]});
    return options;
}

void clear() {
    for (std::string& text : g_text)
        text.clear();
    g_blob.clear();
    g_result.clear();
}

// The status dotlane-cli would exit with, the message kept.
int failed(const engine::Outcome& made) {
    g_text[2] = *made.error;
    return made.fault == engine::Fault::usage ? 2 : 1;
}

void put_bits(const Bitmap& bits) {
    const std::size_t at = g_result.size();
    g_result.push_back(bits.width);
    g_result.push_back(bits.height);
    g_result.resize(at + 2 + (bits.bits.size() + 3) / 4);
    std::memcpy(g_result.data() + at + 2, bits.bits.data(), bits.bits.size());
}

// Width, height, then a pixel an int (0x00BBGGRR: R, G, B and 0 in the wasm's little-endian
// memory).
void put_colours(const Picture& colours) {
    g_result.push_back(colours.width);
    g_result.push_back(colours.height);
    g_result.insert(g_result.end(), colours.pixels.begin(), colours.pixels.end());
}

// The glass of the target the options name last, for how a preview shows colours.
Glass glass_of(const engine::Options& options) {
    const Target* target = nullptr;
    for (const engine::Option& option : options)
        if (option.name == "target") target = target_named(option.value);
    return target ? target->glass : Glass::lcd;
}

} // namespace

extern "C" {

// A picture under `name`: a file's bytes (a 1-bit BMP file, read exactly as the window reads
// it) when `width` is 0, else `frames` frames of RGBA with their delays; `file_size` is the
// decoded file's, for a declaration's comment. Copied.
EMSCRIPTEN_KEEPALIVE void dl_picture(const char* name, int name_length, const std::uint8_t* bytes,
                                     int length, int width, int height, int frames,
                                     const int* delays, double file_size) {
    const std::string key = text_of(name, name_length);
    engine::MemoryPictures& pictures = g_pictures.fresh(key);
    if (width == 0) return pictures.add_file(key, {bytes, bytes + length});
    const std::size_t frame = std::size_t(width) * std::size_t(height) * 4;
    for (int f = 0; f < frames; ++f)
        pictures.add_frame(key, width, height, {bytes + f * frame, bytes + (f + 1) * frame},
                           delays[f], std::uint64_t(file_size));
}

EMSCRIPTEN_KEEPALIVE void dl_forget(const char* name, int name_length) {
    g_pictures.forget(text_of(name, name_length));
}

EMSCRIPTEN_KEEPALIVE const char* dl_text(int which) {
    return g_text[which].data();
}
EMSCRIPTEN_KEEPALIVE int dl_text_size(int which) {
    return int(g_text[which].size());
}
EMSCRIPTEN_KEEPALIVE const std::uint8_t* dl_blob() {
    return g_blob.data();
}
EMSCRIPTEN_KEEPALIVE int dl_blob_size() {
    return int(g_blob.size());
}
EMSCRIPTEN_KEEPALIVE const std::int32_t* dl_result() {
    return g_result.data();
}

// convert: the text (the source and header with "header"), the bytes, and as ints the look
// (0 LCD, 1 OLED, 2 e-paper), whether the glass is a TFT's, whether the layout holds grey
// levels, whether colours follow the bits, the first picture's bits as the display reads them and,
// for a layout of more than one bit, its colours as the display shows them.
EMSCRIPTEN_KEEPALIVE int dl_convert(const char* options, int options_length, const char* names,
                                    int names_length) {
    clear();
    const engine::Options given = options_of(options, options_length);
    engine::ConvertedText made =
        engine::convert_to_text(given, split(names, names_length), g_pictures);
    if (!made.ok()) return failed(made);
    g_text[0] = std::move(made.text);
    g_text[1] = std::move(made.header);
    g_blob = std::move(made.bytes);
    const ColourLayout* colour = colour_layout_named(made.layout);
    g_result.push_back(int(made.look));
    g_result.push_back(glass_of(given) == Glass::tft);
    g_result.push_back(colour && colour->grey);
    g_result.push_back(!made.colours.pixels.empty());
    put_bits(made.shown);
    if (!made.colours.pixels.empty()) put_colours(made.colours);
    return 0;
}

// render: the bits, a layout of more than one bit's colours, the remark on missing bytes, and
// with `png` the picture in its ink or colours.
EMSCRIPTEN_KEEPALIVE int dl_render(const char* options, int options_length, const char* array,
                                   int length, int png) {
    clear();
    engine::HeldArray held(text_of(array, length));
    const engine::Rendered made = engine::render(options_of(options, options_length), held);
    if (!made.ok()) return failed(made);
    if (made.warning) g_text[2] = *made.warning;
    g_result.push_back(!made.colours.pixels.empty());
    put_bits(made.bits);
    if (!made.colours.pixels.empty()) put_colours(made.colours);
    const Bitmap& b = made.bits;
    if (png)
        g_blob = !made.colours.pixels.empty() ? web::colour_png(made.colours)
                 : made.light_ink ? web::indexed_png(b.bits, b.width, b.height, {0, 0xFFFFFF})
                                  : web::indexed_png(b.bits, b.width, b.height, {0xFFFFFF, 0});
    return 0;
}

// guess: its printed list; the layouts of the best `most` readings a line each; as ints
// their count, then for each the score in millionths and the bits.
EMSCRIPTEN_KEEPALIVE int dl_guess(const char* options, int options_length, const char* array,
                                  int length, int most) {
    clear();
    engine::HeldArray held(text_of(array, length));
    const engine::Guessed made = engine::guess(options_of(options, options_length), held);
    if (!made.ok()) return failed(made);
    g_text[0] = made.text;
    const std::size_t count = std::min(made.readings.size(), std::size_t(std::max(most, 0)));
    g_result.push_back(int(count));
    for (std::size_t i = 0; i < count; ++i) {
        const double score = made.readings[i].score;
        g_text[1] += made.readings[i].layout + "\n";
        g_result.push_back(int(score * 1e6 + (score < 0 ? -0.5 : 0.5)));
        put_bits(made.bits(i));
    }
    return 0;
}

// check: its verdict (0 agree, 1 not), the text, the line for the error stream, and the
// differences as a PNG file in dotlane-cli's colours: white both clear, grey both set, red
// only the array, blue only the picture.
EMSCRIPTEN_KEEPALIVE int dl_check(const char* options, int options_length, const char* picture,
                                  int picture_length, const char* array, int length) {
    clear();
    engine::HeldArray held(text_of(array, length));
    engine::Checked made = engine::check(options_of(options, options_length),
                                         text_of(picture, picture_length), g_pictures, held);
    if (!made.ok()) return failed(made);
    g_text[0] = std::move(made.text);
    g_text[2] = std::move(made.mismatch);
    g_blob = web::indexed_png(made.diff, made.width, made.height,
                              {0xFFFFFF, 0xC0C0C0, 0xE00000, 0x0050FF});
    return made.agree ? 0 : 1;
}

// The engine's targets, layouts and option words, for the page's pickers.
EMSCRIPTEN_KEEPALIVE void dl_tables() {
    clear();
    g_text[0] = web::tables_text();
}

// The window's SED1565 (or T6963C) listing of a 1-bit BMP file's bytes.
EMSCRIPTEN_KEEPALIVE int dl_listing(const std::uint8_t* bytes, int length, int sed1565,
                                    int invert) {
    clear();
    const std::span<const std::uint8_t> file(bytes, std::size_t(length));
    engine::WindowListing made = sed1565 ? engine::sed1565_listing(file, invert != 0)
                                         : engine::t6963c_listing(file, invert != 0);
    if (!made.ok()) return failed(made);
    g_text[0] = std::move(made.text);
    return 0;
}

} // extern "C"
