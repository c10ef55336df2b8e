#include "cli/picture_output.h"

#include <ostream>

#include "cli/support.h"
#include "pictures/bmp_writer.h"

namespace dotlane::cli {

bool names_png(const std::string& path) {
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    for (char& c : end)
        c = char(c | 0x20);
    return end == ".png";
}

std::optional<std::vector<std::uint8_t>> png_file(const IndexedPicture& picture,
                                                  std::ostream& err) {
    EncodedPng png = encode_png(picture);
    if (png.error) {
        err << *png.error << "\n";
        return std::nullopt;
    }
    return std::move(png.bytes);
}

std::optional<std::vector<std::uint8_t>> bitmap_file(Bitmap bits, bool light,
                                                     const std::string& path, std::ostream& err) {
    if (names_png(path))
        return png_file({bits.width, bits.height, std::move(bits.bits),
                         light ? std::vector<std::uint32_t>{0x000000, 0xFFFFFF}
                               : std::vector<std::uint32_t>{0xFFFFFF, 0x000000}},
                        err);
    if (light)
        for (std::uint8_t& bit : bits.bits)
            bit ^= 1;
    return encode_mono_bmp(bits);
}

int emit_file(const std::vector<std::uint8_t>& bytes, const std::string& path, std::ostream& out,
              std::ostream& err) {
    Arguments to;
    to.values["-o"] = path;
    return emit({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, to, out, err);
}

} // namespace dotlane::cli
