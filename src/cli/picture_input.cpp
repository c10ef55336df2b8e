#include "picture_input.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

#include "picture_module_loader.h"
#include "shared/text.h"

namespace dotlane::cli {

namespace {

// A file the window's checks refuse is still a 1-bit BMP when it says so; it keeps the
// window's answer rather than a second reading that might accept it.
bool declares_one_bit(const LoadedFile& file) {
    const auto& b = file.bytes;
    if (b.size() < 30 || b[0] != 'B' || b[1] != 'M') return false;
    const std::size_t at = file.header.info_size == 12 ? 24 : 28; // the old 12-byte header
    return (b[at] | b[at + 1] << 8) == 1;
}

// Dark where the grey the module computed (the luminance over white) is below `threshold`.
Bitmap dark_pixels(const DotlaneGrey& grey, int threshold) {
    Bitmap dark(grey.width, grey.height);
    for (std::size_t i = 0; i < dark.bits.size(); ++i)
        dark.bits[i] = grey.pixels[i] < threshold;
    return dark;
}

// The file opened for the module, or -1 and why not. Opened here by its bytes, so a name
// that is not UTF-8 reaches the module intact.
int open_for_module(const std::string& path, std::optional<std::string>& error) {
    const PictureModule& module = picture_module();
    if (!module.read) {
        error = module.error;
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) error = "Cannot open " + quoted_name(path) + ": " + std::strerror(errno) + ".";
    return fd;
}

} // namespace

InputPicture read_picture(const std::string& path, int threshold) {
    InputPicture in;
    LoadedFile file = load_bmp_file(path);
    in.file_size = file.size;
    if (file.accepted()) {
        in.width = int(file.header.width);
        in.height = int(file.header.height);
        in.bmp = std::move(file);
        return in;
    }
    if (file.error || declares_one_bit(file)) {
        in.error = file.message();
        return in;
    }
    const int fd = open_for_module(path, in.error);
    if (fd < 0) return in;
    const PictureModule& module = picture_module();
    const std::string name = printable_name(path);
    DotlaneGrey grey;
    const int status = module.read(fd, name.c_str(), kMaxConvertSide, &grey);
    ::close(fd);
    if (status != 0) {
        in.error = grey.error;
        return in;
    }
    const std::unique_ptr<DotlaneGrey, DotlaneFreeGrey> owned(&grey, module.free);
    in.dark = dark_pixels(grey, threshold);
    in.width = grey.width;
    in.height = grey.height;
    return in;
}

InputFrames read_frames(const std::string& path, int threshold, bool invert) {
    InputFrames in;
    LoadedFile file = load_bmp_file(path);
    in.file_size = file.size;
    if (file.accepted()) {
        in.width = int(file.header.width);
        in.height = int(file.header.height);
        in.frames.push_back(decode_bits(file.header, file.bytes, invert));
        in.delays.push_back(0);
        return in;
    }
    if (file.error || declares_one_bit(file)) {
        in.error = file.message();
        return in;
    }
    const int fd = open_for_module(path, in.error);
    if (fd < 0) return in;
    const PictureModule& module = picture_module();
    DotlaneFrames frames;
    const int status =
        module.read_frames(fd, printable_name(path).c_str(), kMaxConvertSide, &frames);
    ::close(fd);
    if (status != 0) {
        in.error = frames.error;
        return in;
    }
    const std::unique_ptr<DotlaneFrames, DotlaneFreeFrames> owned(&frames, module.free_frames);
    in.width = frames.width;
    in.height = frames.height;
    const std::size_t size = std::size_t(frames.width) * std::size_t(frames.height);
    for (int f = 0; f < frames.count; ++f) {
        Bitmap bits(frames.width, frames.height);
        const std::uint8_t* grey = frames.pixels + size * std::size_t(f);
        for (std::size_t i = 0; i < size; ++i)
            bits.bits[i] = (grey[i] < threshold) != invert;
        in.frames.push_back(std::move(bits));
        in.delays.push_back(frames.delays[f]);
    }
    return in;
}

} // namespace dotlane::cli
