#pragma once
// Writing an output file as careful command-line tools do: a regular file is replaced whole or
// not at all, keeping its mode; a device or a pipe is written through; a symbolic link keeps
// being a link, and the file it leads to is replaced. Paths are the system's bytes, unconverted.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace dotlane {

// Returns nullopt when all of `bytes` is in place, else a sentence naming `path` and the reason.
std::optional<std::string> write_file_whole(const std::string& path,
                                            std::span<const std::uint8_t> bytes);

// As write_file_whole, but a regular file (through its links) that already holds exactly
// `bytes` is left as it is, its time stamp too, so a build that watches it sees no change.
std::optional<std::string> write_file_unless_same(const std::string& path,
                                                  std::span<const std::uint8_t> bytes);

// Writes all of `bytes` to `fd`, through short writes and interruptions. Returns 0, or the
// errno of the write that failed.
int write_all(int fd, std::span<const std::uint8_t> bytes);

} // namespace dotlane
