#include "pictures/bmp_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shared/text.h"

namespace dotlane {

BmpFile::BmpFile(const std::string& path) : path_(path) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0) {
        error_ = "Cannot open " + quoted_name(path) + ": " + std::strerror(errno) + ".";
        return;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        error_ = "Cannot read " + quoted_name(path) + ": " + std::strerror(errno) + ".";
        close();
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        error_ = quoted_name(path) + " is not a regular file, so it cannot be a BMP picture.";
        close();
        return;
    }
    size_ = std::uint64_t(info.st_size);
}

BmpFile::~BmpFile() {
    close();
}

void BmpFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool BmpFile::read_prefix(std::uint64_t count, std::vector<std::uint8_t>& bytes) {
    count = std::min(count, size_);
    bytes.assign(count, 0);
    std::uint64_t done = 0;
    while (done < count) {
        ssize_t got = ::pread(fd_, bytes.data() + done, count - done, off_t(done));
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got < 0) {
            error_ = "Cannot read " + quoted_name(path_) + ": " + std::strerror(errno) + ".";
            return false;
        }
        if (got == 0) break; // the file shrank while being read
        done += std::uint64_t(got);
    }
    bytes.resize(done);
    return true;
}

} // namespace dotlane
