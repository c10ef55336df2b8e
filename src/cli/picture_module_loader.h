#pragma once
// dotlane-qimage.so as dotlane-cli loads it: once, the first time a command needs a picture
// other than a 1-bit BMP file read or written, from absolute paths only.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "picture_module.h"

namespace dotlane::cli {

struct PictureModule {
    DotlaneReadGrey read = nullptr;
    DotlaneFreeGrey free = nullptr;
    DotlaneEncodePng encode_png = nullptr;
    DotlaneFreeBytes free_bytes = nullptr;
    DotlaneReadFrames read_frames = nullptr;
    std::string error; // why the module cannot be used, when read is null
};

const PictureModule& picture_module();

// A picture of palette indices, one byte a pixel, row-major from the top left.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;
    std::vector<std::uint32_t> palette; // 0xRRGGBB
};

struct EncodedPng {
    std::vector<std::uint8_t> bytes;
    std::optional<std::string> error;
};

EncodedPng encode_png(const IndexedPicture& picture);

} // namespace dotlane::cli
