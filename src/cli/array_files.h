#pragma once
// The arrays render, guess and check read, from a file or the standard input, in pieces.
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "back/array_input.h"

namespace dotlane::cli {

// The file at `path` ("-": `in`, which is standard input for the program and a string stream
// for the tests and the fuzzer), read 64 KiB at a time as the engine asks.
class FileInput {
public:
    FileInput(std::string path, std::istream& in) : path_(std::move(path)), in_(in) {}
    ~FileInput();
    FileInput(const FileInput&) = delete;
    FileInput& operator=(const FileInput&) = delete;
    std::string_view next(std::optional<std::string>& error);
    Pieces pieces() {
        return [this](std::optional<std::string>& error) { return next(error); };
    }
    // How messages name it.
    std::string name() const;

private:
    std::string path_;
    std::istream& in_;
    int fd_ = -1;
    bool opened_ = false;
    std::vector<char> buffer_ = std::vector<char>(std::size_t(1) << 16);
};

// The kind of picture the file at `path` is, by its first bytes; nullopt for any other file,
// standard input ("-") and a file that cannot be read (whose reading says why).
std::optional<std::string> picture_file_kind(const std::string& path);

} // namespace dotlane::cli
