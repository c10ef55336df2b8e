#pragma once
// Dotlane's engine as a library: pictures in, the bytes a monochrome display reads out, and
// the bytes back into pictures. The front ends (dotlane-cli in src/cli, the window in
// src/window, the browser page in src/web) are thin: they parse their own input, read and
// write their own files, and call this header.
//
// The pipeline, one folder a stage:
//
//   pictures  src/pictures  picture files read (BMP as the window reads it, PNG, JPEG, GIF,
//                           WebP, PNM, XBM, XPM, ICO) and written (BMP, PNG)
//   prepare   src/prepare   grey pixels turned, fitted, made black and white, given the ink
//   lay out   src/layout    set bits into a byte layout, the window's listings, bytes back
//   declare   src/declare   bytes as text: styles, C arrays, targets, bundles, RLE, names
//   write     src/write     whole-file output put in place at once, Make's dependency rule
//   back      src/back      listings and C arrays read back, rendered, guessed, checked
//   fonts     src/fonts     font files read with FreeType, written in the draw calls' formats
//                           and read back from C source; its call is engine/font.h, in the
//                           dotlane_fonts library, which alone brings FreeType
//
// src/engine (this header) runs the stages in order; src/digits holds the window's digit
// arithmetic; src/shared what every stage uses. The stages that transform pictures and bytes
// make no file-system call: files reach them through PictureSource and ArrayText, which the
// front end implements or fills, and text leaves them through TextSink as it is made.
//
// Every call answers with an Outcome: no error, or the message and whether the request was
// wrong (usage: nothing was read) or an input was bad. The messages are dotlane-cli's own.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shared/picture.h"

namespace dotlane {
struct LoadedFile;
}

namespace dotlane::engine {

// ---- Results --------------------------------------------------------------------------------

enum class Fault { none, usage, input };

struct Outcome {
    std::optional<std::string> error; // one message, or several lines, without the program name
    Fault fault = Fault::none;
    bool ok() const { return !error; }
};

// ---- Options --------------------------------------------------------------------------------

// An option as the front end got it, named without dashes: {"target", "ssd1306"}. A flag
// ("frames", "invert-colors", "allow-extra") has an empty value. "name" may come once a
// picture; any other option given twice keeps its last value, as on the command line.
struct Option {
    std::string name;
    std::string value;
};
using Options = std::vector<Option>;

enum class ValueKind {
    flag,   // no value
    word,   // one of `words`
    number, // a whole number
    size,   // WxH
    text,   // free text: a name, an array's name
    file,   // a file the front end reads or writes; the engine only checks names it compares
};

struct OptionSpec {
    std::string_view name; // without dashes; dotlane-cli takes "--" and this ("-o" for "o")
    ValueKind kind;
    std::string_view words;   // the accepted words, ", " between them, for word options
    std::string_view help;    // one line for a settings form
    bool per_picture = false; // given once a picture ("name")
};

// convert's options (check and preview take the same, with their own few added): the one
// table dotlane-cli and the browser page both accept, and check values by.
std::span<const OptionSpec> convert_options();
std::span<const OptionSpec> render_options();
std::span<const OptionSpec> guess_options();
std::span<const OptionSpec> check_options();

// An option the table does not hold, with the message dotlane-cli gives for it; nothing when
// all are known. The values are checked by the call that takes them.
Outcome unknown_option(std::span<const OptionSpec> table, const Options& options);

// ---- Pictures in ----------------------------------------------------------------------------

// One byte a pixel, row-major from the top left, 0 black and 255 white: each pixel's
// luminance (299 R + 587 G + 114 B + 500) / 1000 laid over the background by its alpha.
// `owner` keeps the pixels alive (the decoder's buffer, or a vector).
struct Grey {
    int width = 0, height = 0;
    const std::uint8_t* pixels = nullptr;
    std::shared_ptr<const void> owner;
};

// A picture as a front end read it: either a BMP file's bytes, which the engine imports
// exactly as the window does when it is a 1-bit one, or grey pixels; or why it cannot be
// read.
struct SourcePicture {
    std::vector<std::uint8_t> bmp_file; // a BMP file (begins "BM"), whole
    Grey grey;                          // any other picture
    std::uint64_t file_size = 0;        // for the comment of a declaration
    std::optional<std::string> error;
    // A 1-bit BMP file a reader of the engine's own has checked already, as the window
    // checks it, instead of `bmp_file`.
    std::shared_ptr<const LoadedFile> checked;
};

// Each frame of an animation as it is read, its grey gone once the call returns; an error
// stops the reading with that message.
using FrameSink = std::function<std::optional<std::string>(const Grey& frame, int delay_ms)>;

// Each row of a picture read in colour, from the top: `width` pixels of R, G, B and A (not
// premultiplied), gone once the call returns.
using ColourRows = std::function<void(int width, int height, int y, const std::uint8_t* rgba)>;

// A picture turned, flipped and scaled onto its canvas for a layout of more than one bit, in
// colour (RGBA) or in grey, with what made it: a source that converts the same picture again
// and again keeps the last one, and a conversion with the same canvas then reads and scales
// nothing.
struct PlacedPicture {
    std::string name;  // the picture's, as the request gave it
    std::string shape; // the canvas options, as the engine words them
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
    std::uint64_t file_size = 0;
};

// Where the engine gets its pictures: `name` is as the request gave it (a path for
// dotlane-cli). `background` is the grey (255 white, 0 black) transparent pixels lie over.
class PictureSource {
public:
    virtual ~PictureSource() = default;
    virtual SourcePicture read(const std::string& name, int background) = 0;
    // Every frame to `each`, one at a time; a still picture is one frame, a BMP file's bytes
    // are returned (and `each` is not called).
    virtual SourcePicture read_frames(const std::string& name, int background,
                                      const FrameSink& each) = 0;
    // The picture's colours, each row handed to `rows` as it is decoded, so a large picture
    // is never held in colour; or a 1-bit BMP file's bytes (and `rows` is not called). A
    // source that keeps no colours answers with why.
    virtual SourcePicture read_colour(const std::string& name, const ColourRows& rows);
    // Where the last placed picture stays between conversions; none by default, the canvas
    // then made again each time. The source empties it when that picture changes.
    virtual PlacedPicture* kept_canvas() { return nullptr; }
};

// Pictures held in memory, for front ends without files: BMP file bytes, or RGBA pixels
// (8 bits a channel, not premultiplied), each under a name. `file_size` is the size of the
// file the pixels were decoded from, which a declaration's comment states (0: the pixels').
class MemoryPictures : public PictureSource {
public:
    void add_file(std::string name, std::vector<std::uint8_t> bytes);
    void add_rgba(std::string name, int width, int height, std::vector<std::uint8_t> rgba,
                  std::uint64_t file_size = 0);
    // Several frames of one animation, each RGBA of the same size, with its delay in ms. A
    // still picture's reading takes the first frame alone.
    void add_frame(std::string name, int width, int height, std::vector<std::uint8_t> rgba,
                   int delay_ms, std::uint64_t file_size = 0);
    SourcePicture read(const std::string& name, int background) override;
    SourcePicture read_frames(const std::string& name, int background,
                              const FrameSink& each) override;
    SourcePicture read_colour(const std::string& name, const ColourRows& rows) override;

private:
    struct Held {
        std::string name;
        std::vector<std::uint8_t> file;
        int width = 0, height = 0;
        std::vector<std::vector<std::uint8_t>> frames; // RGBA
        std::vector<int> delays;
        std::uint64_t file_size = 0;
        // Frames past the decoders' 64 MiB of grey for a whole animation are let go as they
        // come: reading every frame is then refused, as dotlane-cli refuses such a GIF.
        bool too_many = false;
    };
    std::vector<Held> held_;
    // The picture of that name, or the message that it is none of those given.
    const Held* find(const std::string& name, std::optional<std::string>& message) const;
};

// ---- Convert --------------------------------------------------------------------------------

// Takes text as it is made, so one array at a time is held.
using TextSink = std::function<void(std::string_view)>;

struct ConvertSinks {
    TextSink text;   // what dotlane-cli prints, or with "header" the source file
    TextSink header; // the header, when the "header" option names one
};

// How the glass shows a set bit, for a preview.
enum class Look { lcd, oled, epaper };

struct Converted : Outcome {
    std::vector<std::uint8_t> bytes; // every picture's (every frame's) bytes, one after another
    Bitmap shown;                    // the first picture's bits as the display reads them back
    Picture colours; // a layout of more than one bit: the first picture's colours read back
    int width = 0, height = 0; // the first picture's pixels
    std::string layout;        // as the "layout" option names it
    Look look = Look::lcd;     // "preview-look", else the target's glass; lcd without a target
    std::vector<int> delays;   // ms, one a frame, with "frames"
};

// Converts `pictures` (names `source` knows) with `options` and writes the text dotlane-cli's
// convert prints (or the header and source pair) to `sinks`. Wrong usage is found before any
// picture is read. Options that name files only dotlane-cli writes ("o", "depfile",
// "preview") are refused here.
Converted convert(const Options& options, const std::vector<std::string>& pictures,
                  PictureSource& source, const ConvertSinks& sinks);

// The same, the text gathered: `text` and, with "header", `header`.
struct ConvertedText : Converted {
    std::string text, header;
};
ConvertedText convert_to_text(const Options& options, const std::vector<std::string>& pictures,
                              PictureSource& source);

// ---- Bytes back -----------------------------------------------------------------------------

// Where render, guess and check read an array: text (a listing, C source, a file dotlane-cli
// wrote, compressed arrays included) or raw bytes ("input" "bin"). Large input is read in
// pieces: `read` returns the next piece, empty at the end, or sets `error`.
class ArrayText {
public:
    virtual ~ArrayText() = default;
    virtual std::string_view read(std::optional<std::string>& error) = 0;
    // How messages name the input: "the standard input", "\"logo.h\"".
    virtual std::string name() const = 0;
};

// An array held whole in memory.
class HeldArray : public ArrayText {
public:
    HeldArray(std::string text, std::string name = "the input")
        : text_(std::move(text)), name_(std::move(name)) {}
    std::string_view read(std::optional<std::string>&) override;
    std::string name() const override { return name_; }

private:
    std::string text_, name_;
    bool done_ = false;
};

// render: "layout" (rows-msb, rows-lsb, pages-lsb, pages-msb, sed1565, t6963c), "width",
// "height" or "pages", "ink", "input", "name", "allow-extra", "render-scale". `warning` is set when
// the array holds fewer bytes than the picture takes (the rest stays clear).
struct Rendered : Outcome {
    Bitmap bits; // for a layout of more than one bit, the dark half of `colours`
    // A layout of more than one bit: the colours the display shows, each level spread over
    // 0 to 255 (0x00BBGGRR); empty for the layouts of one bit.
    Picture colours;
    bool light_ink = false;
    int scale = 1; // "render-scale": screen pixels a pixel, for a front end that draws it
    std::optional<std::string> warning;
};
Rendered render(const Options& options, ArrayText& array);

// guess: every reading the byte count allows, best first, each with its bits; "input",
// "name", "ink". `text` is the list dotlane-cli prints, without the terminal picture.
struct Reading {
    std::string layout; // as render's "layout" names it
    int width = 0, height = 0;
    double score = 0;
};
struct Guessed : Outcome {
    std::size_t byte_count = 0;
    std::vector<Reading> readings;
    // The bits of reading i, made on demand: a guess may hold hundreds of readings.
    std::function<Bitmap(std::size_t)> bits;
    bool light_ink = false;
    int scale = 1; // "render-scale", as for render
    std::string text;
};
Guessed guess(const Options& options, ArrayText& array);

// check: whether `array` holds what convert makes of `picture` with `options` (convert's,
// and "input"). `text` is what dotlane-cli check prints; `differ` the count of pixels that
// differ; `diff` is 0 where both are clear, 1 both set, 2 only the array, 3 only the picture.
struct Checked : Outcome {
    bool agree = false;
    std::size_t differ = 0;
    int width = 0, height = 0;
    std::vector<std::uint8_t> diff;
    std::string text;
    std::string mismatch; // the line for the error stream when they do not agree
};
Checked check(const Options& options, const std::string& picture, PictureSource& source,
              ArrayText& array);

// ---- The window's listings ------------------------------------------------------------------

// The window's T6963C or SED1565 listing of a 1-bit BMP file's bytes, byte for byte as the
// window shows it, with "Invert Colors" so or not.
struct WindowListing : Outcome {
    std::string text;
    std::vector<std::uint8_t> bytes;
};
WindowListing t6963c_listing(std::span<const std::uint8_t> bmp_file, bool invert = false);
WindowListing sed1565_listing(std::span<const std::uint8_t> bmp_file, bool invert = false);

} // namespace dotlane::engine
