#include "font_reader.h"

#include <algorithm>
#include <memory>
#include <zlib.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H

#include "characters.h"

namespace dotlane::fonts {

namespace {

// No glyph of a sane font comes near this at 255 px; a hostile one is stopped before its
// pixels are held.
constexpr int kMaxGlyphSide = 2048;

struct LibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using Library = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryDeleter>;
using Face = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDeleter>;

bool gzipped(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 2 && bytes[0] == 0x1F && bytes[1] == 0x8B;
}

// A .pcf.gz file unpacked in memory, stopped at kMaxFontBytes.
std::optional<std::string> gunzip(std::span<const std::uint8_t> in,
                                  std::vector<std::uint8_t>& out) {
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) return "cannot start unpacking";
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = uInt(std::min<std::size_t>(in.size(), kMaxFontBytes * 2));
    out.resize(0);
    int status = Z_OK;
    while (status == Z_OK) {
        if (out.size() >= kMaxFontBytes) break;
        const std::size_t done = out.size();
        out.resize(std::min(kMaxFontBytes, std::max<std::size_t>(done * 2, 65536)));
        z.next_out = out.data() + done;
        z.avail_out = uInt(out.size() - done);
        status = inflate(&z, Z_NO_FLUSH);
        out.resize(out.size() - z.avail_out);
    }
    inflateEnd(&z);
    if (status == Z_STREAM_END) return std::nullopt;
    if (status == Z_OK) return "it unpacks to more than 64 MiB";
    return "its gzip data is cut short or damaged";
}

// The pixels of FreeType's bitmap, any pixel mode, grey cut at `threshold`.
std::optional<Bitmap> bitmap_of(FT_Library library, const FT_Bitmap& source, int threshold) {
    const int width = int(source.width), height = int(source.rows);
    Bitmap bits(width, height);
    if (width == 0 || height == 0) return bits;
    FT_Bitmap grey;
    FT_Bitmap_Init(&grey);
    const FT_Bitmap* from = &source;
    int levels = 256;
    if (source.pixel_mode != FT_PIXEL_MODE_MONO && source.pixel_mode != FT_PIXEL_MODE_GRAY) {
        if (FT_Bitmap_Convert(library, &source, &grey, 1)) return std::nullopt;
        from = &grey;
        levels = std::max(2, int(grey.num_grays));
    } else if (source.pixel_mode == FT_PIXEL_MODE_GRAY) {
        levels = std::max(2, int(source.num_grays));
    }
    const int pitch = from->pitch < 0 ? -from->pitch : from->pitch;
    // A BDF glyph that gives its box but no BITMAP lines comes without a buffer: no ink.
    if (!from->buffer) {
        FT_Bitmap_Done(library, &grey);
        return bits;
    }
    if (pitch < (from->pixel_mode == FT_PIXEL_MODE_MONO ? (width + 7) / 8 : width)) {
        FT_Bitmap_Done(library, &grey);
        return std::nullopt;
    }
    for (int y = 0; y < height; ++y) {
        const unsigned char* row =
            from->buffer + std::size_t(from->pitch < 0 ? height - 1 - y : y) * std::size_t(pitch);
        for (int x = 0; x < width; ++x) {
            const bool set = from->pixel_mode == FT_PIXEL_MODE_MONO
                                 ? (row[x >> 3] & (0x80 >> (x & 7))) != 0
                                 : int(row[x]) * 255 / (levels - 1) >= threshold;
            bits.bits[std::size_t(y) * std::size_t(width) + std::size_t(x)] = set;
        }
    }
    FT_Bitmap_Done(library, &grey);
    return bits;
}

int ceil_pixels(FT_Pos value) {
    return int((value + 63) >> 6);
}

// The strike of a bitmap font: the one --size names, else the first.
std::optional<std::string> choose_strike(FT_Face face, const RenderOptions& options) {
    int chosen = 0;
    if (options.size) {
        chosen = -1;
        std::string sizes;
        for (int i = 0; i < face->num_fixed_sizes; ++i) {
            const FT_Bitmap_Size& s = face->available_sizes[i];
            const int ppem = int((s.y_ppem + 32) >> 6);
            if (chosen < 0 && (ppem == *options.size || s.height == *options.size)) chosen = i;
            sizes += (sizes.empty() ? "" : ", ") + std::to_string(s.height);
        }
        if (chosen < 0)
            return "it is a bitmap font drawn at " + sizes + " px only, not " +
                   std::to_string(*options.size);
    }
    if (FT_Select_Size(face, chosen)) return "FreeType cannot select its size";
    return std::nullopt;
}

} // namespace

FontRead read_font(std::span<const std::uint8_t> bytes, const std::vector<char32_t>& codes,
                   const RenderOptions& options, const std::string& name) {
    FontRead read;
    const auto refuse = [&](const std::string& why) {
        read.error = name + " cannot be read as a font: " + why;
        return std::move(read);
    };
    std::vector<std::uint8_t> unpacked;
    if (gzipped(bytes)) {
        if (auto problem = gunzip(bytes, unpacked)) return refuse(*problem);
        bytes = unpacked;
    }
    if (bytes.empty()) return refuse("the file is empty");
    if (bytes.size() > kMaxFontBytes) return refuse("it is larger than 64 MiB");
    FT_Library raw_library = nullptr;
    if (FT_Init_FreeType(&raw_library)) return refuse("FreeType cannot start");
    const Library library(raw_library);
    FT_Face raw_face = nullptr;
    const FT_Error opened =
        FT_New_Memory_Face(library.get(), bytes.data(), FT_Long(bytes.size()), 0, &raw_face);
    if (opened)
        return refuse("FreeType knows no font format in it, or finds it cut short or damaged "
                      "(error " +
                      std::to_string(opened) + ")");
    const Face face(raw_face);
    if (face->num_glyphs <= 0) return refuse("it holds no glyphs");
    // Unicode where the font has it; a BDF or PCF font of another registry keeps its own.
    FT_Select_Charmap(face.get(), FT_ENCODING_UNICODE);
    FT_UInt first_glyph = 0;
    FT_Get_First_Char(face.get(), &first_glyph);
    if (first_glyph == 0) return refuse("it maps no character to a glyph");

    const bool outline = FT_IS_SCALABLE(face.get());
    read.set.bitmap_font = !outline;
    if (outline) {
        if (!options.size) return refuse("it is an outline font: give the pixel size, --size N");
        if (FT_Set_Pixel_Sizes(face.get(), 0, FT_UInt(*options.size)))
            return refuse("FreeType cannot scale it to " + std::to_string(*options.size) + " px");
    } else if (auto problem = choose_strike(face.get(), options)) {
        return refuse(*problem);
    }
    const FT_Size_Metrics& metrics = face->size->metrics;
    read.set.ascent = std::max(0, ceil_pixels(metrics.ascender));
    read.set.descent = std::max(0, ceil_pixels(-metrics.descender));
    read.set.line_height = std::max(1, ceil_pixels(metrics.height));
    const int pixels = outline ? *options.size : int(metrics.y_ppem);
    read.set.description = std::string(face->family_name ? face->family_name : "unnamed") +
                           (face->style_name ? std::string(" ") + face->style_name : "") + ", " +
                           std::to_string(pixels) + " px";

    FT_Int32 flags = FT_LOAD_DEFAULT;
    if (options.hinting == Hinting::none) flags |= FT_LOAD_NO_HINTING;
    flags |= options.antialias ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO;
    const FT_Render_Mode mode = options.antialias ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO;
    for (const char32_t code : codes) {
        const FT_UInt index = FT_Get_Char_Index(face.get(), FT_ULong(code));
        if (index == 0) {
            read.missing.push_back(code);
            continue;
        }
        const FT_GlyphSlot slot = face->glyph;
        if (FT_Load_Glyph(face.get(), index, flags) ||
            (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, mode)))
            return refuse("FreeType cannot draw its glyph for " + code_name(code));
        if (int(slot->bitmap.width) > kMaxGlyphSide || int(slot->bitmap.rows) > kMaxGlyphSide)
            return refuse("its glyph for " + code_name(code) + " is " +
                          std::to_string(slot->bitmap.width) + " x " +
                          std::to_string(slot->bitmap.rows) + " pixels");
        auto bits = bitmap_of(library.get(), slot->bitmap, options.threshold);
        if (!bits) return refuse("FreeType cannot convert its glyph for " + code_name(code));
        Glyph g{code, slot->bitmap_left, slot->bitmap_top, int((slot->advance.x + 32) >> 6),
                std::move(*bits)};
        read.set.ascent = std::max(read.set.ascent, g.top);
        read.set.descent = std::max(read.set.descent, g.bits.height - g.top);
        read.set.glyphs.push_back(std::move(g));
    }
    return read;
}

} // namespace dotlane::fonts
