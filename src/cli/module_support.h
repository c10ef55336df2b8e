#pragma once
// What the parts of dotlane-qimage.so share: its messages, the grey arithmetic of one pixel,
// and the recording of the warnings Qt prints while it decodes.
#include <QSize>
#include <QtGlobal>
#include <chrono>
#include <cstdint>
#include <string>

#include "picture_module.h"

namespace dotlane::module {

using Clock = std::chrono::steady_clock;
class DeadlineFile;

// While one lives, the first warning Qt prints is kept (and stops the reading of `file`).
class WarningsRecorded {
public:
    explicit WarningsRecorded(DeadlineFile* file);
    ~WarningsRecorded();
    WarningsRecorded(const WarningsRecorded&) = delete;
    WarningsRecorded& operator=(const WarningsRecorded&) = delete;

private:
    QtMessageHandler previous_;
};
const std::string& first_warning();

int fail(DotlaneGrey* out, const std::string& why);
std::string quoted(const char* name);
std::string too_large(const char* name, QSize size, int max_side);
std::string refusal(const char* name, const std::string& why);
std::string took_too_long();
// The exact arithmetic of the README, for one pixel laid over the grey `background`.
std::uint8_t over_background(int r, int g, int b, int a, int background);

// Reads a PNG file row by row into the grey; -1 leaves the file to Qt's reader.
int read_png(int fd, const char* name, int max_side, long long file_size, DotlaneGrey* out);

} // namespace dotlane::module
