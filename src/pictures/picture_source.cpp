// The reading of pictures other than 1-bit BMP files: the format told by the file's first
// bytes, each read by its own decoder straight into one grey byte a pixel.
//
// Bounds. A file over kDotlaneMaxPictureFile bytes is refused before decoding, and so is a
// picture whose header declares a side over the limit. Decoding has kDotlaneDecodeSeconds of
// wall-clock time: decoders read through Source, whose reads fail once the time is up.
// Damage a decoder only warns of (a JPEG cut short, a CRC error in a PNG chunk) refuses the
// file all the same: nothing is listed from what could be read.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "pictures/picture_source.h"

namespace dotlane::picture {

std::size_t Source::read(void* data, std::size_t n) {
    if (Clock::now() > deadline_) expired_ = true;
    if (expired_) return 0;
    auto* to = static_cast<unsigned char*>(data);
    std::size_t done = 0;
    while (done < n && offset_ < size_) {
        if (offset_ < start_ || offset_ >= start_ + length_) {
            const ssize_t got = ::pread(fd_, buffer_, sizeof buffer_, off_t(base_ + offset_));
            if (got <= 0) break;
            start_ = offset_;
            length_ = std::min<long long>(got, size_ - offset_);
        }
        const std::size_t k =
            std::min<std::size_t>(n - done, std::size_t(start_ + length_ - offset_));
        std::memcpy(to + done, buffer_ + (offset_ - start_), k);
        done += k;
        offset_ += static_cast<long long>(k);
    }
    return done;
}

int Source::byte() {
    unsigned char b = 0;
    return read(&b, 1) == 1 ? b : -1;
}

Source Source::part(long long base) const {
    Source inner(fd_, std::max(size_ - base, 0LL), deadline_);
    inner.base_ = base_ + base;
    return inner;
}

int fail(DotlaneGrey* out, const std::string& why) {
    std::free(out->pixels);
    out->pixels = nullptr;
    std::snprintf(out->error, sizeof out->error, "%s", why.c_str());
    return 1;
}

std::string quoted(const char* name) {
    return std::string("\"") + name + "\"";
}

std::string too_large(const char* name, long long width, long long height, int max_side) {
    const std::string side = std::to_string(max_side);
    return quoted(name) + " is a picture of " + std::to_string(width) + " x " +
           std::to_string(height) + " pixels; dotlane-cli converts pictures up to " + side + " x " +
           side + " pixels.";
}

std::string refusal(const char* name, const std::string& why) {
    return quoted(name) + " is neither a 1-bit BMP file nor a picture dotlane-cli can read (" +
           why + ").";
}

std::string took_too_long() {
    return "its decoding took longer than " + std::to_string(kDotlaneDecodeSeconds) + " s";
}

std::string out_of_memory(const char* name) {
    return "Out of memory reading " + quoted(name) + ".";
}

std::optional<std::string> file_refusal(int fd, const char* name, long long& size) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return quoted(name) + " is not a regular file, so it cannot be a picture.";
    if (info.st_size > kDotlaneMaxPictureFile)
        return quoted(name) + " holds " + std::to_string(info.st_size) +
               " bytes; dotlane-cli reads pictures of up to " +
               std::to_string(kDotlaneMaxPictureFile >> 20) + " MiB.";
    size = info.st_size;
    return std::nullopt;
}

std::uint8_t* grey_pixels(const char* name, int max_side, long long width, long long height,
                          DotlaneGrey* out) {
    if (width > max_side || height > max_side) {
        fail(out, too_large(name, width, height, max_side));
        return nullptr;
    }
    if (width <= 0 || height <= 0) {
        fail(out, refusal(name, "the picture has no pixels"));
        return nullptr;
    }
    std::free(out->pixels);
    const std::size_t channels = out->channels == 4 ? 4 : 1;
    out->pixels =
        static_cast<std::uint8_t*>(std::malloc(std::size_t(width * height) * channels + 1));
    if (!out->pixels) {
        fail(out, out_of_memory(name));
        return nullptr;
    }
    out->width = int(width);
    out->height = int(height);
    return out->pixels;
}

namespace {

enum class Format { png, jpeg, gif, webp, bmp, pnm, xbm, xpm, ico, unknown };

Format format_of(Source& source) {
    unsigned char b[16] = {};
    const std::size_t n = source.read(b, sizeof b);
    source.seek(0);
    const auto starts = [&](const char* text, std::size_t at = 0) {
        const std::size_t length = std::strlen(text);
        return n >= at + length && std::memcmp(b + at, text, length) == 0;
    };
    if (starts("\x89PNG\r\n\x1a\n")) return Format::png;
    if (starts("\xff\xd8\xff")) return Format::jpeg;
    if (starts("GIF87a") || starts("GIF89a")) return Format::gif;
    if (starts("RIFF") && starts("WEBP", 8)) return Format::webp;
    if (starts("BM")) return Format::bmp;
    if (n >= 3 && b[0] == 'P' && b[1] >= '1' && b[1] <= '6' && std::strchr(" \t\r\n#", b[2]))
        return Format::pnm;
    if (starts("/* XPM")) return Format::xpm;
    if (starts("#define")) return Format::xbm;
    if (n >= 6 && b[0] == 0 && b[1] == 0 && (b[2] == 1 || b[2] == 2) && b[3] == 0 &&
        (b[4] | b[5]) != 0)
        return Format::ico;
    return Format::unknown;
}

bool keeps_colour(Format format) {
    return format != Format::unknown;
}

int read_still(Source& source, Format format, const char* name, int max_side, DotlaneGrey* out) {
    switch (format) {
    case Format::png:
        return read_png(source, name, max_side, out);
    case Format::jpeg:
        return read_jpeg(source, name, max_side, out);
    case Format::gif:
        return read_gif(source, name, max_side, false, out, nullptr);
    case Format::webp:
        return read_webp(source, name, max_side, out);
    case Format::bmp:
        return read_bmp(source, name, max_side, out);
    case Format::pnm:
        return read_pnm(source, name, max_side, out);
    case Format::xbm:
        return read_xbm(source, name, max_side, out);
    case Format::xpm:
        return read_xpm(source, name, max_side, out);
    case Format::ico:
        return read_ico(source, name, max_side, out);
    case Format::unknown:
        break;
    }
    return fail(out, refusal(name, "Unsupported image format"));
}

} // namespace

} // namespace dotlane::picture

using namespace dotlane::picture;

int dotlane_read_grey(int fd, const char* name, int max_side, DotlaneGrey* out) {
    long long size = 0;
    if (const auto why = file_refusal(fd, name, size)) return fail(out, *why);
    Source source(fd, size, Clock::now() + std::chrono::seconds(kDotlaneDecodeSeconds));
    const int status = read_still(source, format_of(source), name, max_side, out);
    if (status != 0 && source.expired()) return fail(out, refusal(name, took_too_long()));
    return status;
}

bool dotlane_reads_colour(int fd) {
    long long size = 0;
    if (file_refusal(fd, "", size)) return false;
    Source source(fd, size, Clock::now() + std::chrono::seconds(kDotlaneDecodeSeconds));
    return keeps_colour(format_of(source));
}

void dotlane_free_grey(DotlaneGrey* picture) {
    std::free(picture->pixels);
    picture->pixels = nullptr;
}

int dotlane_read_frames(int fd, const char* name, int max_side, DotlaneFrames* out) {
    long long size = 0;
    DotlaneGrey grey;
    grey.background = out->background;
    const auto refused = [&] {
        std::snprintf(out->error, sizeof out->error, "%s", grey.error);
        return 1;
    };
    if (const auto why = file_refusal(fd, name, size)) return fail(&grey, *why), refused();
    Source source(fd, size, Clock::now() + std::chrono::seconds(kDotlaneDecodeSeconds));
    const Format format = format_of(source);
    if (format == Format::gif) {
        const int status = read_gif(source, name, max_side, true, &grey, out);
        if (status != 0 && source.expired()) fail(&grey, refusal(name, took_too_long()));
        // The caller's own refusal of a frame is in `out` already.
        return status == 0 ? 0 : grey.error[0] ? refused() : status;
    }
    // A still picture is one frame, of no delay.
    if (read_still(source, format, name, max_side, &grey) != 0) {
        if (source.expired()) fail(&grey, refusal(name, took_too_long()));
        return refused();
    }
    const int status = out->frame(out->context, &grey, 0);
    dotlane_free_grey(&grey);
    if (status != 0) return status;
    out->width = grey.width;
    out->height = grey.height;
    out->count = 1;
    return 0;
}
