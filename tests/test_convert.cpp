// dotlane-cli convert as a build script runs it: its statuses and messages, its output file,
// and pictures other than 1-bit BMP files made 1-bit by the threshold.
#include <QImage>
#include <gtest/gtest.h>

#include "cli_runner.h"
#include "import/import.h"

using namespace dotlane;
using namespace dotlane::test;

namespace {

std::string save(const TempDir& dir, const std::string& name, const QImage& image,
                 const char* format) {
    const std::string path = (dir.path() / name).string();
    EXPECT_TRUE(image.save(QString::fromStdString(path), format)) << name;
    return path;
}

TEST(Convert, UsageAndRefusals) {
    TempDir dir;
    const std::string bmp = dir.write("ok.bmp", make_bmp({.width = 9, .height = 3}));
    const std::string wide = dir.write("wide.bmp", make_bmp({.width = 600, .height = 2}));
    const std::string packed = dir.write("rle.bmp", make_bmp({.compression = 1}));
    const std::string text = dir.write("notes.png", {'h', 'i', '\n'});
    const std::string png = save(dir, "p.png", QImage(4, 2, QImage::Format_RGB32), "PNG");
    const std::string huge = save(dir, "huge.png", QImage(4097, 1, QImage::Format_Mono), "PNG");
    const std::string tall = save(dir, "tall.png", QImage(1, 4097, QImage::Format_Mono), "PNG");
    const std::string most = save(dir, "most.png", QImage(4096, 8, QImage::Format_Mono), "PNG");
    struct Case {
        std::string args;
        int status;
        std::string err_start; // empty: succeeds, writing to standard output
    };
    const Case cases[] = {
        {"convert " + bmp, 2, "dotlane-cli: convert needs --layout"},
        {"convert --layout rows " + bmp, 2, "dotlane-cli: unknown layout \"rows\""},
        {"convert --layout ROWS-MSB " + bmp, 2, "dotlane-cli: unknown layout"},
        {"convert --layout rows-msb --threshold 256 " + bmp, 2, "dotlane-cli: --threshold takes"},
        {"convert --layout rows-msb --threshold -1 " + bmp, 2, "dotlane-cli: --threshold takes"},
        {"convert --layout rows-msb --threshold 12a " + bmp, 2, "dotlane-cli: --threshold takes"},
        {"convert --layout rows-msb --threshold '' " + bmp, 2, "dotlane-cli: --threshold takes"},
        {"convert --layout rows-msb " + bmp + " --threshold", 2,
         "dotlane-cli: option --threshold needs a value"},
        {"convert --layout rows-msb --c-array 9lives " + bmp, 2, "dotlane-cli: --c-array needs"},
        {"convert --layout rows-msb --c-array a-b " + bmp, 2, "dotlane-cli: --c-array needs"},
        {"convert --layout rows-msb --c-array '' " + bmp, 2, "dotlane-cli: --c-array needs"},
        {"convert --layout rows-msb --c-array int " + bmp, 2, "dotlane-cli: --c-array needs"},
        {"convert --layout rows-msb --inverted " + bmp, 2, "dotlane-cli: unknown option"},
        {"convert --layout rows-msb", 2, "dotlane-cli: give exactly one picture file"},
        {"convert --layout rows-msb " + bmp + " " + bmp, 2, "dotlane-cli: give exactly one"},
        {"convert --layout rows-msb " + dir.path().string() + "/none.png", 1, "Cannot open"},
        {"convert --layout rows-msb " + dir.path().string(), 1, "\""},
        {"convert --layout pages-lsb " + wide, 1,
         "Warning, this picture is 600 pixels wide; Dotlane reads pictures up to 501"},
        {"convert --layout rows-lsb " + packed, 1, "Warning, this BMP file is compressed"},
        {"convert --layout rows-msb " + text, 1, "\"" + text + "\" is neither a 1-bit BMP file"},
        {"convert --layout t6963c " + png, 1, "The t6963c layout is the window's listing"},
        {"convert --layout sed1565 " + png, 1, "The sed1565 layout is the window's listing"},
        {"convert --layout rows-msb " + huge, 1, "\"" + huge + "\" is a picture of 4097 x 1"},
        {"convert --layout pages-msb " + tall, 1, "\"" + tall + "\" is a picture of 1 x 4097"},
        {"convert --layout pages-msb " + most, 0, ""},
        {"convert --layout=rows-msb --threshold=7 --c-array=_a1 " + bmp, 0, ""},
        {"convert --layout rows-msb --help", 0, ""},
    };
    for (const auto& c : cases) {
        const CliRun r = run_cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
        if (c.err_start.empty()) {
            EXPECT_EQ(r.err, "") << c.args;
            EXPECT_NE(r.out, "") << c.args;
        } else {
            EXPECT_EQ(r.err.rfind(c.err_start, 0), 0u) << c.args << ": " << r.err;
            EXPECT_EQ(r.out, "") << c.args;
        }
    }
}

// The window's layouts print what the t6963c and sed1565 commands print, to the byte.
TEST(Convert, WindowLayoutsAreTheCommandsText) {
    TempDir dir;
    const BmpSpec specs[] = {
        {.width = 21, .height = 11, .ink = random_ink(21)},
        {.width = 40, .height = 9, .ink = random_ink(22), .white_first = true},
        {.width = 33, .height = 20, .ink = random_ink(23), .top_down = true, .info_size = 108},
    };
    for (const BmpSpec& spec : specs) {
        const std::string path = dir.write("w.bmp", make_bmp(spec));
        for (const char* flag : {" ", " --invert-colors "})
            for (const char* layout : {"t6963c", "sed1565"}) {
                const CliRun command = run_cli(layout + std::string(flag) + path);
                const CliRun convert =
                    run_cli("convert --layout " + std::string(layout) + flag + path);
                EXPECT_EQ(convert.status, 0) << convert.err;
                EXPECT_EQ(convert.out, command.out) << layout << flag << spec.width;
                EXPECT_NE(convert.out, "");
            }
    }
}

// -o writes what standard output would show; a refused or failed run leaves the file alone.
TEST(Convert, OutputFile) {
    TempDir dir;
    const std::string bmp =
        dir.write("pic.bmp", make_bmp({.width = 19, .height = 10, .ink = random_ink(31)}));
    const std::string bad = dir.write("bad.bmp", make_bmp({.signature = "PK"}));
    const std::string out = (dir.path() / "out.txt").string();
    const std::string commands[] = {"convert --layout pages-msb --c-array pic", "t6963c",
                                    "sed1565 --invert-colors", "info", "convert --layout rows-lsb"};
    for (const std::string& command : commands) {
        const CliRun shown = run_cli(command + " " + bmp);
        const CliRun written = run_cli(command + " -o " + out + " " + bmp);
        EXPECT_EQ(written.status, 0) << command << ": " << written.err;
        EXPECT_EQ(written.out, "") << command;
        EXPECT_EQ(as_text(read_file(out)), shown.out) << command;
        EXPECT_EQ(run_cli(command + " -o - " + bmp).out, shown.out) << command;
        const CliRun refused = run_cli(command + " -o " + out + " " + bad);
        EXPECT_EQ(refused.status, 1) << command;
        EXPECT_EQ(as_text(read_file(out)), shown.out) << command << ": the file changed";
    }
    const CliRun nowhere = run_cli("convert --layout rows-msb -o /nonexistent/x.h " + bmp);
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find("/nonexistent"), std::string::npos) << nowhere.err;
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 3u); // pic.bmp, bad.bmp, out.txt: no temporary file left behind
}

// One row of pixels whose luminance, laid over white, is known.
QImage threshold_row() {
    const QRgb pixels[] = {
        qRgba(0, 0, 0, 255),       // 0
        qRgba(127, 127, 127, 255), // 127
        qRgba(128, 128, 128, 255), // 128
        qRgba(255, 0, 0, 255),     // 76: 299 x 255 / 1000
        qRgba(0, 255, 0, 255),     // 150: 587 x 255 / 1000
        qRgba(0, 0, 0, 0),         // transparent: white, 255
        qRgba(0, 0, 0, 128),       // half over white: 127
        qRgba(255, 255, 255, 255), // 255
    };
    QImage image(8, 1, QImage::Format_ARGB32);
    for (int x = 0; x < 8; ++x)
        image.setPixel(x, 0, pixels[x]);
    return image;
}

TEST(Convert, ThresholdOnLuminanceOverWhite) {
    TempDir dir;
    const std::string png = save(dir, "row.png", threshold_row(), "PNG");
    const struct {
        const char* options;
        const char* listing;
    } cases[] = {
        {"", "0xD2,\n"},                                // 0, 127 and the half-covered pixel
        {"--threshold 128", "0xD2,\n"},                 // the default
        {"--threshold 129", "0xF2,\n"},                 // 128 joins
        {"--threshold 77", "0x90,\n"},                  // 0 and 76
        {"--threshold 76", "0x80,\n"},                  // 76 is not below 76
        {"--threshold 0", "0x00,\n"},                   // nothing is below 0
        {"--threshold 255", "0xFA,\n"},                 // all but the white ones
        {"--invert-colors", "0x2D,\n"},                 // the light ones
        {"--threshold 255 --invert-colors", "0x05,\n"}, // the two white ones
    };
    for (const auto& c : cases) {
        const CliRun r = run_cli("convert --layout rows-msb " + std::string(c.options) + " " + png);
        EXPECT_EQ(r.status, 0) << c.options << r.err;
        EXPECT_EQ(r.out, c.listing) << c.options;
    }
}

// A picture reads the same whatever format holds it, and a 1-bit BMP ignores the threshold.
TEST(Convert, EveryFormatListsTheSameBits) {
    TempDir dir;
    const int w = 27, h = 13;
    const auto ink = random_ink(41);
    const std::string bmp = dir.write("pic.bmp", make_bmp({.width = w, .height = h, .ink = ink}));
    QImage rgb(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            rgb.setPixel(x, y, ink(x, y) ? qRgb(40, 40, 40) : qRgb(230, 230, 230));
    QImage grey = rgb.convertToFormat(QImage::Format_Grayscale8);
    QImage indexed = rgb.convertToFormat(QImage::Format_Indexed8);
    QImage mono = rgb.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    const std::string others[] = {
        save(dir, "rgb.png", rgb, "PNG"),   save(dir, "rgb.bmp", rgb, "BMP"),
        save(dir, "grey.png", grey, "PNG"), save(dir, "indexed.bmp", indexed, "BMP"),
        save(dir, "mono.png", mono, "PNG"), save(dir, "rgb.ppm", rgb, "PPM"),
    };
    for (const char* layout : {"rows-msb", "rows-lsb", "pages-lsb", "pages-msb"}) {
        for (const char* invert : {"", " --invert-colors"}) {
            const std::string options = std::string(layout) + invert;
            const CliRun reference =
                run_cli("convert --layout " + options + " --threshold 3 " + bmp);
            ASSERT_EQ(reference.status, 0) << reference.err;
            for (const std::string& other : others) {
                const CliRun r = run_cli("convert --layout " + options + " " + other);
                EXPECT_EQ(r.status, 0) << other << ": " << r.err;
                EXPECT_EQ(r.out, reference.out) << other << " " << options;
            }
        }
    }
    // A palette BMP of more bits starts like a 1-bit one; its picture is read all the same.
    EXPECT_GT(read_file(others[3])[28], 1);
}

// A dotlane-cli without its picture reader still reads 1-bit BMP files, and says why it
// reads nothing else.
TEST(Convert, WithoutThePictureReader) {
    TempDir dir;
    const std::string alone = (dir.path() / "dotlane-cli").string();
    std::filesystem::copy_file(DOTLANE_CLI, alone);
    const std::string bmp = dir.write("pic.bmp", make_bmp({.width = 9, .height = 3}));
    const std::string png = save(dir, "pic.png", QImage(9, 3, QImage::Format_RGB32), "PNG");
    const std::string run = alone + " convert --layout rows-msb ";
    const int bmp_status = std::system((run + bmp + " >/dev/null").c_str());
    EXPECT_TRUE(WIFEXITED(bmp_status) && WEXITSTATUS(bmp_status) == 0);
    const std::string err = (dir.path() / "err").string();
    const int png_status = std::system((run + png + " 2>" + err).c_str());
    EXPECT_TRUE(WIFEXITED(png_status) && WEXITSTATUS(png_status) == 1);
    EXPECT_EQ(as_text(read_file(err)).rfind("dotlane-cli reads only 1-bit BMP files here", 0), 0u)
        << as_text(read_file(err));
}

} // namespace
