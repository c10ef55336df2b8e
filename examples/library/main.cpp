// A program that uses Dotlane's engine directly: it draws a ring in memory, converts it for an
// SSD1306 display, prints the C declaration, then reads the bytes back as guess does.
#include <cstdio>

#include "engine/dotlane.h"

int main() {
    namespace engine = dotlane::engine;
    const int width = 24, height = 16;
    std::vector<std::uint8_t> rgba(std::size_t(width) * height * 4, 255);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int dx = 2 * x - width + 1, dy = 2 * y - height + 1;
            const int r2 = dx * dx + dy * dy;
            if (r2 >= 100 && r2 <= 196)
                for (int c = 0; c < 3; ++c)
                    rgba[(std::size_t(y) * width + x) * 4 + c] = 0;
        }
    engine::MemoryPictures pictures;
    pictures.add_rgba("ring.png", width, height, std::move(rgba));

    const auto made =
        engine::convert_to_text({{"target", "ssd1306"}, {"name", "ring"}}, {"ring.png"}, pictures);
    if (!made.ok()) {
        std::fprintf(stderr, "%s\n", made.error->c_str());
        return 1;
    }
    std::fputs(made.text.c_str(), stdout);

    std::string listing;
    for (const std::uint8_t byte : made.bytes) {
        char entry[8];
        std::snprintf(entry, sizeof entry, "0x%02X, ", byte);
        listing += entry;
    }
    engine::HeldArray array(listing);
    const auto guessed = engine::guess({{"ascii", ""}}, array);
    if (!guessed.ok()) {
        std::fprintf(stderr, "%s\n", guessed.error->c_str());
        return 1;
    }
    const auto& best = guessed.readings.front();
    std::printf("\nguess reads it best as %s %d x %d\n", best.layout.c_str(), best.width,
                best.height);
    return 0;
}
