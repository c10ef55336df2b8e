#include "bmp_fixture.h"

#include <fstream>
#include <random>
#include <stdexcept>
#include <unistd.h>

namespace dotlane::test {

namespace fs = std::filesystem;

static void put(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v, int n = 4) {
    for (int i = 0; i < n; ++i)
        out[at + i] = std::uint8_t(v >> (8 * i));
}

std::vector<std::uint8_t> make_bmp(const BmpSpec& s) {
    const std::uint32_t palette_entries = s.colours_used == 0 ? 2 : s.colours_used;
    const std::uint32_t palette_size = s.bits_per_pixel == 1 ? 4 * palette_entries : 64;
    const std::uint32_t offset = s.offset.value_or(14 + s.info_size + palette_size);
    const std::uint32_t row_bytes = (std::uint32_t(s.width) * s.bits_per_pixel + 31) / 32 * 4;
    const std::size_t data_end = std::size_t(offset) + std::size_t(row_bytes) * s.height;
    std::vector<std::uint8_t> out(std::max<std::size_t>(data_end, 14 + s.info_size + palette_size),
                                  0);
    out[0] = std::uint8_t(s.signature[0]);
    out[1] = std::uint8_t(s.signature[1]);
    put(out, 2, std::uint32_t(out.size()));
    put(out, 10, offset);
    put(out, 14, s.info_size);
    put(out, 18, std::uint32_t(s.stored_width.value_or(s.width)));
    put(out, 22, std::uint32_t(s.stored_height.value_or(s.top_down ? -s.height : s.height)));
    put(out, 26, s.planes, 2);
    put(out, 28, s.bits_per_pixel, 2);
    put(out, 30, s.compression);
    put(out, 34, row_bytes * s.height);
    put(out, 46, s.colours_used);
    const std::size_t palette_at = 14 + s.info_size;
    auto colour = [&](std::size_t at, std::uint32_t rgb) {
        out[at] = std::uint8_t(rgb);           // blue
        out[at + 1] = std::uint8_t(rgb >> 8);  // green
        out[at + 2] = std::uint8_t(rgb >> 16); // red
    };
    colour(palette_at, s.white_first ? s.paper_colour : s.ink_colour);
    colour(palette_at + 4, s.white_first ? s.ink_colour : s.paper_colour);
    if (s.bits_per_pixel == 1) {
        const int black_index = s.white_first ? 1 : 0;
        for (int y = 0; y < s.height; ++y) {
            const int stored = s.top_down ? y : s.height - 1 - y;
            const std::size_t row = offset + std::size_t(stored) * row_bytes;
            for (int x = 0; x < s.width; ++x) {
                const int index = s.ink(x, y) ? black_index : 1 - black_index;
                if (index) out[row + x / 8] |= std::uint8_t(0x80 >> (x % 8));
            }
        }
    }
    out.resize(out.size() - std::min(s.cut, out.size()));
    out.insert(out.end(), s.trailer, 0xAB);
    return out;
}

std::function<bool(int, int)> random_ink(unsigned seed) {
    return [seed](int x, int y) {
        std::minstd_rand rng(seed * 7919u + unsigned(x) * 104729u + unsigned(y) * 1299709u);
        rng.discard(3);
        return (rng() & 1) != 0;
    };
}

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "dotlane-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    const std::string file = (path_ / name).string();
    write_file(file, bytes);
    return file;
}

void write_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<std::uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

int open_descriptor_count() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

} // namespace dotlane::test
