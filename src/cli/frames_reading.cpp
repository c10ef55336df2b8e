// dotlane_read_frames: every frame of an animation, composed as Qt's reader composes it (a
// GIF's disposal and transparency honoured: each read hands back the whole canvas), in grey.
// The limits are those of a single picture, the time limit covering all frames, and the
// frames together are bounded so that a long animation cannot take the memory.
#include <QImageReader>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "module_support.h"

using namespace dotlane::module;

namespace {

int refuse(DotlaneFrames* out, const std::string& why) {
    std::snprintf(out->error, sizeof out->error, "%s", why.c_str());
    return 1;
}

// Room for `more` bytes of grey past `used`, growing the block by doubling so that many
// frames are copied a few times at most.
bool make_room(DotlaneFrames* out, std::size_t used, std::size_t more, std::size_t& capacity) {
    if (used + more <= capacity) return true;
    const std::size_t wanted = std::max(used + more, 2 * capacity);
    void* grown = std::realloc(out->pixels, wanted);
    if (!grown) return false;
    out->pixels = static_cast<std::uint8_t*>(grown);
    capacity = wanted;
    return true;
}

} // namespace

int dotlane_read_frames(int fd, const char* name, int max_side, DotlaneFrames* out) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return refuse(out, quoted(name) + " is not a regular file, so it cannot be a picture.");
    if (info.st_size > kDotlaneMaxPictureFile)
        return refuse(out, quoted(name) + " holds " + std::to_string(info.st_size) +
                               " bytes; dotlane-cli reads pictures of up to " +
                               std::to_string(kDotlaneMaxPictureFile >> 20) + " MiB.");
    const int own = ::dup(fd);
    DeadlineFile file(Clock::now() + std::chrono::seconds(kDotlaneDecodeSeconds));
    if (own < 0 || !file.open(own, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (own >= 0) ::close(own);
        return refuse(out, "Cannot read " + quoted(name) + ": " + std::strerror(errno) + ".");
    }
    const WarningsRecorded warnings(&file);
    QImageReader reader(&file);
    const QByteArray format = reader.format();
    const auto refused = [&](const std::string& why) { return refuse(out, refusal(name, why)); };
    const QSize declared = reader.size();
    if (declared.isValid() && (declared.width() > max_side || declared.height() > max_side))
        return refuse(out, too_large(name, declared, max_side));
    // Handed to the caller as they stand; freed here on every refusal.
    std::unique_ptr<DotlaneFrames, void (*)(DotlaneFrames*)> owned(out, dotlane_free_frames);
    std::size_t used = 0, capacity = 0;
    std::vector<int> delays;
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
        size = image.size();
        const std::size_t bytes = std::size_t(size.width()) * std::size_t(size.height());
        if (used + bytes > std::size_t(kDotlaneMaxFrameBytes))
            return refused("its frames hold more than " +
                           std::to_string(kDotlaneMaxFrameBytes >> 20) + " MiB of pixels");
        if (!make_room(out, used, bytes, capacity))
            return refuse(out, "Out of memory reading " + quoted(name) + ".");
        grey_image(image, out->pixels + used);
        used += bytes;
        delays.push_back(std::max(reader.nextImageDelay(), 0));
    } while (animated && reader.canRead());
    if (format == "gif" && gif_cut_short(fd, true)) return refused("the file is cut short");
    out->delays = static_cast<int*>(std::malloc(delays.size() * sizeof(int)));
    if (!out->delays) return refuse(out, "Out of memory reading " + quoted(name) + ".");
    std::copy(delays.begin(), delays.end(), out->delays);
    out->width = size.width();
    out->height = size.height();
    out->count = int(delays.size());
    owned.release();
    return 0;
}

void dotlane_free_frames(DotlaneFrames* frames) {
    std::free(frames->pixels);
    std::free(frames->delays);
    frames->pixels = nullptr;
    frames->delays = nullptr;
}
