#pragma once
// The engine's pictures read from files: a 1-bit BMP file by the window's own reading, any
// other picture by the decoder of its format, within the decoders' limits.
#include "engine/dotlane.h"

namespace dotlane::cli {

class FilePictures : public engine::PictureSource {
public:
    engine::SourcePicture read(const std::string& path, int background) override;
    engine::SourcePicture read_frames(const std::string& path, int background,
                                      const engine::FrameSink& each) override;
    engine::SourcePicture read_colour(const std::string& path,
                                      const engine::ColourRows& rows) override;
};

} // namespace dotlane::cli
