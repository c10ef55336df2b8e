#include "picture_module_loader.h"

#include <dlfcn.h>
#include <filesystem>
#include <memory>

namespace dotlane::cli {

namespace {

template <typename Function> Function symbol(void* handle, const char* name) {
    return reinterpret_cast<Function>(::dlsym(handle, name));
}

// The module of this very build when this is the dotlane-cli that the build made, else the
// installed one; both paths are absolute and fixed when building, so a copy of the program
// elsewhere never loads a library that merely lies beside it.
PictureModule load_module() {
    std::error_code ignored;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", ignored);
    std::vector<std::string> paths;
    if (program == DOTLANE_BUILD_CLI) paths.push_back(DOTLANE_BUILD_MODULE);
    paths.push_back(DOTLANE_MODULE_DIR "/dotlane-qimage.so");
    std::string why;
    for (const std::string& path : paths) {
        void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            why += (why.empty() ? "" : "; ") + std::string(::dlerror());
            continue;
        }
        PictureModule module;
        module.read = symbol<DotlaneReadGrey>(handle, "dotlane_read_grey");
        module.free = symbol<DotlaneFreeGrey>(handle, "dotlane_free_grey");
        module.encode_png = symbol<DotlaneEncodePng>(handle, "dotlane_encode_png");
        module.free_bytes = symbol<DotlaneFreeBytes>(handle, "dotlane_free_bytes");
        module.read_frames = symbol<DotlaneReadFrames>(handle, "dotlane_read_frames");
        if (module.read && module.free && module.encode_png && module.free_bytes &&
            module.read_frames)
            return module;
        why += (why.empty() ? "" : "; ") + path + " lacks the reader's functions";
    }
    return {nullptr,
            nullptr,
            nullptr,
            nullptr,
            nullptr,
            "dotlane-cli reads and writes only BMP files here: its module for other pictures, "
            "dotlane-qimage.so, cannot be loaded (" +
                why + ")."};
}

} // namespace

const PictureModule& picture_module() {
    static const PictureModule module = load_module();
    return module;
}

EncodedPng encode_png(const IndexedPicture& picture) {
    const PictureModule& module = picture_module();
    if (!module.encode_png) return {{}, module.error};
    DotlaneBytes png;
    if (module.encode_png(picture.indices.data(), picture.width, picture.height,
                          picture.palette.data(), int(picture.palette.size()), &png) != 0)
        return {{}, std::string(png.error)};
    const std::unique_ptr<DotlaneBytes, DotlaneFreeBytes> owned(&png, module.free_bytes);
    return {{png.data, png.data + png.size}, std::nullopt};
}

} // namespace dotlane::cli
