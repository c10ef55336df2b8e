#include "import.h"

#include "bmp_file.h"

namespace dotlane {

// The headers and palette of every accepted file lie in its first 146 bytes.
static constexpr std::uint64_t kHeadBytes = 14 + 124 + 8;

static void check(LoadedFile& loaded) {
    loaded.header = decode_header(loaded.bytes);
    loaded.refusal = refusal(loaded.header, loaded.bytes, loaded.size);
}

LoadedFile load_bmp_file(const std::string& path) {
    LoadedFile loaded;
    BmpFile file(path);
    if (!file.is_open()) {
        loaded.error = file.error();
        return loaded;
    }
    loaded.size = file.size();
    if (!file.read_prefix(kHeadBytes, loaded.bytes)) {
        loaded.error = file.error();
        return loaded;
    }
    check(loaded);
    if (loaded.refusal.empty() && !file.read_prefix(loaded.header.data_end(), loaded.bytes))
        loaded.error = file.error();
    else if (loaded.refusal.empty() && loaded.bytes.size() < loaded.header.data_end())
        loaded.refusal = "Warning, this BMP file became shorter while it was being read.";
    return loaded;
}

LoadedFile check_bmp_bytes(std::vector<std::uint8_t> bytes) {
    LoadedFile loaded;
    loaded.size = bytes.size();
    loaded.bytes = std::move(bytes);
    check(loaded);
    if (loaded.refusal.empty()) loaded.bytes.resize(loaded.header.data_end());
    return loaded;
}

ImportResult import_picture(const LoadedFile& file, const Picture& source,
                            const T6963cOptions& options, SharedState& state) {
    ImportResult result;
    result.labels = info_labels(file.header);
    result.t6963c = t6963c_listing(file.header, file.bytes, options);
    result.working = paint_working_copy(source, state);
    result.sed1565 = sed1565_listing(state.pixel_grid, result.working.height, source.width);
    return result;
}

} // namespace dotlane
