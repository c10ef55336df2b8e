// Hostile files through "Open file" and through dotlane-cli. Each row names the message the
// window shows (the command line prints the same one), or the listing of a file that turns
// out to be good. A refused file leaves the window as the earlier import left it, and is
// closed again; nothing blocks, and nothing reads more of a file than its picture needs.
#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "cli_runner.h"
#include "import/header.h"
#include "window_fixture.h"

using namespace dotlane;
using namespace dotlane::test;

namespace {

// A hung import, in the window or the command line, ends the test run with the row's name
// instead of waiting for ctest's timeout.
const char* hanging_row = "";
extern "C" void report_hang(int) {
    const char text[] = "\nhostile file test: the import did not return: ";
    [[maybe_unused]] auto a = ::write(2, text, sizeof text - 1);
    [[maybe_unused]] auto b = ::write(2, hanging_row, std::strlen(hanging_row));
    ::_exit(3);
}

// Arms the alarm for one row and disarms it however the row's checks end.
struct Deadline {
    explicit Deadline(const char* row) {
        hanging_row = row;
        std::signal(SIGALRM, report_hang);
        ::alarm(20);
    }
    ~Deadline() { ::alarm(0); }
};

using Maker = std::function<std::string(const TempDir&)>;

Maker file(std::vector<std::uint8_t> bytes) {
    return [bytes](const TempDir& d) { return d.write("hostile.bmp", bytes); };
}
Maker bmp(const BmpSpec& spec) {
    return file(make_bmp(spec));
}
Maker chars(const std::string& s) {
    return file({s.begin(), s.end()});
}
Maker first_bytes(std::size_t count) {
    std::vector<std::uint8_t> bytes = make_bmp({});
    bytes.resize(count);
    return file(bytes);
}
Maker existing(const std::string& path) {
    return [path](const TempDir&) { return path; };
}
Maker folder() {
    return [](const TempDir& d) {
        std::filesystem::create_directory(d.path() / "folder.bmp");
        return (d.path() / "folder.bmp").string();
    };
}
Maker fifo() {
    return [](const TempDir& d) {
        const std::string path = (d.path() / "fifo.bmp").string();
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        return path;
    };
}
// The picture, then a hole up to `size` bytes: the file takes no room on disk.
Maker sparse(const BmpSpec& spec, off_t size) {
    return [=](const TempDir& d) {
        const std::string path = d.write("sparse.bmp", make_bmp(spec));
        EXPECT_EQ(::truncate(path.c_str(), size), 0);
        return path;
    };
}

const auto kTopRow = [](int, int y) { return y == 0; };
const std::string kPastEnd = "Warning, the pixel data offset of this BMP file (100) lies past "
                             "its end (94 bytes).";
const std::string kNotRegular = "is not a regular file, so it cannot be a BMP picture.";

struct Row {
    const char* what;
    Maker make;
    std::string shown; // part of the message, or the whole T6963C listing of a good file
    bool accepted = false;
};

class HostileFileTest : public WindowTest {
protected:
    const BmpSpec good{.width = 12, .height = 5, .ink = random_ink(4)};
    std::string good_path;
    QString good_t6963c, good_sed1565;

    void SetUp() override {
        good_path = dir.write("good.bmp", make_bmp(good));
        open(good_path);
        good_t6963c = text("Text3");
        good_sed1565 = text("Text1");
        ASSERT_TRUE(dialogs.messages.empty());
    }

    // Opens `path` after the good file and checks the window, the descriptors and the time
    // and memory it took; then the same through the command line. Within 20 seconds.
    void check(const Row& row, const std::string& path) {
        SCOPED_TRACE(row.what);
        open(good_path);
        ASSERT_EQ(text("Text1"), good_sed1565) << "an earlier row disturbed the import";
        dialogs.messages.clear();
        const char* labels[] = {"offset",     "offsetdec", "Largeur", "largeurdec", "Hauteur",
                                "hauteurdec", "nbcolonne", "nbzero",  "nbligne"};
        std::vector<QString> before;
        for (const char* name : labels)
            before.push_back(caption(name));
        const Picture earlier = picture("Picture1")->heldPicture();
        const QString title = form->windowTitle();
        const int descriptors = open_descriptor_count();
        const long resident = resident_kib();
        const auto start = std::chrono::steady_clock::now();

        const Deadline deadline(row.what);
        open(path);

        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_LT(resident_kib() - resident, 32 * 1024) << "KiB more resident memory";
        EXPECT_EQ(open_descriptor_count(), descriptors) << "the file was left open";
        if (row.accepted) {
            EXPECT_TRUE(dialogs.messages.empty());
            EXPECT_EQ(text("Text3").toStdString(), row.shown);
            EXPECT_TRUE(shown("Text1") && shown("Text3"));
        } else {
            ASSERT_EQ(dialogs.messages.size(), 1u);
            const QString& message = dialogs.messages[0].text;
            EXPECT_TRUE(message.contains(QString::fromStdString(row.shown)))
                << message.toStdString();
            EXPECT_EQ(dialogs.messages[0].icon, ui::Dialogs::Icon::Stop);
            EXPECT_FALSE(shown("Text1"));
            EXPECT_FALSE(shown("Text3"));
            EXPECT_EQ(text("Text3"), good_t6963c);
            for (std::size_t i = 0; i < std::size(labels); ++i)
                EXPECT_EQ(caption(labels[i]), before[i]) << labels[i];
            EXPECT_EQ(picture("Picture1")->heldPicture(), earlier);
            EXPECT_EQ(form->windowTitle(), title);
        }

        const CliRun cli = run_cli("t6963c " + path);
        if (row.accepted) {
            EXPECT_EQ(cli.status, 0) << cli.err;
            EXPECT_EQ(cli.out, row.shown);
        } else {
            EXPECT_EQ(cli.status, 1);
            EXPECT_EQ(cli.out, "");
            EXPECT_EQ(cli.err, dialogs.messages[0].text.toStdString() + "\n");
        }
    }
};

TEST_F(HostileFileTest, EachGetsItsAnswer) {
    const Row rows[] = {
        {"empty file", file({}), kNotBmpMessage},
        {"1 byte", chars("B"), kNotBmpMessage},
        {"53 bytes", first_bytes(53), kNotBmpMessage},
        {"54 bytes, no palette", first_bytes(54), "(62) lies past its end (54 bytes)."},
        {"a folder", folder(), kNotRegular},
        {"a FIFO nobody writes to", fifo(), kNotRegular},
        {"a device", existing("/dev/zero"), "\"/dev/zero\" " + kNotRegular},
        {"offset past the end", bmp({.height = 1, .offset = 100, .cut = 10}), kPastEnd},
        {"width 0", bmp({.width = 0}), "declares a picture of 0 x 8 pixels; it has no pixels"},
        {"height 0", bmp({.height = 0}), "declares a picture of 8 x 0 pixels; it has no pixels"},
        {"negative width", bmp({.stored_width = -8}), "declares a picture of -8 x 8 pixels"},
        {"width above 501", bmp({.width = 502, .height = 1}), "this picture is 502 pixels wide"},
        {"height above 496", bmp({.width = 1, .height = 497}), "this picture is 497 pixels high"},
        {"top-down, above 496", bmp({.stored_height = -497}), "this picture is 497 pixels high"},
        {"height -2147483648", bmp({.stored_height = INT32_MIN}), "is 2147483648 pixels high"},
        {"pixel data 1 byte short", bmp({.width = 16, .height = 16, .cut = 1}),
         "cut short: its 16 rows need 64 bytes of pixel data, but only 63 follow the offset."},
        {"4 bits per pixel", bmp({.bits_per_pixel = 4}), kNotMonochromeMessage},
        {"BM, then text",
         chars("BM is where this letter starts; it is plain text and not a "
               "picture at all.\n"),
         "has an information header of 1814066025 bytes"},
        {"800 MB, small picture", sparse({.width = 8, .height = 2, .ink = kTopRow}, 800 << 20),
         "2,1,\r\n0x00,\r\n0xFF,\r\n", true},
    };
    for (const Row& row : rows) {
        TempDir scratch;
        check(row, row.make(scratch));
    }
}

TEST_F(HostileFileTest, UnreadableFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root, who reads a file without read permission anyway";
    const std::string path = dir.write("locked.bmp", make_bmp({}));
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    check(
        {"no read permission", existing(path), "Cannot open \"" + path + "\": Permission denied."},
        path);
}

} // namespace
