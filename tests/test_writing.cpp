// Where `dotlane-cli render -o` and the window's "Save Picture" write, one row a target: the
// exit status, the message, and what stands there afterwards. Every row also checks that a
// link stays a link and that no temporary file (nor a file named "-") is left behind.
#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "back/render.h"
#include "cli_runner.h"
#include "pictures/bmp_writer.h"
#include "window_fixture.h"

using namespace dotlane;
using namespace dotlane::test;
namespace fs = std::filesystem;

namespace {

struct Row {
    const char* make;   // shell line run in an empty folder; $P is VavovAvoZor.bmp; exit 77: skip
    const char* target; // the -o operand; the window saves to $HOME/$P, $HOME its folder
    const char* sh;     // shell words before dotlane-cli
    const char* to;     // its standard output: a redirection, "" a file, ">&PIPE" a closed pipe
    int status;         // 128 + N: killed by signal N
    const char* message;
    const char* then; // old, new (and the mode), gone, reader (the FIFO's), stdout, - (nothing)
    mode_t umask;
    bool window;
};

// A 64 KiB disk of its own at the folder, for root; other users skip the row.
#define DISK "mount -t tmpfs -o size=64k tmpfs \"$PWD\" 2>/dev/null || exit 77; cd \"$PWD\"; "
#define SIGTERM_IN_FSYNC                                                                           \
    "export LD_PRELOAD=" FSYNC_SENDS_SIGTERM " ASAN_OPTIONS=verify_asan_link_order=0;"

// clang-format off
const Row kRows[] = {
    {"echo old >$P",                      "$P", "", "", 0, "", "new 644", 022, true},
    {"echo old >$P; chmod 600 $P",        "$P", "", "", 0, "", "new 600", 022, true},
    {"",                                  "$P", "", "", 0, "", "new 600", 077, true},
    {"",                                  "$P", "", "", 0, "", "new 664", 002, true},
    {"echo old >$P; chmod 444 $P",        "$P", "", "", 1, "the file is read-only.", "old", 022, true},
    {"mkdir s; echo old >s/f; ln -s f s/l; ln -s s/l $P", "$P", "", "", 0, "", "new 644", 022, true},
    {"mkdir s; echo old >s/f; chmod 444 s/f; ln -s s/f $P", "$P", "", "", 1, "read-only", "old", 022, true},
    {"ln -s nowhere $P",                  "$P", "", "", 1, "which does not exist", "gone", 022, true},
    {"",                                  "/dev/null", "", "", 0, "", "-", 022, false},
    {"ln -s /dev/null $P",                "$P", "", "", 0, "", "-", 022, true},
    {"mkfifo $P",                         "$P", "", "", 0, "", "reader", 022, true},
    {"mkfifo $P",                         "$P", "", "", 1, "the pipe has no reader", "-", 022, true},
    {"mkdir $P",                          "$P", "", "", 1, "it is a folder", "-", 022, true},
    {"mkdir \"$(printf '\\377')\"",           "\xff/$P", "", "", 0, "", "new 644", 022, true},
    {"",                                  "gone/$P", "", "", 1, "No such file or directory", "gone", 022, true},
    {"[ $(id -u) != 0 ] || exit 77; echo old >$P; chmod 555 .", "$P", "", "", 1, "Permission denied", "old", 022, true},
    {DISK "echo old >$P; mount -o remount,ro \"$PWD\"", "$P", "", "", 1, "Read-only file system", "old", 022, true},
    {DISK "echo old >$P; cat /dev/zero >fill 2>/dev/null; true", "$P", "", "", 1, "No space left on device", "old", 022, true},
    {"echo old >$P; touch -d '-2 min' .dotlane-save-stale1; touch .dotlane-save-fresh1", "$P", "", "", 0, "", "new 644", 022, true},
    {"echo old >$P",                      "$P", "ulimit -f 1;", "", 1, "File too large", "old", 022, false},
    {"echo old >$P",                      "$P", SIGTERM_IN_FSYNC, "", 128 + SIGTERM, "", "old", 022, false},
    {"",                                  "-", "", "", 0, "", "stdout", 022, false},
    {"",                                  "/dev/stdout", "", "", 0, "", "stdout", 022, false},
    {"",                                  "-", "", ">/dev/full", 1, "cannot write standard output: No space left on device", "-", 022, false},
    {"",                                  "- --help", "", ">/dev/full", 1, "cannot write standard output: No space left on device", "-", 022, false},
    {"",                                  "-", "", ">&-", 1, "cannot write standard output: Bad file descriptor", "-", 022, false},
    {"",                                  "-", "trap '' PIPE;", ">&PIPE", 1, "cannot write standard output: Broken pipe", "-", 022, false},
};
// clang-format on

const std::string kName = "VavovAvoZor.bmp";
const std::vector<std::uint8_t> kOld = {'o', 'l', 'd', '\n'};

class WritingTest : public WindowTest {
protected:
    void TearDown() override { qunsetenv("HOME"); }
    const QString listing = QStringLiteral("0xA5,").repeated(2048);
    const std::vector<std::uint8_t> painted =
        encode_mono_bmp(render_bits(std::vector<std::uint8_t>(2048, 0xA5), 128, 16));

    // Writes with dotlane-cli, or from the window, into `base` made as the row says.
    void check(const Row& row, const fs::path& base, bool window, std::string& skipped) {
        SCOPED_TRACE(window ? std::string("window: ") + row.make
                            : std::string("cli: ") + row.make + "; " + row.sh + " -o " +
                                  row.target + " " + row.to);
        fs::create_directory(base);
        const std::string in_base = "cd '" + base.string() + "'; P=" + kName + "; ";
        const int made = std::system((in_base + row.make).c_str());
        if (WEXITSTATUS(made) == 77 && !window) skipped += std::string(" [") + row.make + "]";
        if (WEXITSTATUS(made) == 77) return;
        ASSERT_EQ(made, 0);
        std::string operand = row.target;
        if (const auto at = operand.find("$P"); at != std::string::npos)
            operand.replace(at, 2, kName);
        const fs::path target = base / operand;
        const bool link = fs::is_symlink(target);
        const std::string then = row.then;
        const int reader = then == "reader" ? ::open(target.c_str(), O_RDONLY | O_NONBLOCK) : -1;
        const mode_t umask_before = ::umask(row.umask);
        CliRun run;
        if (window) {
            qputenv("HOME", QByteArray::fromStdString(target.parent_path().string()));
            dialogs.messages.clear();
            go(listing, "128", "16");
            click("btn_savepict");
            run.status = int(dialogs.messages.size());
            if (run.status) run.err = dialogs.messages[0].text.toStdString();
            EXPECT_TRUE(!run.status || (run.err.starts_with("The picture could not be saved") &&
                                        dialogs.messages[0].icon == ui::Dialogs::Icon::Stop));
        } else {
            run = run_cli(row, in_base);
        }
        ::umask(umask_before);
        EXPECT_EQ(run.status, row.status) << run.err;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
        if (then == "old" || then.starts_with("new")) {
            EXPECT_EQ(read_file(target), then == "old" ? kOld : painted);
        }
        if (then.starts_with("new ")) {
            const auto mode = fs::perms(std::stoi(then.substr(4), nullptr, 8));
            EXPECT_EQ(fs::status(target).permissions(), mode);
        }
        EXPECT_TRUE(then != "gone" || !fs::exists(target));
        EXPECT_TRUE(then != "stdout" || run.out == as_text(painted));
        if (reader >= 0) {
            std::vector<std::uint8_t> got(painted.size() + 1);
            got.resize(std::size_t(std::max<ssize_t>(0, ::read(reader, got.data(), got.size()))));
            EXPECT_EQ(got, painted);
            ::close(reader);
        }
        EXPECT_EQ(fs::is_symlink(target), link);
        for (const auto& entry : fs::recursive_directory_iterator(base)) {
            const std::string name = entry.path().filename().string();
            EXPECT_FALSE(name == "-" ||
                         (name.starts_with(".dotlane-save-") && name != ".dotlane-save-fresh1"))
                << name;
        }
        // Another save's, under way: kept.
        EXPECT_TRUE(!std::string(row.make).ends_with("fresh1") ||
                    fs::exists(base / ".dotlane-save-fresh1"));
    }

    CliRun run_cli(const Row& row, const std::string& in_base) {
        const std::string text = listing.toStdString();
        const std::string in = dir.write("listing", {text.begin(), text.end()});
        int pipe_ends[2] = {-1, -1};
        std::string to = row.to;
        if (to.empty()) to = ">'" + (dir.path() / "out").string() + "'";
        if (to == ">&PIPE" && ::pipe(pipe_ends) == 0) {
            ::close(pipe_ends[0]);
            to = ">&" + std::to_string(pipe_ends[1]);
        }
        const std::string err = (dir.path() / "err").string();
        const int raw = std::system((in_base + row.sh +
                                     " exec " DOTLANE_CLI " render --width 128 --pages 16 -o " +
                                     row.target + " <'" + in + "' " + to + " 2>'" + err + "'")
                                        .c_str());
        if (pipe_ends[1] >= 0) ::close(pipe_ends[1]);
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw),
                as_text(read_file((dir.path() / "out").string())), as_text(read_file(err))};
    }
};

TEST_F(WritingTest, EveryKindOfTarget) {
    click("btn_revserse");
    std::string skipped;
    for (const Row& row : kRows) {
        const std::string at = std::to_string(&row - kRows);
        for (const bool window : {false, true}) {
            const fs::path base = dir.path() / ((window ? "window" : "cli") + at);
            if (!window || row.window) check(row, base, window, skipped);
            ::umount2(base.c_str(), MNT_DETACH); // also after a failed ASSERT
            ::chmod(base.c_str(), 0755);
        }
    }
    if (!skipped.empty()) std::cout << "Rows not run by this user:" << skipped << "\n";
}

} // namespace
