#pragma once
// What the picture readers share: the file they read through a deadline, their messages, the
// grey arithmetic of one pixel, and the readers themselves, one a format.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "pictures/picture_reading.h"

namespace dotlane::picture {

using Clock = std::chrono::steady_clock;

// The file a decoder reads, through a buffer, from `base` on (a picture inside an icon
// file). Once the time is up every read fails, so a decoder meets an error at its next read
// and returns: a decoder reads its file in pieces of a few KiB as it goes, so no piece of
// work outlasts the limit by much, even for a progressive JPEG of thousands of scans.
class Source {
public:
    Source(int fd, long long size, Clock::time_point deadline)
        : fd_(fd), size_(size), deadline_(deadline) {}
    // Up to `n` bytes from the offset on; fewer at the end of the file, none once the time is
    // up.
    std::size_t read(void* data, std::size_t n);
    // The next byte, -1 at the end.
    int byte();
    bool read_exact(void* data, std::size_t n) { return read(data, n) == n; }
    long long offset() const { return offset_; }
    void seek(long long offset) { offset_ = offset; }
    long long size() const { return size_; }
    bool expired() const { return expired_; }
    bool at_end() const { return offset_ >= size_; }
    // A reading inside the file: offsets count from `base`, the size is what lies after it.
    Source part(long long base) const;

private:
    int fd_;
    long long size_;
    Clock::time_point deadline_;
    long long base_ = 0;
    bool expired_ = false;
    long long offset_ = 0;
    long long start_ = 0, length_ = 0;
    unsigned char buffer_[1 << 14];
};

int fail(DotlaneGrey* out, const std::string& why);
std::string quoted(const char* name);
std::string too_large(const char* name, long long width, long long height, int max_side);
std::string refusal(const char* name, const std::string& why);
std::string took_too_long();
std::string out_of_memory(const char* name);
// Why the open file `fd` cannot be read as a picture (not a regular file, or too large), or
// nothing; `size` is then its size.
std::optional<std::string> file_refusal(int fd, const char* name, long long& size);

// The exact arithmetic of docs/preparation.md, for one pixel laid over the grey `background`.
inline std::uint8_t over_background(int r, int g, int b, int a, int background) {
    const int luminance = (299 * r + 587 * g + 114 * b + 500) / 1000;
    return std::uint8_t((luminance * a + background * (255 - a) + 127) / 255);
}

// The grey of `out` allocated for width x height pixels, unless a side exceeds `max_side` or
// the memory is short: then the refusal, and null.
std::uint8_t* grey_pixels(const char* name, int max_side, long long width, long long height,
                          DotlaneGrey* out);

// The readers, each of one format, from the start of `source`. Each returns 0 with the grey in
// `out`, or non-zero with the refusal in `out->error`.
int read_png(Source& source, const char* name, int max_side, DotlaneGrey* out);
int read_jpeg(Source& source, const char* name, int max_side, DotlaneGrey* out);
int read_webp(Source& source, const char* name, int max_side, DotlaneGrey* out);
int read_bmp(Source& source, const char* name, int max_side, DotlaneGrey* out);
int read_pnm(Source& source, const char* name, int max_side, DotlaneGrey* out);
int read_xbm(Source& source, const char* name, int max_side, DotlaneGrey* out);
int read_xpm(Source& source, const char* name, int max_side, DotlaneGrey* out);
int read_ico(Source& source, const char* name, int max_side, DotlaneGrey* out);
// The first frame of a GIF, or (`every`) all of them handed to `frames` in turn.
int read_gif(Source& source, const char* name, int max_side, bool every, DotlaneGrey* first,
             DotlaneFrames* frames);

// A BMP picture without its file header (as an icon holds one), its pixels from `pixels` on
// (-1: right after the colour table); `mask` for an icon's AND mask below the colours.
int read_dib(Source& source, const char* name, int max_side, long long pixels, bool icon,
             DotlaneGrey* out);

} // namespace dotlane::picture
