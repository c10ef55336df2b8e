// "Save Picture" and `dotlane-cli render -o` into places that cannot take the picture: the
// message, the earlier file unchanged, and no temporary file left behind. (A folder that does
// not exist and a file size limit are covered with the other hex-to-picture tests.)
#include <algorithm>
#include <cstring>
#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli_runner.h"
#include "window_fixture.h"

using namespace dotlane;
using namespace dotlane::test;

namespace fs = std::filesystem;

namespace {

// A 64 KiB tmpfs of its own, for a disk that fills up or turns read-only. Mounting needs
// root (or CAP_SYS_ADMIN); where it is refused, error() says why.
class SmallDisk {
public:
    explicit SmallDisk(const fs::path& at) : at_(at) {
        fs::create_directory(at);
        if (::mount("tmpfs", at.c_str(), "tmpfs", 0, "size=64k") == 0) return;
        error_ = std::strerror(errno);
    }
    ~SmallDisk() {
        if (error_.empty()) ::umount2(at_.c_str(), MNT_DETACH);
    }
    const std::string& error() const { return error_; }
    void make_read_only() {
        EXPECT_EQ(::mount("tmpfs", at_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k"), 0)
            << std::strerror(errno);
    }
    void fill() {
        const std::vector<std::uint8_t> block(4096, 0x5A);
        FILE* filler = std::fopen((at_ / "filler").c_str(), "wb");
        ASSERT_NE(filler, nullptr);
        std::setvbuf(filler, nullptr, _IONBF, 0);
        std::size_t wrote = block.size();
        while (wrote == block.size())
            wrote = std::fwrite(block.data(), 1, block.size(), filler);
        std::fclose(filler);
    }

private:
    fs::path at_;
    std::string error_;
};

struct Row {
    const char* what;
    bool own_disk; // the folder is a SmallDisk
    std::function<void(const fs::path& folder, SmallDisk* disk)> spoil;
    const char* message; // part of the reason the message gives
};

bool as_root() {
    return ::geteuid() == 0;
}

class SaveFailureTest : public WindowTest {
protected:
    void TearDown() override { qunsetenv("HOME"); }

    // Saves a first picture into `folder`, spoils the folder, then saves a larger one from
    // the window and from the command line: both must fail and leave the first alone.
    void check(const Row& row, const fs::path& folder, SmallDisk* disk) {
        SCOPED_TRACE(row.what);
        qputenv("HOME", QByteArray::fromStdString(folder.string()));
        const std::string target = (folder / "VavovAvoZor.bmp").string();
        dialogs.messages.clear();
        go("0x01", "1", "1");
        click("btn_savepict");
        ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages[0].text.toStdString();
        const std::vector<std::uint8_t> earlier = read_file(target);
        ASSERT_FALSE(earlier.empty());
        const auto entries = [&] {
            std::vector<std::string> names;
            for (const auto& e : fs::directory_iterator(folder))
                names.push_back(e.path().filename().string());
            std::sort(names.begin(), names.end());
            return names;
        };

        row.spoil(folder, disk);
        const auto names = entries();
        const QString big = QStringLiteral("0xA5,").repeated(64 * 8);
        go(big, "64", "8");
        click("btn_savepict");
        ASSERT_EQ(dialogs.messages.size(), 1u);
        const QString& message = dialogs.messages[0].text;
        EXPECT_TRUE(message.startsWith("The picture could not be saved to \"" +
                                       QString::fromStdString(target) + "\"."))
            << message.toStdString();
        EXPECT_TRUE(message.contains(row.message)) << message.toStdString();
        EXPECT_EQ(dialogs.messages[0].icon, ui::Dialogs::Icon::Stop);
        EXPECT_EQ(read_file(target), earlier);
        EXPECT_EQ(entries(), names) << "a temporary file was left behind";

        const CliRun cli = run_cli("render --width 64 --pages 8 -o " + target, big.toStdString());
        EXPECT_EQ(cli.status, 1);
        EXPECT_NE(cli.err.find(row.message), std::string::npos) << cli.err;
        EXPECT_EQ(read_file(target), earlier);
        EXPECT_EQ(entries(), names) << "the command line left a temporary file behind";
    }
};

TEST_F(SaveFailureTest, EarlierFileSurvives) {
    const Row rows[] = {
        {"read-only file", false,
         [](const fs::path& f, SmallDisk*) { ::chmod((f / "VavovAvoZor.bmp").c_str(), 0444); },
         "the file is read-only."},
        // Root writes into a folder without write permission, but not into a read-only mount.
        {"read-only folder", as_root(),
         [](const fs::path& f, SmallDisk* disk) {
             disk ? disk->make_read_only() : void(::chmod(f.c_str(), 0555));
         },
         as_root() ? "Read-only file system" : "Permission denied"},
        {"full disk", true, [](const fs::path&, SmallDisk* disk) { disk->fill(); },
         "No space left on device"},
    };
    click("btn_revserse");
    std::string skipped;
    for (const Row& row : rows) {
        const fs::path folder = dir.path() / ("case" + std::to_string(&row - rows));
        if (!row.own_disk) {
            fs::create_directory(folder);
            check(row, folder, nullptr);
            ::chmod(folder.c_str(), 0755);
            continue;
        }
        SmallDisk disk(folder);
        if (!disk.error().empty()) {
            skipped +=
                std::string(" \"") + row.what + "\" (mounting a tmpfs: " + disk.error() + ")";
            continue;
        }
        check(row, folder, &disk);
    }
    if (!skipped.empty())
        GTEST_SKIP() << "not run, this user cannot mount a small disk:" << skipped;
}

} // namespace
