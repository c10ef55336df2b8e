// JPEG files with libjpeg, one scanline at a time into the grey. The grey is that of the
// decoded colours, by the one formula: libjpeg's own grey output weighs them otherwise.
// libjpeg's warnings (corrupt data, a file that ends early) refuse the file.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>
#include <memory>

#include "pictures/picture_source.h"

namespace dotlane::picture {

namespace {

// One reading. libjpeg reports errors by a jump to a setjmp, so what the jump crosses lives
// here, in memory without destructors.
struct JpegReading {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    jpeg_source_mgr input{};
    std::jmp_buf jump{};
    Source* source = nullptr;
    int background = 255;
    std::uint8_t* grey = nullptr;
    JSAMPLE* row = nullptr;
    char error[JMSG_LENGTH_MAX + 64] = {};
    JOCTET buffer[1 << 14];
};

JpegReading* reading(j_common_ptr info) {
    return reinterpret_cast<JpegReading*>(reinterpret_cast<char*>(info) -
                                          offsetof(JpegReading, info));
}

void jpeg_failed(j_common_ptr info) {
    JpegReading* r = reading(info);
    if (!r->error[0]) (*info->err->format_message)(info, r->error);
    std::longjmp(r->jump, 1);
}

// A warning (level -1) stops the reading as an error does; trace messages are dropped.
void jpeg_message(j_common_ptr info, int level) {
    if (level < 0) jpeg_failed(info);
}

void jpeg_start(j_decompress_ptr) {}
void jpeg_finish(j_decompress_ptr) {}

boolean jpeg_fill(j_decompress_ptr info) {
    JpegReading* r = reading(reinterpret_cast<j_common_ptr>(info));
    const std::size_t got = r->source->read(r->buffer, sizeof r->buffer);
    if (got == 0) {
        std::snprintf(r->error, sizeof r->error, "%s",
                      r->source->expired() ? "reading stopped" : "the file is cut short");
        std::longjmp(r->jump, 1);
    }
    r->input.next_input_byte = r->buffer;
    r->input.bytes_in_buffer = got;
    return TRUE;
}

void jpeg_skip(j_decompress_ptr info, long count) {
    JpegReading* r = reading(reinterpret_cast<j_common_ptr>(info));
    while (count > long(r->input.bytes_in_buffer)) {
        count -= long(r->input.bytes_in_buffer);
        jpeg_fill(info);
    }
    if (count > 0) {
        r->input.next_input_byte += count;
        r->input.bytes_in_buffer -= std::size_t(count);
    }
}

// The whole decoding; false with `error` set if libjpeg failed or warned.
bool jpeg_decode(JpegReading* r, const char* name, int max_side, DotlaneGrey* out) {
    if (setjmp(r->jump)) return false;
    jpeg_create_decompress(&r->info);
    r->info.src = &r->input;
    jpeg_read_header(&r->info, TRUE);
    if (r->info.image_width > JDIMENSION(max_side) || r->info.image_height > JDIMENSION(max_side)) {
        fail(out, too_large(name, r->info.image_width, r->info.image_height, max_side));
        return false;
    }
    // Adobe's CMYK is stored inverted, and stays so: each colour is scaled by the black.
    const bool cmyk = r->info.jpeg_color_space == JCS_CMYK || r->info.jpeg_color_space == JCS_YCCK;
    r->info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&r->info);
    const std::size_t w = r->info.output_width;
    r->grey = grey_pixels(name, max_side, w, r->info.output_height, out);
    r->row = static_cast<JSAMPLE*>(std::malloc(4 * w));
    if (!r->grey || !r->row) {
        if (r->grey) fail(out, out_of_memory(name));
        return false;
    }
    const bool rgba = out->channels == 4; // the colours kept, four bytes a pixel, all opaque
    while (r->info.output_scanline < r->info.output_height) {
        std::uint8_t* grey = r->grey + w * r->info.output_scanline * (rgba ? 4 : 1);
        jpeg_read_scanlines(&r->info, &r->row, 1);
        const JSAMPLE* p = r->row;
        for (std::size_t x = 0; x < w; ++x)
            if (rgba) {
                for (std::size_t k = 0; k < 3; ++k)
                    grey[4 * x + k] =
                        std::uint8_t(cmyk ? p[4 * x + 3] * p[4 * x + k] / 255 : p[3 * x + k]);
                grey[4 * x + 3] = 255;
            } else if (cmyk) {
                const int k = p[4 * x + 3];
                grey[x] = over_background(k * p[4 * x] / 255, k * p[4 * x + 1] / 255,
                                          k * p[4 * x + 2] / 255, 255, r->background);
            } else {
                grey[x] = over_background(p[3 * x], p[3 * x + 1], p[3 * x + 2], 255, 255);
            }
    }
    jpeg_finish_decompress(&r->info);
    return true;
}

} // namespace

int read_jpeg(Source& source, const char* name, int max_side, DotlaneGrey* out) {
    const auto r = std::make_unique<JpegReading>();
    r->source = &source;
    r->background = out->background;
    r->info.err = jpeg_std_error(&r->errors);
    r->errors.error_exit = jpeg_failed;
    r->errors.emit_message = jpeg_message;
    r->input.init_source = jpeg_start;
    r->input.fill_input_buffer = jpeg_fill;
    r->input.skip_input_data = jpeg_skip;
    r->input.resync_to_restart = jpeg_resync_to_restart;
    r->input.term_source = jpeg_finish;
    const bool read = jpeg_decode(r.get(), name, max_side, out);
    jpeg_destroy_decompress(&r->info);
    std::free(r->row);
    if (read) return 0;
    if (out->error[0]) return 1; // the size, or the memory
    return fail(out, refusal(name, r->error));
}

} // namespace dotlane::picture
