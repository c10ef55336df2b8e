#pragma once
// Test pictures made in code: a small BMP writer that can also write the faulty files the
// import must refuse, and a few helpers around temporary files.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dotlane::test {

struct BmpSpec {
    int width = 8;
    int height = 8;
    // Whether the pixel (x, y), counted from the top-left corner, is black.
    std::function<bool(int, int)> ink = [](int, int) { return false; };
    bool top_down = false;
    bool white_first = false; // palette order: white at entry 0, black at entry 1
    std::uint32_t info_size = 40;
    std::uint16_t planes = 1;
    std::uint16_t bits_per_pixel = 1;
    std::uint32_t compression = 0;
    std::uint32_t colours_used = 2;
    std::string signature = "BM";
    std::optional<std::uint32_t> offset{};       // default: right after the palette
    std::optional<std::int32_t> stored_height{}; // default: height, negative when top_down
    std::optional<std::int32_t> stored_width{};  // default: width
    std::uint32_t ink_colour = 0x000000;         // 0xRRGGBB of the palette entry of inked pixels
    std::uint32_t paper_colour = 0xFFFFFF;       // and of the others
    std::size_t cut = 0;                         // bytes taken off the end
    std::size_t trailer = 0;                     // extra bytes after the last row
};

std::vector<std::uint8_t> make_bmp(const BmpSpec& spec);

// A picture of pseudo-random pixels, the same for the same seed.
std::function<bool(int, int)> random_ink(unsigned seed);

class TempDir {
public:
    TempDir();
    ~TempDir();
    std::filesystem::path path() const { return path_; }
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> read_file(const std::string& path);
void write_file(const std::string& path, const std::vector<std::uint8_t>& bytes);
int open_descriptor_count();

} // namespace dotlane::test
