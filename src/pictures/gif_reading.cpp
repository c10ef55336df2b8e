// GIF files with giflib, record by record, composed here as a viewer shows them: each image
// is drawn over the canvas where its pixels are not the transparent colour, then disposed of
// as its control block says (1 and 0: kept; 2: its area cleared to transparent; 3: its area
// given back what it held before). GIF pixels are transparent or opaque, so the canvas is
// kept in grey, transparent being the background's grey. The canvas itself is handed to the
// caller, one frame at a time. A still picture is the first frame, and its reading stops
// there, so a file damaged in a later frame still gives it.
#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <memory>
#include <string>
#include <vector>

#include "pictures/picture_source.h"

namespace dotlane::picture {

namespace {

int gif_input(GifFileType* gif, GifByteType* data, int length) {
    return int(static_cast<Source*>(gif->UserData)->read(data, std::size_t(length)));
}

struct GifClosed {
    void operator()(GifFileType* gif) const {
        int ignored = 0;
        DGifCloseFile(gif, &ignored);
    }
};

std::string gif_error(int code) {
    if (code == D_GIF_ERR_READ_FAILED) return "the file is cut short";
    const char* text = GifErrorString(code);
    return text ? text : "damaged GIF data";
}

// The colours of one image as greys over the background, -1 for its transparent colour.
std::vector<int> gif_greys(const ColorMapObject* map, int transparent, int background) {
    std::vector<int> greys(256, 0); // colours missing from the map are black
    for (int i = 0; map && i < map->ColorCount && i < 256; ++i)
        greys[std::size_t(i)] = over_background(map->Colors[i].Red, map->Colors[i].Green,
                                                map->Colors[i].Blue, 255, background);
    if (transparent >= 0 && transparent < 256) greys[std::size_t(transparent)] = -1;
    return greys;
}

// The clipped area of one image on the canvas.
struct Area {
    int left = 0, top = 0, width = 0, height = 0;
};

} // namespace

int read_gif(Source& source, const char* name, int max_side, bool every, DotlaneGrey* first,
             DotlaneFrames* frames) {
    int code = 0;
    const std::unique_ptr<GifFileType, GifClosed> gif(DGifOpen(&source, gif_input, &code));
    if (!gif) return fail(first, refusal(name, gif_error(code)));
    const auto refused = [&](const std::string& why) { return fail(first, refusal(name, why)); };
    const int background = first->background;
    int width = gif->SWidth, height = gif->SHeight;
    if (width > max_side || height > max_side)
        return fail(first, too_large(name, width, height, max_side));
    std::vector<std::uint8_t> line, before;
    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    long long used = 0;
    int count = 0;
    // The colours kept, four bytes a pixel, for the first frame alone (every is then false);
    // the screen starts clear.
    const bool rgba = first->channels == 4 && !every;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) return refused(gif_error(gif->Error));
        if (type == TERMINATE_RECORD_TYPE) break;
        if (type == EXTENSION_RECORD_TYPE) {
            int function = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif.get(), &function, &block) == GIF_ERROR)
                return refused(gif_error(gif->Error));
            if (function == GRAPHICS_EXT_FUNC_CODE && block && block[0] == 4)
                DGifExtensionToGCB(4, block + 1, &control);
            while (block)
                if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR)
                    return refused(gif_error(gif->Error));
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) return refused("damaged GIF data");
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return refused(gif_error(gif->Error));
        const GifImageDesc& image = gif->Image;
        if (count == 0) {
            // A screen of no size takes the first image's.
            if (width <= 0 || height <= 0) {
                width = image.Left + image.Width;
                height = image.Top + image.Height;
            }
            if (!grey_pixels(name, max_side, width, height, first)) return 1;
            std::fill_n(first->pixels, std::size_t(width) * std::size_t(height) * (rgba ? 4 : 1),
                        std::uint8_t(rgba ? 0 : background));
        }
        const std::size_t bytes = std::size_t(width) * std::size_t(height);
        if (every && used + static_cast<long long>(bytes) > kDotlaneMaxFrameBytes)
            return refused("its frames hold more than " +
                           std::to_string(kDotlaneMaxFrameBytes >> 20) + " MiB of pixels");
        std::uint8_t* canvas = first->pixels;
        const Area area{
            std::clamp(image.Left, 0, width), std::clamp(image.Top, 0, height),
            std::clamp(image.Left + image.Width, 0, width) - std::clamp(image.Left, 0, width),
            std::clamp(image.Top + image.Height, 0, height) - std::clamp(image.Top, 0, height)};
        // An image wholly off the screen leaves nothing to keep or restore.
        const bool on_screen = area.width > 0 && area.height > 0;
        if (every && on_screen && control.DisposalMode == DISPOSE_PREVIOUS) {
            before.resize(std::size_t(area.width) * std::size_t(area.height));
            for (int y = 0; y < area.height; ++y)
                std::memcpy(&before[std::size_t(y * area.width)],
                            canvas + std::size_t(area.top + y) * width + area.left,
                            std::size_t(area.width));
        }
        const ColorMapObject* map = image.ColorMap ? image.ColorMap : gif->SColorMap;
        const std::vector<int> greys = gif_greys(map, control.TransparentColor, background);
        line.resize(std::size_t(std::max(image.Width, 1)));
        // Interlaced rows come in four passes: every 8th from 0, from 4, every 4th from 2,
        // every 2nd from 1.
        static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
        for (int pass = 0; pass < (image.Interlace ? 4 : 1); ++pass)
            for (int row = image.Interlace ? kStart[pass] : 0; row < image.Height;
                 row += image.Interlace ? kStep[pass] : 1) {
                if (DGifGetLine(gif.get(), line.data(), image.Width) == GIF_ERROR)
                    return refused(gif_error(gif->Error));
                const int y = image.Top + row;
                if (y < 0 || y >= height) continue;
                for (int x = std::max(0, -image.Left); x < image.Width && image.Left + x < width;
                     ++x)
                    if (const int grey = greys[line[std::size_t(x)]]; grey >= 0) {
                        const std::size_t at = std::size_t(y) * width + std::size_t(image.Left + x);
                        if (!rgba) {
                            canvas[at] = std::uint8_t(grey);
                            continue;
                        }
                        const int i = line[std::size_t(x)];
                        const bool mapped = map && i < map->ColorCount;
                        canvas[4 * at] = mapped ? map->Colors[i].Red : 0;
                        canvas[4 * at + 1] = mapped ? map->Colors[i].Green : 0;
                        canvas[4 * at + 2] = mapped ? map->Colors[i].Blue : 0;
                        canvas[4 * at + 3] = 255;
                    }
            }
        ++count;
        used += static_cast<long long>(bytes);
        if (!every) return 0;
        if (frames->frame(frames->context, first, control.DelayTime * 10) != 0) {
            dotlane_free_grey(first);
            return 1;
        }
        if (on_screen && control.DisposalMode == DISPOSE_BACKGROUND)
            for (int y = 0; y < area.height; ++y)
                std::fill_n(canvas + std::size_t(area.top + y) * width + area.left,
                            std::size_t(area.width), std::uint8_t(background));
        else if (on_screen && control.DisposalMode == DISPOSE_PREVIOUS)
            for (int y = 0; y < area.height; ++y)
                std::memcpy(canvas + std::size_t(area.top + y) * width + area.left,
                            &before[std::size_t(y * area.width)], std::size_t(area.width));
        control = {DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    }
    if (count == 0) return refused("the file holds no picture");
    if (every) {
        frames->width = width;
        frames->height = height;
        frames->count = count;
        dotlane_free_grey(first);
    }
    return 0;
}

} // namespace dotlane::picture
