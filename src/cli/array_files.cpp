#include "cli/array_files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <istream>
#include <sys/stat.h>
#include <unistd.h>

#include "back/input_kinds.h"
#include "shared/text.h"

namespace dotlane::cli {

FileInput::~FileInput() {
    if (fd_ >= 0) ::close(fd_);
}

std::string FileInput::name() const {
    return path_ == "-" ? "the standard input" : quoted_name(path_);
}

// A file is read with read() on its own descriptor, so a failing disk is named with its
// reason; a stream keeps only a flag, and errno says what it can.
std::string_view FileInput::next(std::optional<std::string>& error) {
    if (path_ == "-") {
        errno = 0;
        const auto got = in_.read(buffer_.data(), std::streamsize(buffer_.size())).gcount();
        if (got > 0) return {buffer_.data(), std::size_t(got)};
        if (in_.bad())
            error = "Cannot read " + name() +
                    (errno ? std::string(": ") + std::strerror(errno) : "") + ".";
        return {};
    }
    if (!opened_) {
        opened_ = true;
        fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
        if (fd_ < 0) {
            error = "Cannot open " + name() + ": " + std::strerror(errno) + ".";
            return {};
        }
    }
    if (fd_ < 0) return {};
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) error = "Cannot read " + name() + ": " + std::strerror(errno) + ".";
        if (got <= 0) return {};
        return {buffer_.data(), std::size_t(got)};
    }
}

std::optional<std::string> picture_file_kind(const std::string& path) {
    if (path == "-") return std::nullopt;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    char start[16];
    struct stat facts {};
    const ssize_t got =
        ::fstat(fd, &facts) == 0 && S_ISREG(facts.st_mode) ? ::read(fd, start, sizeof start) : -1;
    ::close(fd);
    return got > 0 ? picture_kind({start, std::size_t(got)}) : std::nullopt;
}

} // namespace dotlane::cli
