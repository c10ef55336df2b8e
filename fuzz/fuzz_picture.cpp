// The picture readers over arbitrary bytes, given as a file in memory as dotlane-cli gives
// it a file. Every answer is a picture of the limits or a refusal with its reason; the frames
// of a file are read too, the first of them the very picture a still reading gives, and
// every frame of its size.
#include <cstdint>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

#include "fuzz_check.h"
#include "pictures/picture_reading.h"

// Larger pictures are refused unread; 4096 would make every large header a slow input.
constexpr int kMaxSide = 1024;

namespace {

struct Seen {
    const DotlaneGrey* still = nullptr;
    int frames = 0;
    bool first_agrees = true;
};

int each_frame(void* context, const DotlaneGrey* grey, int delay) {
    auto* seen = static_cast<Seen*>(context);
    FUZZ_CHECK(grey->pixels != nullptr && delay >= 0);
    FUZZ_CHECK(grey->width == seen->still->width && grey->height == seen->still->height);
    if (seen->frames++ == 0)
        seen->first_agrees = std::memcmp(grey->pixels, seen->still->pixels,
                                         std::size_t(grey->width) * std::size_t(grey->height)) == 0;
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int fd = ::memfd_create("picture", MFD_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(::write(fd, data, size) == ssize_t(size));
    DotlaneGrey grey;
    grey.background = size % 2 ? 0 : 255; // over black and over white, by turns
    const int status = dotlane_read_grey(fd, "fuzz", kMaxSide, &grey);
    if (status != 0) {
        FUZZ_CHECK(grey.pixels == nullptr && grey.error[0] != '\0');
        ::close(fd);
        return 0;
    }
    FUZZ_CHECK(grey.pixels != nullptr && grey.width > 0 && grey.height > 0);
    FUZZ_CHECK(grey.width <= kMaxSide && grey.height <= kMaxSide);
    Seen seen{&grey};
    DotlaneFrames frames;
    frames.background = grey.background;
    frames.frame = each_frame;
    frames.context = &seen;
    if (dotlane_read_frames(fd, "fuzz", kMaxSide, &frames) == 0) {
        FUZZ_CHECK(seen.frames == frames.count && seen.frames >= 1 && seen.first_agrees);
    } else {
        FUZZ_CHECK(frames.error[0] != '\0');
    }
    dotlane_free_grey(&grey);
    ::close(fd);
    return 0;
}
