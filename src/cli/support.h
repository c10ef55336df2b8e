#pragma once
// What the commands of dotlane-cli share: their options, their answers to wrong usage, the
// window's import, and where their text goes.
#include <algorithm>
#include <array>
#include <iosfwd>
#include <map>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "engine/options.h"
#include "pictures/import.h"

namespace dotlane::cli {

enum Status { kOk = 0, kBadInput = 1, kUsage = 2 };

using engine::Arguments;

// `flags` stand alone; `valued` options take the next argument, or the text after "=".
Arguments parse(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                const std::vector<std::string>& valued);

// The overview of --help; a command's own options, or nullopt for no such command (help.cpp).
const char* usage_text();
std::optional<std::string> command_help(const std::string& command);
// The font command's own options (font_command.cpp).
std::string font_help();

// Says what is wrong with the command line; run() adds where the command's options stand.
int usage(std::ostream& err, const std::string& problem);

// Says what the engine refused: wrong usage as usage() does, bad input as it stands.
int fault(const engine::Outcome& problem, std::ostream& err);

// Loads and checks a BMP file; prints the window's message and returns nullopt if refused.
std::optional<LoadedFile> load(const std::string& path, std::ostream& err);

// Writes `data` to the file of "-o" (see write_file_whole), else (or for "-o -") to `out`,
// which is flushed and checked.
int emit(std::string_view data, const Arguments& args, std::ostream& out, std::ostream& err);

// Flushes `out`; when any write to it failed, says so on `err` and returns kBadInput.
int check_output(std::ostream& out, std::ostream& err);

// Standard output for run(). A stream keeps only a failure flag; this keeps the reason too,
// for the message.
class DescriptorOutput : public std::streambuf {
public:
    explicit DescriptorOutput(int fd) : fd_(fd) {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }
    int error() const { return error_; }
    int fd() const { return fd_; }

protected:
    int_type overflow(int_type c) override;
    int sync() override { return drain() ? 0 : -1; }

private:
    bool drain();
    int fd_;
    int error_ = 0;
    std::array<char, 8192> buffer_;
};

// Standard error for run(): every line a message, and every message starts with the program's
// name, wherever in the program or the engine it was written. A line is held until it ends.
class PrefixedLines : public std::streambuf {
public:
    explicit PrefixedLines(std::streambuf* to) : to_(to) {}
    ~PrefixedLines() override { finish(); }
    // Writes a line left without its line feed.
    void finish();

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    std::streambuf* to_;
    std::string line_;
};

} // namespace dotlane::cli
