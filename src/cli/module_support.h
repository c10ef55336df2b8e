#pragma once
// What the parts of dotlane-qimage.so share: its messages, the grey arithmetic of one pixel,
// and the recording of the warnings Qt prints while it decodes.
#include <QFile>
#include <QImage>
#include <QSize>
#include <QtGlobal>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "picture_module.h"

namespace dotlane::module {

using Clock = std::chrono::steady_clock;

// The file a decoder reads, whose reads fail once the time is up.
class DeadlineFile : public QFile {
public:
    explicit DeadlineFile(Clock::time_point deadline) : deadline_(deadline) {}
    bool expired() const { return expired_; }
    // The answer is already a refusal: the decoder need not read on.
    void stop() { stopped_ = true; }

protected:
    qint64 readData(char* data, qint64 max) override {
        if (Clock::now() > deadline_) expired_ = true;
        if (expired_ || stopped_) {
            setErrorString(QStringLiteral("reading stopped"));
            return -1;
        }
        return QFile::readData(data, max);
    }

private:
    Clock::time_point deadline_;
    bool expired_ = false, stopped_ = false;
};

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
// Why the open file `fd` cannot be read as a picture (not a regular file, or too large), or
// nothing; `size` is then its size.
std::optional<std::string> file_refusal(int fd, const char* name, long long& size);
// Opens `file` on a descriptor of its own for `fd`, or says why it cannot.
std::optional<std::string> open_own(int fd, const char* name, DeadlineFile& file);
// The exact arithmetic of the README, for one pixel laid over the grey `background`.
std::uint8_t over_background(int r, int g, int b, int a, int background);

// The grey of every pixel over `background`, row after row, into `grey` (width x height
// bytes).
void grey_image(const QImage& image, std::uint8_t* grey, int background);
// Whether the GIF's blocks stop before the end of its first image (or of every image).
bool gif_cut_short(int fd, bool every_image);

// Reads a PNG file row by row into the grey; -1 leaves the file to Qt's reader.
int read_png(int fd, const char* name, int max_side, long long file_size, DotlaneGrey* out);

} // namespace dotlane::module
