#pragma once
// Reading the chosen file: only regular files are opened (a FIFO or a device must not
// block the window), and only the bytes the import needs are read, so a huge file with
// a small picture costs no memory.
#include <cstdint>
#include <string>
#include <vector>

namespace dotlane {

class BmpFile {
public:
    explicit BmpFile(const std::string& path);
    ~BmpFile();
    BmpFile(const BmpFile&) = delete;
    BmpFile& operator=(const BmpFile&) = delete;

    bool is_open() const { return fd_ >= 0; }
    // Why the file could not be opened; empty when it is open.
    const std::string& error() const { return error_; }
    std::uint64_t size() const { return size_; }
    // The first min(count, size) bytes of the file; false with error() set on a read error.
    bool read_prefix(std::uint64_t count, std::vector<std::uint8_t>& bytes);
    void close();

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::string path_;
    std::string error_;
};

} // namespace dotlane
