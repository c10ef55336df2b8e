#include "working_copy.h"

namespace dotlane {

int fill_rows(int height) {
    return (8 - height % 8) % 8;
}

Picture paint_working_copy(const Picture& source, SharedState& state) {
    const int fill = fill_rows(source.height);
    Picture working(source.width, source.height + fill, kWhite);
    for (int x = 0; x < source.width; ++x) {
        for (int y = 0; y < source.height; ++y) {
            const Colour colour = source.at(x, y);
            state.source_grid.at(x, y) = colour;
            const Colour painted = is_ink(colour, state.invert_colours != 0) ? kBlack : kWhite;
            working.set(x, y, painted);
            state.pixel_grid.at(x, y) = painted;
        }
        for (int y = source.height; y < source.height + fill; ++y)
            state.pixel_grid.at(x, y) = kWhite;
    }
    return working;
}

Picture decode_picture(const Header& header, std::span<const std::uint8_t> file) {
    const Geometry& g = header.geometry;
    const int width = int(header.width);
    Picture picture(width, g.rows, kWhite);
    for (int y = 0; y < g.rows; ++y) {
        const int stored_row = header.top_down ? y : g.rows - 1 - y;
        const std::size_t start = header.offset + std::size_t(stored_row) * g.stride();
        for (int x = 0; x < width; ++x) {
            const std::size_t at = start + std::size_t(x / 8);
            const int bit = at < file.size() ? (file[at] >> (7 - x % 8)) & 1 : 0;
            picture.set(x, y, header.palette[bit]);
        }
    }
    return picture;
}

} // namespace dotlane
