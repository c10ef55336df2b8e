#pragma once
// Reading a font with FreeType from its file's bytes: outline fonts (TrueType, OpenType)
// rendered at a pixel size, bitmap fonts (BDF, PCF, also gzip-compressed) taken pixel for
// pixel with their own metrics.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "glyphs.h"

namespace dotlane::fonts {

enum class Hinting { mono, none };

struct RenderOptions {
    std::optional<int> size; // pixels; outline fonts need it, a bitmap font picks its strike
    Hinting hinting = Hinting::mono;
    bool antialias = false; // grey rendering cut at `threshold` instead of FreeType's mono
    int threshold = 128;    // 1 to 255: a grey at or above it is a set pixel
};

inline constexpr int kMinSize = 4, kMaxSize = 255;
// Bigger than any font meant for a small display, unpacked; bounds a gzip bomb too.
inline constexpr std::size_t kMaxFontBytes = std::size_t(64) << 20;

struct FontRead {
    GlyphSet set;
    std::vector<char32_t> missing; // asked for, but not in the font
    std::optional<std::string> error;
};

// The glyphs of `codes` (sorted) from the font in `bytes`; `name` only names it in messages.
FontRead read_font(std::span<const std::uint8_t> bytes, const std::vector<char32_t>& codes,
                   const RenderOptions& options, const std::string& name);

} // namespace dotlane::fonts
