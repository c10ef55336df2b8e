#include "picture_input.h"

#include <dlfcn.h>
#include <filesystem>
#include <memory>

#include "picture_module.h"

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

// Black where the luminance of the pixel laid over white by its alpha is below `threshold`.
Picture threshold_picture(const DotlaneRgba& rgba, int threshold) {
    Picture picture(rgba.width, rgba.height, kWhite);
    const std::uint8_t* p = rgba.pixels;
    for (int y = 0; y < rgba.height; ++y)
        for (int x = 0; x < rgba.width; ++x, p += 4) {
            const int luminance = (299 * p[0] + 587 * p[1] + 114 * p[2] + 500) / 1000;
            const int over_white = (luminance * p[3] + 255 * (255 - p[3]) + 127) / 255;
            if (over_white < threshold) picture.set(x, y, kBlack);
        }
    return picture;
}

// The module beside the program (in the build folder), else where the install puts it.
struct PictureModule {
    DotlaneReadRgba read = nullptr;
    DotlaneFreeRgba free = nullptr;
    std::string error;
};

PictureModule load_module() {
    namespace fs = std::filesystem;
    std::error_code ignored;
    const fs::path program = fs::read_symlink("/proc/self/exe", ignored);
    std::string why;
    for (const fs::path& path :
         {program.parent_path() / "dotlane-qimage.so",
          program.parent_path() / DOTLANE_MODULE_DIR / "dotlane-qimage.so"}) {
        void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            why += (why.empty() ? "" : "; ") + std::string(::dlerror());
            continue;
        }
        PictureModule module;
        module.read = reinterpret_cast<DotlaneReadRgba>(::dlsym(handle, "dotlane_read_rgba"));
        module.free = reinterpret_cast<DotlaneFreeRgba>(::dlsym(handle, "dotlane_free_rgba"));
        if (module.read && module.free) return module;
        why += (why.empty() ? "" : "; ") + path.string() + " lacks the reader's functions";
    }
    return {nullptr, nullptr,
            "dotlane-cli reads only 1-bit BMP files here: its reader for other pictures, "
            "dotlane-qimage.so, cannot be loaded (" +
                why + ")."};
}

} // namespace

InputPicture read_picture(const std::string& path, int threshold) {
    InputPicture in;
    LoadedFile file = load_bmp_file(path);
    in.file_size = file.size;
    if (file.accepted()) {
        in.picture = decode_picture(file.header, file.bytes);
        in.bmp = std::move(file);
        return in;
    }
    if (file.error || declares_one_bit(file)) {
        in.error = file.message();
        return in;
    }
    static const PictureModule module = load_module();
    if (!module.read) {
        in.error = module.error;
        return in;
    }
    DotlaneRgba rgba;
    if (module.read(path.c_str(), kMaxConvertSide, &rgba) != 0) {
        in.error = rgba.error;
        return in;
    }
    const std::unique_ptr<DotlaneRgba, DotlaneFreeRgba> owned(&rgba, module.free);
    in.picture = threshold_picture(rgba, threshold);
    return in;
}

} // namespace dotlane::cli
