// dotlane_read_frames: every frame of an animation, composed as Qt's reader composes it (a
// GIF's disposal and transparency honoured: each read hands back the whole canvas), in grey,
// handed to the caller one at a time in one reused buffer. The limits are those of a single
// picture, the time limit covering all frames, and the frames together are bounded so that a
// long animation cannot make endless bytes.
#include <QImageReader>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "module_support.h"

using namespace dotlane::module;

namespace {

int refuse(DotlaneFrames* out, const std::string& why) {
    std::snprintf(out->error, sizeof out->error, "%s", why.c_str());
    return 1;
}

} // namespace

int dotlane_read_frames(int fd, const char* name, int max_side, DotlaneFrames* out) {
    long long file_size = 0;
    if (const auto why = file_refusal(fd, name, file_size)) return refuse(out, *why);
    DeadlineFile file(Clock::now() + std::chrono::seconds(kDotlaneDecodeSeconds));
    if (const auto why = open_own(fd, name, file)) return refuse(out, *why);
    const WarningsRecorded warnings(&file);
    QImageReader reader(&file);
    const QByteArray format = reader.format();
    const auto refused = [&](const std::string& why) { return refuse(out, refusal(name, why)); };
    const QSize declared = reader.size();
    if (declared.isValid() && (declared.width() > max_side || declared.height() > max_side))
        return refuse(out, too_large(name, declared, max_side));
    std::unique_ptr<std::uint8_t, decltype(&std::free)> pixels(nullptr, std::free);
    std::size_t used = 0;
    int count = 0;
    QSize size;
    // A still picture is one frame: only an animation's reader is asked for more.
    const bool animated = reader.supportsAnimation();
    do {
        QImage image;
        const bool read = reader.read(&image);
        if (file.expired()) return refused(took_too_long());
        if (!read || image.isNull()) return refused(reader.errorString().toStdString());
        if (!first_warning().empty()) return refused(first_warning());
        if (image.width() > max_side || image.height() > max_side)
            return refuse(out, too_large(name, image.size(), max_side));
        if (size.isValid() && image.size() != size) return refused("its frames differ in size");
        const std::size_t bytes = std::size_t(image.width()) * std::size_t(image.height());
        if (used + bytes > std::size_t(kDotlaneMaxFrameBytes))
            return refused("its frames hold more than " +
                           std::to_string(kDotlaneMaxFrameBytes >> 20) + " MiB of pixels");
        if (!size.isValid()) pixels.reset(static_cast<std::uint8_t*>(std::malloc(bytes + 1)));
        if (!pixels) return refuse(out, "Out of memory reading " + quoted(name) + ".");
        size = image.size();
        grey_image(image, pixels.get(), out->background);
        used += bytes;
        ++count;
        DotlaneGrey grey;
        grey.background = out->background;
        grey.width = size.width();
        grey.height = size.height();
        grey.pixels = pixels.get();
        if (out->frame(out->context, &grey, std::max(reader.nextImageDelay(), 0)) != 0) return 1;
    } while (animated && reader.canRead());
    if (format == "gif" && gif_cut_short(fd, true)) return refused("the file is cut short");
    out->width = size.width();
    out->height = size.height();
    out->count = count;
    return 0;
}
