#include "back/terminal_text.h"

namespace dotlane {

// A square of pixels is set when any of its pixels is.
static bool any_set(const Bitmap& bits, int x, int y, int step) {
    for (int dy = 0; dy < step && y * step + dy < bits.height; ++dy)
        for (int dx = 0; dx < step && x * step + dx < bits.width; ++dx)
            if (bits.at(x * step + dx, y * step + dy)) return true;
    return false;
}

std::string terminal_text(const Bitmap& bits, bool ascii, int step) {
    const int width = (bits.width + step - 1) / step, height = (bits.height + step - 1) / step;
    const auto at = [&](int x, int y) { return any_set(bits, x, y, step); };
    std::string text;
    if (ascii) {
        text.reserve(std::size_t(width + 1) * std::size_t(height));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                text += at(x, y) ? '#' : '.';
            text += '\n';
        }
        return text;
    }
    // UTF-8 of " ", U+2580 upper half, U+2584 lower half, U+2588 full block.
    static constexpr const char* kBlocks[] = {" ", "\xE2\x96\x80", "\xE2\x96\x84", "\xE2\x96\x88"};
    text.reserve(std::size_t(3 * width + 1) * std::size_t(height + 1) / 2);
    for (int y = 0; y < height; y += 2) {
        for (int x = 0; x < width; ++x)
            text += kBlocks[at(x, y) + 2 * (y + 1 < height && at(x, y + 1))];
        text += '\n';
    }
    return text;
}

} // namespace dotlane
