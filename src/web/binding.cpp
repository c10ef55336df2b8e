// The engine for the page and dotlane.mjs: the very commands of dotlane-cli run on files in
// the in-memory file system, so the text and bytes are the command line's to the byte, and a
// few calls that hand back bits for painting. Pictures other than 1-bit BMP files are decoded
// by the browser; its pixels stand in for the picture readers, found by the file's inode.
#include <emscripten/emscripten.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "cli/array_input.h"
#include "cli/commands.h"
#include "cli/convert.h"
#include "cli/picture_reading.h"
#include "cli/png_writing.h"
#include "cli/preview.h"
#include "import/listings.h"
#include "reverse/guess.h"
#include "reverse/render.h"
#include "reverse/unpack.h"

using namespace dotlane;

namespace {

// RGBA as the browser decoded it, without colour management or premultiplication: every
// frame composed, one after another.
struct Decoded {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    std::vector<int> delays;
    // The grey of the first frame over the last background asked for: a changed option
    // re-reads the picture, and the grey is then ready.
    std::vector<std::uint8_t> grey;
    int grey_background = -1;
};
std::map<long long, Decoded> g_decoded;

std::string g_out, g_err;
std::vector<std::int32_t> g_result; // the bits calls' answer: a header of ints, then bytes

void grey_frame(const Decoded& d, std::size_t frame, int background, std::uint8_t* grey) {
    const std::size_t n = std::size_t(d.width) * std::size_t(d.height);
    const std::uint8_t* p = d.rgba.data() + frame * n * 4;
    for (std::size_t i = 0; i < n; ++i, p += 4) {
        const int luminance = (299 * p[0] + 587 * p[1] + 114 * p[2] + 500) / 1000;
        grey[i] = std::uint8_t((luminance * p[3] + background * (255 - p[3]) + 127) / 255);
    }
}

Decoded* decoded_of(int fd, const char* name, char* error, std::size_t room) {
    struct stat info {};
    const auto found = ::fstat(fd, &info) == 0 ? g_decoded.find(info.st_ino) : g_decoded.end();
    if (found != g_decoded.end()) return &found->second;
    std::snprintf(error, room,
                  "\"%s\" is neither a 1-bit BMP file nor a picture the browser can decode.", name);
    return nullptr;
}

bool too_large(const Decoded& d, const char* name, int max_side, char* error, std::size_t room) {
    if (d.width <= max_side && d.height <= max_side) return false;
    std::snprintf(error, room,
                  "\"%s\" is a picture of %d x %d pixels; dotlane-cli converts pictures up to "
                  "%d x %d pixels.",
                  name, d.width, d.height, max_side, max_side);
    return true;
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

std::uint32_t crc32(const std::uint8_t* p, std::size_t n) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

void chunk(std::vector<std::uint8_t>& png, const char* type,
           const std::vector<std::uint8_t>& data) {
    put32(png, std::uint32_t(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    put32(png, crc32(png.data() + start, png.size() - start));
}

// A PNG of stored deflate blocks: the pictures it serves are small, and a compressor would
// outweigh the rest of the engine.
std::vector<std::uint8_t> png_of(const std::uint8_t* indices, int width, int height,
                                 const std::uint32_t* palette, int colours) {
    std::vector<std::uint8_t> head, plte, raw, z = {0x78, 0x01},
                                               png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    put32(head, std::uint32_t(width));
    put32(head, std::uint32_t(height));
    head.insert(head.end(), {8, 3, 0, 0, 0});
    for (int i = 0; i < colours; ++i)
        plte.insert(plte.end(), {std::uint8_t(palette[i] >> 16), std::uint8_t(palette[i] >> 8),
                                 std::uint8_t(palette[i])});
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), indices + std::size_t(y) * width,
                   indices + std::size_t(y + 1) * width);
    }
    std::uint32_t a = 1, b = 0;
    for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        z.insert(z.end(), {std::uint8_t(at + n == raw.size()), std::uint8_t(n),
                           std::uint8_t(n >> 8), std::uint8_t(~n), std::uint8_t(~n >> 8)});
        z.insert(z.end(), raw.begin() + long(at), raw.begin() + long(at + n));
    }
    for (const std::uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    put32(z, b << 16 | a);
    chunk(png, "IHDR", head);
    chunk(png, "PLTE", plte);
    chunk(png, "IDAT", z);
    chunk(png, "IEND", {});
    return png;
}

std::vector<std::string> split_args(const char* args, int length) {
    std::vector<std::string> list;
    for (const char *at = args, *end = args + length; at < end; at += list.back().size() + 1)
        list.emplace_back(at);
    return list;
}

void put_bits(const Bitmap& bits) {
    const std::size_t at = g_result.size();
    g_result.push_back(bits.width);
    g_result.push_back(bits.height);
    g_result.resize(at + 2 + (bits.bits.size() + 3) / 4);
    std::memcpy(g_result.data() + at + 2, bits.bits.data(), bits.bits.size());
}

} // namespace

// The picture readers' entry points, as picture_reading.h declares them: here the browser's
// pixels are the decoded picture, and no decoder is linked.
int dotlane_read_grey(int fd, const char* name, int max_side, DotlaneGrey* out) {
    Decoded* d = decoded_of(fd, name, out->error, sizeof out->error);
    if (!d || too_large(*d, name, max_side, out->error, sizeof out->error)) return 1;
    if (d->grey_background != out->background) {
        d->grey.resize(std::size_t(d->width) * std::size_t(d->height));
        grey_frame(*d, 0, out->background, d->grey.data());
        d->grey_background = out->background;
    }
    out->width = d->width;
    out->height = d->height;
    out->pixels = d->grey.data();
    return 0;
}

// The pixels are the cache's, kept for the next reading.
void dotlane_free_grey(DotlaneGrey*) {}

int dotlane_read_frames(int fd, const char* name, int max_side, DotlaneFrames* out) {
    const Decoded* d = decoded_of(fd, name, out->error, sizeof out->error);
    if (!d || too_large(*d, name, max_side, out->error, sizeof out->error)) return 1;
    const std::size_t n = std::size_t(d->width) * std::size_t(d->height);
    if (n * d->delays.size() > std::size_t(kDotlaneMaxFrameBytes)) {
        std::snprintf(out->error, sizeof out->error,
                      "\"%s\" is neither a 1-bit BMP file nor a picture dotlane-cli can read "
                      "(its frames hold more than %lld MiB of pixels).",
                      name, kDotlaneMaxFrameBytes >> 20);
        return 1;
    }
    std::vector<std::uint8_t> grey(n);
    for (std::size_t f = 0; f < d->delays.size(); ++f) {
        grey_frame(*d, f, out->background, grey.data());
        DotlaneGrey frame;
        frame.background = out->background;
        frame.width = d->width;
        frame.height = d->height;
        frame.pixels = grey.data();
        if (out->frame(out->context, &frame, d->delays[f]) != 0) return 1;
    }
    out->width = d->width;
    out->height = d->height;
    out->count = int(d->delays.size());
    return 0;
}

namespace dotlane::cli {

EncodedPng encode_png(const IndexedPicture& p) {
    return {png_of(p.indices.data(), p.width, p.height, p.palette.data(), int(p.palette.size())),
            std::nullopt};
}

} // namespace dotlane::cli

extern "C" {

// A picture the browser decoded, for the file with inode `inode`; the pixels are copied.
EMSCRIPTEN_KEEPALIVE void dl_picture(int inode, int width, int height, int frames,
                                     const std::uint8_t* rgba, const int* delays) {
    Decoded& d = g_decoded[inode];
    d = {};
    d.width = width;
    d.height = height;
    d.rgba.assign(rgba, rgba + std::size_t(width) * height * 4 * frames);
    d.delays.assign(delays, delays + frames);
}

EMSCRIPTEN_KEEPALIVE void dl_forget(int inode) {
    g_decoded.erase(inode);
}

// One dotlane-cli command line, its arguments separated by NUL: the exit status, the text
// in dl_out and dl_err.
EMSCRIPTEN_KEEPALIVE int dl_run(const char* args, int length) {
    std::istringstream in;
    std::ostringstream out, err;
    const int status = cli::run(split_args(args, length), in, out, err);
    g_out = out.str();
    g_err = err.str();
    return status;
}

EMSCRIPTEN_KEEPALIVE const char* dl_out() {
    return g_out.data();
}
EMSCRIPTEN_KEEPALIVE int dl_out_size() {
    return int(g_out.size());
}
EMSCRIPTEN_KEEPALIVE const char* dl_err() {
    return g_err.data();
}
EMSCRIPTEN_KEEPALIVE int dl_err_size() {
    return int(g_err.size());
}
EMSCRIPTEN_KEEPALIVE const std::int32_t* dl_result() {
    return g_result.data();
}

// What convert makes of one picture (convert's options, one picture file): the glass (1 for
// an OLED); the bits a display reads, as width, height and a byte a pixel; the bytes' count
// and the bytes.
EMSCRIPTEN_KEEPALIVE int dl_shown(const char* args, int length) {
    std::vector<std::string> valued = cli::kConvertValued;
    valued.insert(valued.end(),
                  {"--table", "--header", "--source", "--compress", "--depfile", "--name-prefix"});
    std::vector<std::string> flags = cli::kConvertFlags;
    flags.push_back("--frames");
    const cli::Arguments a = cli::parse(split_args(args, length), flags, valued);
    std::ostringstream err;
    g_result.clear();
    auto made = a.error ? std::variant<cli::Conversion, int>(cli::usage(err, *a.error))
                        : cli::convert_picture(a, false, err);
    g_err = err.str();
    if (std::holds_alternative<int>(made)) return std::get<int>(made);
    const cli::Conversion& c = std::get<cli::Conversion>(made);
    g_result.push_back(c.target && c.target->glass == cli::Glass::oled);
    put_bits(cli::shown_bits(c));
    const std::vector<std::uint8_t>& bytes = c.listing.bytes;
    const std::size_t at = g_result.size();
    g_result.push_back(int(bytes.size()));
    g_result.resize(at + 1 + (bytes.size() + 3) / 4);
    std::memcpy(g_result.data() + at + 1, bytes.data(), bytes.size());
    return 0;
}

// The 1-bit BMP file at `path` (render's own output) as bits, set where the file is dark.
EMSCRIPTEN_KEEPALIVE int dl_bmp_bits(const char* path) {
    g_result.clear();
    const LoadedFile file = load_bmp_file(path);
    if (!file.accepted()) return 1;
    put_bits(decode_bits(file.header, file.bytes, false));
    return 0;
}

// guess's readings of the array at `path`, best first, at most `most`: for each the layout
// (as bit_layout_named numbers it, 4 for t6963c), width, height, the score in millionths
// and the bits.
EMSCRIPTEN_KEEPALIVE int dl_guess(const char* args, int length, int most) {
    const cli::Arguments a = cli::parse(split_args(args, length), {}, {"--input", "--name"});
    std::istringstream in;
    std::ostringstream err;
    g_result.clear();
    cli::ArraySource source;
    const auto problem = a.error ? a.error : cli::array_source(a, a.operands.at(0), source);
    if (problem) {
        g_err = *problem;
        return cli::kUsage;
    }
    source.head = true;
    const std::size_t room = std::size_t(kMaxRenderSide) * kMaxRenderSide / 8;
    auto array = cli::read_array(source, in, room, room, err);
    g_err = err.str();
    if (!array) return cli::kBadInput;
    const std::vector<Candidate> found = guess_shapes(array->bytes, array->head);
    g_result.push_back(int(std::min<std::size_t>(found.size(), std::size_t(most))));
    for (std::size_t i = 0; i < found.size() && int(i) < most; ++i) {
        const Shape& s = found[i].shape;
        g_result.push_back(s.t6963c ? 4 : int(s.layout));
        g_result.push_back(int(found[i].score * 1e6 + (found[i].score < 0 ? -0.5 : 0.5)));
        put_bits(unpack_bits(array->bytes, s.layout, s.width, s.height, s.t6963c));
    }
    return 0;
}

} // extern "C"
