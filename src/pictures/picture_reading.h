#pragma once
// dotlane-cli's reading of pictures other than 1-bit BMP files, each format by its own
// decoder (libpng, libjpeg, giflib, libwebp) or by a small reader here (BMP of other
// depths, PBM/PGM/PPM, XBM, XPM, ICO), into one grey byte a pixel.
#include <cstdint>

// One byte a pixel, row-major from the top left: the luminance of the pixel laid over the
// background by its alpha, (299 R + 587 G + 114 B + 500) / 1000 and then (L A + B (255 - A) +
// 127) / 255, B the background's grey. A quarter of the memory of the colours, which convert
// never needs.
struct DotlaneGrey {
    int background = 255; // given by the caller: 255 over white, 0 over black
    // Given by the caller: 4 asks for the colours instead, R, G, B and A a pixel, the alpha
    // kept and not laid over the background, for the layouts of more than one bit. Every
    // format keeps them (a GIF's first frame alone, clear where nothing is drawn).
    int channels = 1;
    // With channels 4, a reader that decodes row by row (PNG) hands each row to `row` from
    // the top, RGBA, gone once it returns, and keeps no pixels (`pixels` stays null); the
    // others fill `pixels` as ever. Given by the caller, with `context` passed on.
    void (*row)(void* context, int width, int height, int y, const std::uint8_t* rgba) = nullptr;
    void* context = nullptr;
    int width = 0;
    int height = 0;
    std::uint8_t* pixels = nullptr;
    char error[1024] = {}; // why nothing was read, when pixels is null
};

// Limits of one reading: a file larger than this is refused before any decoding, and so is
// a decoding that runs longer than the time limit (a progressive JPEG of thousands of scans).
inline constexpr long long kDotlaneMaxPictureFile = 64LL << 20;
inline constexpr int kDotlaneDecodeSeconds = 5;

// Reads the picture in the open file `fd` (left open, its offset moved) unless either side
// exceeds `max_side`; `name` is the file as messages show it. Returns 0 on success; the
// pixels are then the caller's, to release with dotlane_free_grey. A file that is not
// regular, too large, cut short or damaged, and a decoder's warning, give a refusal.
int dotlane_read_grey(int fd, const char* name, int max_side, DotlaneGrey* out);
void dotlane_free_grey(DotlaneGrey* picture);
// Whether the file's format is one whose colours channels = 4 reads: every format read.
bool dotlane_reads_colour(int fd);

// Every frame of an animation (a GIF) as a viewer shows it, each the full picture in the grey
// of DotlaneGrey; a still picture is one frame. Delays are the file's own, in ms (a GIF's 0
// stays 0). The frames are handed over one at a time, so a long animation never lies in
// memory whole.
struct DotlaneFrames {
    int background = 255; // given by the caller, as for DotlaneGrey
    // Called with each frame in turn; `grey`'s pixels are the reader's and gone once it
    // returns. A non-zero answer stops the reading, with `error` as the callee wrote it.
    int (*frame)(void* context, const DotlaneGrey* grey, int delay) = nullptr;
    void* context = nullptr; // given by the caller, passed to `frame`
    int width = 0;
    int height = 0;
    int count = 0;
    char error[1024] = {};
};

// The frames together may hold this many pixels at most, which bounds the bytes they make.
inline constexpr long long kDotlaneMaxFrameBytes = 64LL << 20;

// As dotlane_read_grey, with its limits, the time limit covering all frames. A file found
// damaged after some frames were handed over is refused all the same: the caller keeps
// nothing of a reading that did not return 0.
int dotlane_read_frames(int fd, const char* name, int max_side, DotlaneFrames* out);
