#include "pictures/import.h"

#include "layout/layouts.h"
#include "pictures/bmp_file.h"

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
    if (loaded.refusal) return loaded;
    if (!file.read_prefix(loaded.header.data_end(), loaded.bytes))
        loaded.error = file.error();
    else if (loaded.bytes.size() < loaded.header.data_end())
        loaded.refusal = "Warning, this BMP file became shorter while it was being read.";
    return loaded;
}

LoadedFile check_bmp_bytes(std::vector<std::uint8_t> bytes) {
    LoadedFile loaded;
    loaded.size = bytes.size();
    loaded.bytes = std::move(bytes);
    check(loaded);
    if (!loaded.refusal) loaded.bytes.resize(loaded.header.data_end());
    return loaded;
}

ImportResult import_bmp(const LoadedFile& file, const ImportOptions& options, unsigned parts) {
    ImportResult result;
    const Header& header = file.header;
    result.facts = file_facts(header);
    if (parts & kT6963cPart)
        result.t6963c = t6963c_bytes(header, file.bytes, options.t6963c_invert);
    if (parts & (kSed1565Part | kPicturesPart)) {
        const Bitmap bits = decode_bits(header, file.bytes, options.working_invert);
        if (parts & kSed1565Part) result.sed1565 = layout_bytes(bits, BitLayout::pages_lsb);
        if (parts & kPicturesPart) {
            result.source = decode_picture(header, file.bytes);
            result.working = black_on_white(bits, bits.height + fill_rows(bits.height));
        }
    }
    return result;
}

} // namespace dotlane
