// Still WebP files with libwebp's incremental decoder, fed the file in pieces so the time
// limit holds between them; the decoded colours, four bytes a pixel, are held whole only
// for as long as it takes to make their grey. An animated WebP file is refused.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <webp/decode.h>

#include "pictures/picture_source.h"

namespace dotlane::picture {

namespace {

struct DecoderDeleted {
    void operator()(WebPIDecoder* decoder) const { WebPIDelete(decoder); }
};

std::string webp_error(VP8StatusCode status) {
    switch (status) {
    case VP8_STATUS_OUT_OF_MEMORY:
        return "out of memory";
    case VP8_STATUS_UNSUPPORTED_FEATURE:
        return "a WebP feature that is not read";
    case VP8_STATUS_NOT_ENOUGH_DATA:
        return "the file is cut short";
    default:
        return "damaged WebP data";
    }
}

} // namespace

int read_webp(Source& source, const char* name, int max_side, DotlaneGrey* out) {
    unsigned char head[64] = {};
    const std::size_t got = source.read(head, sizeof head);
    WebPBitstreamFeatures features{};
    if (const VP8StatusCode status = WebPGetFeatures(head, got, &features); status != VP8_STATUS_OK)
        return fail(out, refusal(name, webp_error(status)));
    if (features.width > max_side || features.height > max_side)
        return fail(out, too_large(name, features.width, features.height, max_side));
    if (features.has_animation) return fail(out, refusal(name, "animated WebP files are not read"));
    std::unique_ptr<WebPIDecoder, DecoderDeleted> decoder(WebPINewRGB(MODE_RGBA, nullptr, 0, 0));
    if (!decoder) return fail(out, out_of_memory(name));
    source.seek(0);
    std::unique_ptr<unsigned char[]> piece(new unsigned char[1 << 16]);
    VP8StatusCode status = VP8_STATUS_SUSPENDED;
    while (status == VP8_STATUS_SUSPENDED) {
        const std::size_t n = source.read(piece.get(), 1 << 16);
        if (n == 0)
            return fail(
                out, refusal(name, source.expired() ? took_too_long() : "the file is cut short"));
        status = WebPIAppend(decoder.get(), piece.get(), n);
    }
    if (status != VP8_STATUS_OK) return fail(out, refusal(name, webp_error(status)));
    int width = 0, height = 0, stride = 0;
    const std::uint8_t* rgba = WebPIDecGetRGB(decoder.get(), nullptr, &width, &height, &stride);
    if (!rgba) return fail(out, refusal(name, "damaged WebP data"));
    std::uint8_t* grey = grey_pixels(name, max_side, width, height, out);
    if (!grey) return 1;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* p = rgba + std::size_t(y) * std::size_t(stride);
        if (out->channels == 4) {
            std::memcpy(grey, p, std::size_t(width) * 4);
            grey += std::size_t(width) * 4;
            continue;
        }
        for (int x = 0; x < width; ++x, p += 4)
            *grey++ = over_background(p[0], p[1], p[2], p[3], out->background);
    }
    return 0;
}

} // namespace dotlane::picture
