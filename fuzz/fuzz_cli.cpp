// The command line as a whole, through the run() that dotlane-cli's main() calls. The input
// is: one byte choosing the command, one byte after how many bytes standard output fails
// (0: never) and one for standard error, then the arguments, one a line, up to a zero byte;
// what follows is both the file "in" and standard input. "@" as an argument stands for that
// file. Arguments holding "/" are skipped, and the run happens in a folder of its own, so
// nothing outside it is read or written (so give libFuzzer absolute paths, as fuzz.sh does).
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <streambuf>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/commands.h"
#include "fuzz_check.h"

namespace {

// A stream that takes `room` bytes, then fails like a full disk; it counts what was offered.
class FailingBuffer : public std::streambuf {
public:
    explicit FailingBuffer(std::size_t room) : room_(room) {}
    std::size_t offered = 0;

protected:
    int overflow(int c) override {
        ++offered;
        if (room_ == 0) return traits_type::eof();
        --room_;
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        std::streamsize done = 0;
        while (done < n && overflow(static_cast<unsigned char>(s[done])) != traits_type::eof())
            ++done;
        offered += std::size_t(n - done);
        return done;
    }

private:
    std::size_t room_;
};

const char* const kCommands[] = {"t6963c",  "sed1565",  "info",  "render", "convert",
                                 "preview", "nonsense", "guess", "check"};

char g_folder[] = "/tmp/dotlane-fuzz-cli-XXXXXX";

void enter_own_folder() {
    static const bool entered = [] {
        FUZZ_CHECK(::mkdtemp(g_folder) != nullptr);
        FUZZ_CHECK(::chdir(g_folder) == 0);
        std::atexit([] { std::filesystem::remove_all(g_folder); });
        return true;
    }();
    (void)entered;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    enter_own_folder();
    const std::string text(reinterpret_cast<const char*>(data) + 3, size - 3);
    const std::size_t end = text.find('\0');
    const std::string payload = end == std::string::npos ? "" : text.substr(end + 1);
    std::vector<std::string> args = {kCommands[data[0] % std::size(kCommands)]};
    std::istringstream lines(text.substr(0, end));
    for (std::string arg; std::getline(lines, arg);) {
        if (arg.find('/') != std::string::npos) continue;
        args.push_back(arg == "@" ? "in" : arg);
    }
    std::ofstream("in", std::ios::binary) << payload;

    std::istringstream in(payload);
    FailingBuffer out_buffer(data[1] ? data[1] * 16u : std::size_t(-1));
    FailingBuffer err_buffer(data[2] ? data[2] * 4u : std::size_t(-1));
    std::ostream out(&out_buffer), err(&err_buffer);
    const int status = dotlane::cli::run(args, in, out, err);
    FUZZ_CHECK(status == 0 || status == 1 || status == 2);
    if (status != 0) FUZZ_CHECK(err_buffer.offered > 0);

    // Whatever the run wrote stays in its folder, and only until the next one.
    for (const auto& entry : std::filesystem::directory_iterator("."))
        std::filesystem::remove_all(entry.path());
    return 0;
}
