// The engine as a library gives what dotlane-cli gives for the same picture and options: the
// text, the header and source pair, the messages, the window's listings, and the bytes read
// back by guess, render and check. Pictures reach it as a file's bytes or as RGBA pixels.
#include <QImage>
#include <gtest/gtest.h>

#include "cli_runner.h"
#include "engine/dotlane.h"

using namespace dotlane;
using namespace dotlane::test;

namespace {

const std::string kLogo = std::string(DOTLANE_SAMPLES) + "/logo_128x64.bmp";

// A picture with colour and alpha, saved as PNG for dotlane-cli and given as pixels to the
// library; every alpha and every channel varies, so the grey's arithmetic is exercised.
struct Painted {
    std::string png;
    std::vector<std::uint8_t> rgba;
};
Painted painted(const TempDir& dir) {
    QImage image(37, 21, QImage::Format_RGBA8888);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(x, y, QColor(x * 7, y * 12, (x * y) % 256, (x * 13 + y * 5) % 256));
    const std::string png = (dir.path() / "painted.png").string();
    EXPECT_TRUE(image.save(QString::fromStdString(png), "PNG"));
    const auto* bits = image.constBits();
    return {png, {bits, bits + image.sizeInBytes()}};
}

engine::MemoryPictures pictures_of(const Painted& p) {
    engine::MemoryPictures pictures;
    pictures.add_file(kLogo, read_file(kLogo));
    pictures.add_rgba(p.png, 37, 21, p.rgba, read_file(p.png).size());
    return pictures;
}

TEST(Library, ConvertsAsTheCommandLineDoes) {
    TempDir dir;
    const Painted p = painted(dir);
    auto pictures = pictures_of(p);
    const std::string header = (dir.path() / "art.h").string();
    const std::string source = (dir.path() / "art.c").string();
    // The options as the library takes them, dotlane-cli's own, and the pictures.
    const std::tuple<engine::Options, std::string, std::vector<std::string>> runs[] = {
        {{{"target", "ssd1306"}}, "--target ssd1306", {kLogo}},
        {{{"layout", "t6963c"}, {"invert-colors", ""}}, "--layout t6963c --invert-colors", {kLogo}},
        {{{"layout", "rows-msb"}, {"style", "c"}, {"size", "64x32"}, {"dither", "atkinson"}},
         "--layout rows-msb --style c --size 64x32 --dither atkinson",
         {kLogo}},
        {{{"layout", "pages-lsb"}, {"background", "black"}, {"style", "python"}},
         "--layout pages-lsb --background black --style python",
         {p.png}},
        {{{"target", "adafruit-gfx"}, {"compress", "rle"}, {"table", "art"}},
         "--target adafruit-gfx --compress rle --table art",
         {kLogo, p.png}},
        {{{"target", "u8g2"}, {"header", header}, {"source", source}},
         "--target u8g2 --header " + header + " --source " + source,
         {kLogo, p.png}},
    };
    for (const auto& [options, args, names] : runs) {
        std::string line = "convert " + args;
        for (const std::string& name : names)
            line += " " + name;
        const CliRun cli = run_cli(line);
        ASSERT_EQ(cli.status, 0) << line << cli.err;
        const auto made = engine::convert_to_text(options, names, pictures);
        ASSERT_TRUE(made.ok()) << line << *made.error;
        if (made.header.empty()) {
            EXPECT_EQ(made.text, cli.out) << line;
        } else {
            EXPECT_EQ(made.text, as_text(read_file(source))) << line;
            EXPECT_EQ(made.header, as_text(read_file(header))) << line;
        }
        EXPECT_EQ(made.shown.width, made.width);
    }
}

TEST(Library, RefusesWithTheCommandLinesMessages) {
    TempDir dir;
    const Painted p = painted(dir);
    auto pictures = pictures_of(p);
    const std::pair<engine::Options, std::string> runs[] = {
        {{{"layout", "diagonal"}}, "--layout diagonal"},
        {{{"target", "ssd1306"}, {"threshold", "300"}}, "--target ssd1306 --threshold 300"},
        {{{"colour", "red"}}, "--colour red"},
        {{{"target", "ssd1306"}, {"header", "a.h"}}, "--target ssd1306 --header a.h"},
        {{{"layout", "sed1565"}}, "--layout sed1565"}, // a PNG: bad input, not wrong usage
    };
    for (const auto& [options, args] : runs) {
        const CliRun cli = run_cli("convert " + args + " " + p.png);
        const auto made = engine::convert_to_text(options, {p.png}, pictures);
        ASSERT_FALSE(made.ok()) << args;
        EXPECT_EQ(made.fault == engine::Fault::usage ? 2 : 1, cli.status) << args;
        EXPECT_NE(cli.err.find(*made.error), std::string::npos) << args << "\n" << cli.err;
    }
}

TEST(Library, ReadsBytesBackAsTheCommandLineDoes) {
    const std::vector<std::uint8_t> file = read_file(kLogo);
    for (const bool invert : {false, true}) {
        const std::string flag = invert ? " --invert-colors " : " ";
        EXPECT_EQ(engine::t6963c_listing(file, invert).text, run_cli("t6963c" + flag + kLogo).out);
        EXPECT_EQ(engine::sed1565_listing(file, invert).text,
                  run_cli("sed1565" + flag + kLogo).out);
    }
    TempDir dir;
    const std::string listing = run_cli("convert --target ssd1306 " + kLogo).out;
    const std::string array = dir.write("logo.txt", as_bytes(listing));
    engine::HeldArray held(listing, array);
    const auto guessed = engine::guess({}, held);
    ASSERT_TRUE(guessed.ok());
    EXPECT_EQ(guessed.text, run_cli("guess " + array).out);

    engine::MemoryPictures pictures;
    pictures.add_file(kLogo, file);
    const auto converted = engine::convert_to_text({{"target", "ssd1306"}}, {kLogo}, pictures);
    engine::HeldArray again(listing, array);
    const auto rendered =
        engine::render({{"layout", "pages-lsb"}, {"width", "128"}, {"height", "64"}}, again);
    EXPECT_EQ(rendered.bits, converted.shown);

    // One byte changed: both name the same differences, and agree once it is back.
    std::string changed = listing;
    changed.replace(changed.find("0x"), 4, "0x5A");
    const std::string changed_path = dir.write("changed.txt", as_bytes(changed));
    for (const auto& [text, path] : {std::pair{changed, changed_path}, std::pair{listing, array}}) {
        engine::HeldArray held_text(text, path);
        const auto checked = engine::check({{"target", "ssd1306"}}, kLogo, pictures, held_text);
        const CliRun cli = run_cli("check --target ssd1306 " + kLogo + " " + path);
        EXPECT_EQ(checked.text, cli.out);
        EXPECT_EQ(checked.agree, cli.status == 0);
    }
}

} // namespace
