#include "pictures/picture_input.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

#include "shared/text.h"

namespace dotlane {

namespace {

// A file the window's checks refuse is still a 1-bit BMP when it says so; it keeps the
// window's answer rather than a second reading that might accept it.
bool declares_one_bit(const LoadedFile& file) {
    const auto& b = file.bytes;
    if (b.size() < 30 || b[0] != 'B' || b[1] != 'M') return false;
    const std::size_t at = file.header.info_size == 12 ? 24 : 28; // the old 12-byte header
    return (b[at] | b[at + 1] << 8) == 1;
}

// The file opened for the picture reader, or -1 with `in` holding an accepted 1-bit BMP file
// or why the file cannot be read.
int open_unless_bmp(const std::string& path, InputPicture& in) {
    LoadedFile file = load_bmp_file(path);
    in.file_size = file.size;
    if (file.accepted()) {
        in.width = int(file.header.width);
        in.height = int(file.header.height);
        in.bmp = std::move(file);
        return -1;
    }
    if (file.error || declares_one_bit(file)) {
        in.error = file.message();
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) in.error = "Cannot open " + quoted_name(path) + ": " + std::strerror(errno) + ".";
    return fd;
}

// Hands each frame to the caller's sink; a failure there ends the reading with its message.
int pass_frame(void* context, const DotlaneGrey* grey, int delay) {
    auto& [sink, frames] = *static_cast<std::pair<const FrameSink*, DotlaneFrames*>*>(context);
    std::optional<std::string> error;
    try {
        error = (*sink)({grey->width, grey->height, grey->pixels}, delay);
    } catch (const std::exception& e) {
        error = std::string("Cannot convert a frame: ") + e.what() + ".";
    }
    if (!error) return 0;
    std::snprintf(frames->error, sizeof frames->error, "%s", error->c_str());
    return 1;
}

} // namespace

void GreyRelease::operator()(DotlaneGrey* grey) const {
    dotlane_free_grey(grey);
    delete grey;
}

InputPicture read_picture(const std::string& path, int background) {
    InputPicture in;
    const int fd = open_unless_bmp(path, in);
    if (fd < 0) return in;
    auto grey = std::make_unique<DotlaneGrey>();
    grey->background = background;
    const int status =
        dotlane_read_grey(fd, printable_name(path).c_str(), kMaxConvertSide, grey.get());
    ::close(fd);
    if (status != 0) {
        in.error = grey->error;
        return in;
    }
    in.width = grey->width;
    in.height = grey->height;
    in.grey.reset(grey.release());
    return in;
}

namespace {

struct RowPassing {
    const RowSink* each;
    std::optional<std::string> error; // the first failure of `each`; later rows are skipped
};

void pass_row(void* context, int width, int height, int y, const std::uint8_t* rgba) {
    auto& passing = *static_cast<RowPassing*>(context);
    if (passing.error) return;
    try {
        (*passing.each)(width, height, y, rgba);
    } catch (const std::exception& e) {
        passing.error = std::string("Cannot convert the picture: ") + e.what() + ".";
    }
}

} // namespace

InputPicture read_colour_rows(const std::string& path, const RowSink& each) {
    InputPicture in;
    const int fd = open_unless_bmp(path, in);
    if (fd < 0) return in;
    DotlaneGrey colour;
    RowPassing passing{&each, std::nullopt};
    colour.channels = 4;
    colour.row = pass_row;
    colour.context = &passing;
    const int status =
        dotlane_read_grey(fd, printable_name(path).c_str(), kMaxConvertSide, &colour);
    ::close(fd);
    if (status != 0) {
        in.error = colour.error;
        return in;
    }
    // The readers that decode whole leave the rows here.
    for (int y = 0; colour.pixels && y < colour.height; ++y)
        pass_row(&passing, colour.width, colour.height, y,
                 colour.pixels + std::size_t(y) * std::size_t(colour.width) * 4);
    dotlane_free_grey(&colour);
    in.error = std::move(passing.error);
    in.width = colour.width;
    in.height = colour.height;
    return in;
}

InputPicture read_frames(const std::string& path, int background, const FrameSink& each) {
    InputPicture in;
    const int fd = open_unless_bmp(path, in);
    if (fd < 0) return in;
    DotlaneFrames frames;
    std::pair<const FrameSink*, DotlaneFrames*> context{&each, &frames};
    frames.background = background;
    frames.frame = pass_frame;
    frames.context = &context;
    const int status =
        dotlane_read_frames(fd, printable_name(path).c_str(), kMaxConvertSide, &frames);
    ::close(fd);
    if (status != 0) {
        in.error = frames.error;
        return in;
    }
    in.width = frames.width;
    in.height = frames.height;
    return in;
}

} // namespace dotlane
