#include "cli/picture_output.h"

#include <ostream>

#include "cli/support.h"
#include "pictures/bmp_writer.h"
#include "shared/text.h"

namespace dotlane::cli {

bool names_png(const std::string& path) {
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    for (char& c : end)
        c = char(c | 0x20);
    return end == ".png";
}

bool enlarge(std::vector<std::uint8_t>& cells, int& width, int& height, int scale,
             const std::string& option, std::ostream& err) {
    if (scale == 1) return true;
    const std::uint64_t wide = std::uint64_t(width) * unsigned(scale);
    const std::uint64_t high = std::uint64_t(height) * unsigned(scale);
    if (wide * high > kMaxPicturePixels) {
        err << "A picture of " << width << " x " << height << " pixels at scale " << scale
            << " would be " << wide << " x " << high
            << " pixels, more than dotlane-cli makes (4097 x 4097); give a smaller " << option
            << ".\n";
        return false;
    }
    std::vector<std::uint8_t> big(wide * high);
    for (std::uint64_t y = 0; y < high; ++y)
        for (std::uint64_t x = 0; x < wide; ++x)
            big[y * wide + x] = cells[y / unsigned(scale) * unsigned(width) + x / unsigned(scale)];
    cells = std::move(big);
    width = int(wide);
    height = int(high);
    return true;
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
