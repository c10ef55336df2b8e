// How dotlane-cli reads what it is given, as trusted Unix tools do: unreadable inputs end
// with a message and status 1, endless ones in bounded memory, damaged pictures are refused,
// and any file name works and is shown safely.
#include <QBuffer>
#include <QImage>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>
#include <webp/encode.h>

#include "cli_runner.h"
#include "pictures/png_writing.h"

using namespace dotlane::test;

namespace {

std::vector<std::uint8_t> encoded(const char* format, int cut_to = -1, int damage_at = -1) {
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) & 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    if (damage_at >= 0)
        for (int i = 0; i < 64; ++i)
            bytes[damage_at + i] = char(i % 2 ? 0xD7 : 0xFF);
    if (cut_to >= 0) bytes.truncate(cut_to);
    return {bytes.begin(), bytes.end()};
}

// The peak resident memory, in MiB, of the largest process `line` runs; 255 if it fails.
[[maybe_unused]] long peak_mib(const std::string& line) {
    const pid_t child = fork();
    if (child == 0) {
        rusage usage{};
        const int status = std::system(line.c_str());
        getrusage(RUSAGE_CHILDREN, &usage);
        _exit(status != 0 ? 255 : int(std::min(usage.ru_maxrss / 1024, 254L)));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 255;
}

TEST(Reading, Table) {
    TempDir dir;
    const std::string d = dir.path().string(), out = " -o " + d + "/out.bmp ";
    const std::string render = std::string(DOTLANE_CLI) + " render --width 8 --pages 1" + out;
    const std::string convert = std::string(DOTLANE_CLI) + " convert --layout rows-msb ";
    const std::string png = dir.write("p.png", encoded("PNG"));
    dir.write("-dash.bmp", make_bmp({}));
    dir.write("green.bmp", make_bmp({.width = 1, .height = 1, .paper_colour = 0x00FF00}));
    // Grey 34.45 by the weights 299, 587, 114: one more unit of blue would make it 35.
    dir.write("blue.bmp", make_bmp({.width = 1, .height = 1, .paper_colour = 0x0606FF}));
    dir.write("bad\xff\xfe.png", encoded("PNG"));
    dir.write("cut\x1b[31m.jpg", encoded("JPEG", 600));
    dir.write("damaged.jpg", encoded("JPEG", -1, 400));
    // Qt writes no GIF files: the sample's, whole and cut in its picture data.
    const std::string gif = std::string(DOTLANE_SAMPLES) + "/badge_32x16.gif";
    std::filesystem::copy_file(gif, d + "/whole.gif");
    std::vector<std::uint8_t> cut = read_file(gif);
    cut.resize(100);
    dir.write("cut.gif", cut);
    dir.write("rle.bmp", make_bmp({.bits_per_pixel = 8, .compression = 1}));
    dir.write("cut.bmp", make_bmp({.width = 16, .height = 16, .bits_per_pixel = 8, .cut = 100}));
    for (const auto& [name, size] :
         {std::pair{"wide", QSize(4097, 1)}, {"tall", QSize(1, 4097)}, {"most", QSize(4096, 8)}})
        QImage(size, QImage::Format_Mono).save(QString::fromStdString(d + "/" + name + ".png"));
    // A copy of the program elsewhere reads every picture: nothing lies at a fixed path.
    std::filesystem::copy_file(DOTLANE_CLI, d + "/alone");
    const std::string alone = d + "/alone convert --layout rows-msb ";
    // An 8-bit palette index past the palette (libpng itself checks only lower depths).
    const dotlane::cli::EncodedPng past =
        dotlane::cli::encode_png({2, 1, {0, 3}, {0x000000, 0xFFFFFF, 0x808080}});
    dir.write("past.png", past.bytes);
    dir.write("cut.png", encoded("PNG", 300));
    std::vector<std::uint8_t> crc = encoded("PNG");
    crc[30] ^= 1; // in the check bytes of the header chunk
    dir.write("crc.png", crc);
    const std::string big = dir.write("big.png", encoded("PNG"));
    std::filesystem::resize_file(big, (64 << 20) + 1);
    // C text is held whole up to 64 MiB: a longer one is refused, not read cut at the limit.
    const auto c_text = [](long spaces, const char* end) {
        return "(printf '{0x01,/*'; head -c " + std::to_string(spaces) +
               " /dev/zero | tr '\\0' ' '; printf '*/" + end + "') | " + DOTLANE_CLI;
    };
    const std::string over = "C text is larger than 64 MiB; dotlane-cli reads C arrays up to";
    struct Row {
        std::string line;
        int status;
        std::string err; // a part of the message; empty: nothing on standard error
    };
    const Row rows[] = {
        {render + d, 1, "Cannot read \"" + d + "\": Is a directory."},
        {render + "/proc/self/mem", 1, "Cannot read \"/proc/self/mem\": "},
        {render + "- <&-", 1, "Cannot read the standard input"},
        {render + "- <" + d, 1, "Cannot read the standard input: Is a directory."},
        {render + "/dev/zero", 1, "Found no listing entry (0x..) in 64 MiB of \"/dev/zero\""},
        {c_text(64 << 20, "0x02}") + " render --input c --layout rows-msb --width 8 --height 2" +
             out,
         1, over},
        {c_text(64 << 20, "0x02}") + " check --layout rows-msb --input c -- " + d + "/-dash.bmp -",
         1, over},
        {c_text((64 << 20) - 11, "}") + " render --input c --layout rows-msb --width 8 --height 1" +
             out,
         0, ""},
        // Past the bytes a picture takes, 64 MiB more are counted: the count then is a floor.
        {"head -c 67112960 /dev/zero | " + std::string(DOTLANE_CLI) +
             " check --layout rows-msb --input bin -- " + d + "/-dash.bmp - 1>&2",
         1, "\"-\" holds at least 671"},
        // The tallest candidate guess finds (8 x 4096) is drawn in a page, not 4096 lines.
        {"(echo 1,1,; yes 0x00, | head -n 4096) | " + std::string(DOTLANE_CLI) +
             " guess --ascii | awk 'END { exit NR > 140 }'",
         0, ""},
        {convert + "'" + d + "/cut\x1b[31m.jpg'", 1, "cut\\x1B[31m.jpg\" is neither a 1-bit BMP"},
        {convert + d + "/damaged.jpg", 1, "damaged.jpg\" is neither a 1-bit BMP file nor a"},
        {convert + d + "/whole.gif", 0, ""},
        {convert + d + "/cut.gif", 1, "cut.gif\" is neither a 1-bit BMP file nor a picture"},
        {convert + d + "/cut.bmp", 1, "cut.bmp\" is neither a 1-bit BMP file nor a picture"},
        {convert + d + "/rle.bmp", 1, "(run-length compressed BMP files are not read)"},
        {convert + d + "/wide.png", 1, "is a picture of 4097 x 1 pixels; dotlane-cli converts"},
        {convert + d + "/tall.png", 1, "is a picture of 1 x 4097 pixels; dotlane-cli converts"},
        {convert + d + "/most.png", 0, ""},
        {alone + png, 0, ""},
        {convert + d + "/past.png", 1, "Read palette index exceeding num_palette"},
        {alone + "-- " + d + "/-dash.bmp", 0, ""},
        {convert + d + "/cut.png", 1, "(the file is cut short)"},
        {convert + d + "/crc.png", 1, "CRC error"},
        {convert + big, 1, "big.png\" holds 67108865 bytes; dotlane-cli reads pictures of up to"},
        {convert + "'" + d + "/bad\xff\xfe.png'", 0, ""},
        {convert + "'" + d + "/no\nsuch\x7f'", 1, "/no\\nsuch\\x7F\": No such file"},
        {"cd " + d + " && " + std::string(DOTLANE_CLI) + " t6963c -- -dash.bmp", 0, ""},
        {std::string(DOTLANE_CLI) + " info -o '" + d + "/no\nsuch/x' -- " + d + "/-dash.bmp", 1,
         "in \"" + d + "/no\\nsuch\": No such file"},
        {convert + "--threshold 0128 " + png, 0, ""},
        {convert + "--threshold 0000 " + png, 0, ""},
        {convert + "--threshold 0256 " + png, 2, "--threshold takes a whole number"},
        {convert + "--threshold 150 " + d + "/green.bmp | grep -qx 0x00,", 0, ""},
        {convert + "--threshold 35 " + d + "/blue.bmp | grep -qx 0x80,", 0, ""},
        // Raw bytes are refused on a terminal (script gives the program one), not on a pipe.
        {"script -qec '" + convert + "--style bin " + png + "' /dev/null >/dev/null", 2, ""},
        {convert + "--style bin " + png + " | cmp -s - /dev/null", 1, ""},
    };
    for (const Row& row : rows) {
        const CliRun r = run_shell(row.line);
        EXPECT_EQ(r.status, row.status) << row.line << "\n" << r.err;
        if (row.err.empty())
            EXPECT_EQ(r.err, "") << row.line;
        else
            EXPECT_NE(r.err.find(row.err), std::string::npos) << row.line << "\n" << r.err;
    }
    // An endless stream, and a large colour PNG file read a row at a time, in bounded memory
    // (AddressSanitizer's own memory would count too, so not in its build). The picture is
    // gone before the measure, whose forks would count it.
#ifndef __SANITIZE_ADDRESS__
    EXPECT_LT(peak_mib("yes 0xFF, | " + std::string(DOTLANE_CLI) +
                       " render --width 4096 --pages 512" + out + ">/dev/null 2>&1"),
              64);
    const std::string large = (dir.path() / "large.png").string();
    {
        QImage colour(4096, 4096, QImage::Format_RGB32);
        colour.fill(qRgb(90, 160, 30));
        ASSERT_TRUE(colour.save(QString::fromStdString(large), "PNG"));
    }
    EXPECT_LT(peak_mib(convert + large + " >/dev/null 2>&1"), 64);
#endif
    EXPECT_EQ(run_cli("convert --layout rows-msb --threshold 0128 " + png).out,
              run_cli("convert --layout rows-msb --threshold 128 " + png).out);
}

// One picture of greys and transparent corners in every format Qt writes, and in WebP:
// each read gives the listing of the PNG file, over white and over black.
TEST(Reading, Formats) {
    TempDir dir;
    QImage image(19, 11, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int v = (x + y) % 5 == 0 ? 0 : (x & 3) * 80 + (y & 1) * 10;
            image.setPixel(x, y, qRgb(v, v, v));
        }
    for (const int corner : {0, 18})
        image.setPixel(corner, 0, qRgba(0, 0, 0, 0));
    const std::string d = dir.path().string();
    const auto save = [&](const char* format, QImage::Format as) {
        const std::string path = d + "/p." + format;
        EXPECT_TRUE(image.convertToFormat(as).save(QString::fromStdString(path), format)) << format;
        return path;
    };
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    std::uint8_t* webp = nullptr;
    const std::size_t size = WebPEncodeLosslessRGBA(rgba.constBits(), rgba.width(), rgba.height(),
                                                    int(rgba.bytesPerLine()), &webp);
    const std::string webp_path = dir.write("p.webp", {webp, webp + size});
    WebPFree(webp);
    // The one-bit formats and the opaque ones hold what their conversion keeps.
    struct Row {
        std::string path;
        std::string same_as;
    };
    const std::string png = save("png", QImage::Format_ARGB32);
    const std::string opaque = save("ppm", QImage::Format_RGB32);
    const std::string mono = save("pbm", QImage::Format_Mono);
    const Row rows[] = {
        {webp_path, png},
        {save("xpm", QImage::Format_ARGB32), png},
        {save("ico", QImage::Format_ARGB32), png},
        {save("bmp", QImage::Format_RGB32), opaque},
        {save("pgm", QImage::Format_Grayscale8), opaque},
        {save("xbm", QImage::Format_Mono), mono},
    };
    for (const char* options : {"", "--background black "})
        for (const Row& row : rows) {
            const std::string line = std::string("convert --layout rows-msb ") + options;
            const CliRun r = run_cli(line + row.path);
            EXPECT_EQ(r.status, 0) << row.path << "\n" << r.err;
            EXPECT_EQ(r.out, run_cli(line + row.same_as).out) << row.path << " " << options;
        }
}

} // namespace
