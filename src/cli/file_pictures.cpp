#include "cli/file_pictures.h"

#include "pictures/picture_input.h"

namespace dotlane::cli {

namespace {

// The reader's pixels stay the reader's, released as it allocated them, however long the
// engine holds the grey.
engine::SourcePicture source_of(InputPicture&& in) {
    engine::SourcePicture read;
    read.file_size = in.file_size;
    read.error = std::move(in.error);
    if (in.bmp) read.checked = std::make_shared<const LoadedFile>(std::move(*in.bmp));
    if (in.grey) {
        read.grey = {in.grey->width, in.grey->height, in.grey->pixels, nullptr};
        read.grey.owner = std::shared_ptr<const void>(std::move(in.grey));
    }
    return read;
}

} // namespace

engine::SourcePicture FilePictures::read(const std::string& path, int background) {
    return source_of(read_picture(path, background));
}

engine::SourcePicture FilePictures::read_colour(const std::string& path,
                                                const engine::ColourRows& rows) {
    return source_of(read_colour_rows(path, rows));
}

engine::SourcePicture FilePictures::read_frames(const std::string& path, int background,
                                                const engine::FrameSink& each) {
    return source_of(dotlane::read_frames(path, background, [&](GreyView grey, int delay) {
        return each({grey.width, grey.height, grey.pixels, nullptr}, delay);
    }));
}

} // namespace dotlane::cli
