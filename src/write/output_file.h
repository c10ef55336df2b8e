#pragma once
// Writing an output file as careful command-line tools do: a regular file is replaced whole or
// not at all, keeping its mode; a device or a pipe is written through; a symbolic link keeps
// being a link, and the file it leads to is replaced. Paths are the system's bytes, unconverted.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace dotlane {

namespace detail {
class TempFile;
}

// An output written a piece at a time and put in place whole by commit(): a regular file (or
// the one a link leads to) through a temporary file beside it, renamed over it at the end; a
// device, a pipe or a descriptor's name (/dev/stdout) gets every piece at commit(). Destroyed
// without commit(), or when a write failed, it leaves the output as it was. Without open(), it
// holds the pieces for send() to hand to standard output.
class StagedOutput {
public:
    // What commit() does with a regular file that already holds exactly what was written:
    // replace it all the same, or leave it untouched, time stamp and all, so that a build
    // watching it sees no change.
    enum class IfSame { replace, leave };

    StagedOutput();
    ~StagedOutput();
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    // Nullopt when `path` can be written, else a sentence naming it and the reason.
    std::optional<std::string> open(const std::string& path, IfSame if_same = IfSame::replace);
    // A failure is kept and told by commit() or send().
    void write(std::string_view text);
    std::optional<std::string> commit();
    // Hands what waits to `sink`, a piece at a time; 0, or the errno of the failure.
    int send(const std::function<int(std::string_view)>& sink);

private:
    std::string path_, real_, shown_;
    std::optional<std::string> read_only_;
    std::unique_ptr<detail::TempFile> temp_;
    int fd_ = -1;
    int error_ = 0;
    bool pipe_ = false;
    IfSame if_same_ = IfSame::replace;
    std::string waiting_;
    std::FILE* spool_ = nullptr;
    bool spool_failed_ = false;
};

// Returns nullopt when all of `bytes` is in place, else a sentence naming `path` and the reason.
std::optional<std::string> write_file_whole(const std::string& path,
                                            std::span<const std::uint8_t> bytes);

// As write_file_whole, but a regular file (through its links) that already holds exactly
// `bytes` is left as it is, its time stamp too, so a build that watches it sees no change.
std::optional<std::string> write_file_unless_same(const std::string& path,
                                                  std::span<const std::uint8_t> bytes);

// Whether two output paths lead to one file: the same device and inode where the file exists
// (links followed), else the same folder, resolved, and name. Standard output's names, devices
// and pipes are written through, never replaced, so they are no one file.
bool same_output_file(const std::string& a, const std::string& b);

// Writes all of `bytes` to `fd`, through short writes and interruptions. Returns 0, or the
// errno of the write that failed.
int write_all(int fd, std::span<const std::uint8_t> bytes);

} // namespace dotlane
