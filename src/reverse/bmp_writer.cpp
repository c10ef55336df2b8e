#include "bmp_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace dotlane {

static void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = std::uint8_t(v >> (8 * i));
}

std::vector<std::uint8_t> encode_mono_bmp(const Picture& picture) {
    return encode_mono_bmp(picture.width, picture.height,
                           [&](int x, int y) { return picture.at(x, y) == kBlack; });
}

std::vector<std::uint8_t> encode_mono_bmp(int width, int height,
                                          const std::function<bool(int, int)>& black) {
    const std::uint32_t row_bytes = (std::uint32_t(width) + 31) / 32 * 4;
    const std::uint32_t offset = 14 + 40 + 8;
    const std::uint32_t size = offset + row_bytes * std::uint32_t(height);
    std::vector<std::uint8_t> out(size, 0);
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, size);
    put32(out, 10, offset);
    put32(out, 14, 40);
    put32(out, 18, std::uint32_t(width));
    put32(out, 22, std::uint32_t(height));
    out[26] = 1; // planes
    out[28] = 1; // bits per pixel
    put32(out, 34, row_bytes * std::uint32_t(height));
    put32(out, 38, 3780); // 96 dots per inch
    put32(out, 42, 3780);
    put32(out, 46, 2);
    put32(out, 58, 0x00FFFFFF); // entry 0 black (all zero), entry 1 white
    for (int y = 0; y < height; ++y) {
        const std::size_t row = offset + std::size_t(height - 1 - y) * row_bytes;
        for (int x = 0; x < width; ++x)
            if (!black(x, y)) out[row + std::size_t(x / 8)] |= 0x80 >> (x % 8);
    }
    return out;
}

static std::string reason(const std::string& what) {
    return what + ": " + std::strerror(errno) + ".";
}

std::string save_file_atomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    // The rename needs only the folder to be writable, so it would replace a file that was
    // made read-only to keep it. Such a file is refused whoever saves, root included. (On a
    // read-only disk creating the temporary file fails below, with that reason.)
    struct stat target {};
    if (::stat(path.c_str(), &target) == 0 && S_ISREG(target.st_mode) &&
        ((target.st_mode & 0222) == 0 ||
         (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES)))
        return "Cannot replace \"" + path + "\": the file is read-only.";
    std::string temp = folder + "/.dotlane-save-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return reason("Cannot create a file in \"" + folder + "\"");
    ::fchmod(fd, 0644);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            if (wrote == 0) errno = ENOSPC;
            std::string error = reason("Cannot write \"" + path + "\"");
            ::close(fd);
            ::unlink(temp.c_str());
            return error;
        }
        done += std::size_t(wrote);
    }
    const bool synced = ::fsync(fd) == 0;
    const int sync_errno = errno;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed) {
        if (!synced) errno = sync_errno;
        std::string error = reason("Cannot write \"" + path + "\"");
        ::unlink(temp.c_str());
        return error;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        std::string error = reason("Cannot replace \"" + path + "\"");
        ::unlink(temp.c_str());
        return error;
    }
    return {};
}

} // namespace dotlane
