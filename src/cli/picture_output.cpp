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

std::optional<std::vector<std::uint8_t>> colour_png(const Picture& colours, int scale, bool gaps,
                                                    std::uint32_t gap, const std::string& option,
                                                    std::ostream& err) {
    const std::uint64_t wide = std::uint64_t(colours.width) * unsigned(scale) + gaps;
    const std::uint64_t high = std::uint64_t(colours.height) * unsigned(scale) + gaps;
    if (wide * high > kMaxPicturePixels) {
        err << "A picture of " << colours.width << " x " << colours.height << " pixels at scale "
            << scale << " would be " << wide << " x " << high
            << " pixels, more than dotlane-cli makes (4097 x 4097); give a smaller " << option
            << ".\n";
        return std::nullopt;
    }
    std::vector<std::uint8_t> rgb(wide * high * 3);
    for (std::uint64_t y = 0; y < high; ++y)
        for (std::uint64_t x = 0; x < wide; ++x) {
            const bool in_gap = gaps && (x % unsigned(scale) == 0 || y % unsigned(scale) == 0);
            const std::uint64_t px = (x - gaps) / unsigned(scale),
                                py = (y - gaps) / unsigned(scale);
            const bool inside =
                !in_gap && px < unsigned(colours.width) && py < unsigned(colours.height);
            const std::uint32_t c = inside ? std::uint32_t(colours.at(int(px), int(py))) : 0;
            std::uint8_t* p = rgb.data() + (y * wide + x) * 3;
            if (inside)
                p[0] = std::uint8_t(c), p[1] = std::uint8_t(c >> 8), p[2] = std::uint8_t(c >> 16);
            else
                p[0] = std::uint8_t(gap >> 16), p[1] = std::uint8_t(gap >> 8),
                p[2] = std::uint8_t(gap);
        }
    EncodedPng png = encode_rgb_png(int(wide), int(high), rgb);
    if (png.error) {
        err << *png.error << "\n";
        return std::nullopt;
    }
    return std::move(png.bytes);
}

int emit_file(const std::vector<std::uint8_t>& bytes, const std::string& path, std::ostream& out,
              std::ostream& err) {
    Arguments to;
    to.values["-o"] = path;
    return emit({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, to, out, err);
}

} // namespace dotlane::cli
