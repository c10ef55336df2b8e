// A long session in one window: 1,000 imports of assorted pictures and 1,000 paintings in
// hex-to-picture mode leave open descriptors and memory where they were.
#include <QApplication>
#include <QString>
#include <iostream>
#include <malloc.h>

#include "window_fixture.h"

#if defined(__SANITIZE_ADDRESS__)
#define DOTLANE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DOTLANE_ASAN 1
#endif
#endif
#ifdef DOTLANE_ASAN
// From the sanitizer runtime; GCC installs no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

using namespace dotlane;
using namespace dotlane::test;

namespace {

constexpr int kRounds = 1000;
constexpr int kWarmUp = 100; // fonts, glyph and style caches fill during the first rounds

// Bytes the program holds on the heap. Under AddressSanitizer freed blocks wait in a
// quarantine of up to 256 MB and stay resident, so there only this figure shows a leak.
long heap_bytes() {
#ifdef DOTLANE_ASAN
    return long(__sanitizer_get_current_allocated_bytes());
#else
    return long(mallinfo2().uordblks);
#endif
}

struct Usage {
    int descriptors = open_descriptor_count();
    long resident = resident_kib();
    long heap = heap_bytes();
};

// Prints the figures and checks that the rounds after the warm-up left them flat.
void expect_flat(const char* what, const Usage& start, const Usage& warm, const Usage& end) {
    std::cout << what << ": VmRSS " << start.resident << " KiB at the start, " << warm.resident
              << " KiB after " << kWarmUp << " rounds, " << end.resident << " KiB after " << kRounds
              << "; heap " << warm.heap / 1024 << " -> " << end.heap / 1024
              << " KiB; open descriptors " << start.descriptors << " -> " << end.descriptors
              << "\n";
    ::testing::Test::RecordProperty(std::string(what) + "_rss_kib_before", int(start.resident));
    ::testing::Test::RecordProperty(std::string(what) + "_rss_kib_after", int(end.resident));
    EXPECT_EQ(end.descriptors, start.descriptors);
    // One leaked listing (~1 KiB) or picture (several KiB) per round would pass these bounds
    // many times over.
    EXPECT_LT(end.heap - warm.heap, 256 * 1024) << "bytes more on the heap";
#ifndef DOTLANE_ASAN
    EXPECT_LT(end.resident - warm.resident, 2 * 1024) << "KiB more resident memory";
#endif
}

TEST_F(WindowTest, ThousandImportsInOneWindow) {
    const BmpSpec specs[] = {
        {.width = 1, .height = 1, .ink = random_ink(1)},
        {.width = 8, .height = 8, .ink = random_ink(2), .top_down = true},
        {.width = 17, .height = 13, .ink = random_ink(3), .white_first = true},
        {.width = 40, .height = 9, .ink = random_ink(4), .info_size = 124},
        {.width = 64, .height = 32, .ink = random_ink(5)},
        {.width = 33, .height = 20, .ink = random_ink(6), .info_size = 108},
    };
    std::vector<std::string> paths;
    std::vector<QString> listings;
    for (const BmpSpec& spec : specs) {
        paths.push_back(dir.write("pic" + std::to_string(paths.size()) + ".bmp", make_bmp(spec)));
        open(paths.back());
        listings.push_back(text("Text1"));
    }

    const Usage start;
    Usage warm;
    for (int round = 0; round < kRounds; ++round) {
        const std::size_t which = std::size_t(round) % paths.size();
        open(paths[which]);
        QApplication::processEvents(); // as the window's event loop would between clicks
        if (text("Text1") != listings[which]) {
            ADD_FAILURE() << "round " << round << " listed " << paths[which] << " differently";
            break;
        }
        if (round + 1 == kWarmUp) warm = Usage();
    }
    EXPECT_TRUE(dialogs.messages.empty());
    expect_flat("imports", start, warm, Usage());
}

TEST_F(WindowTest, ThousandPaintingsInOneWindow) {
    click("btn_revserse");
    const Usage start;
    Usage warm;
    for (int round = 0; round < kRounds; ++round) {
        const int width = 1 + round % 48, pages = 1 + round % 5;
        QString listing;
        for (int i = 0; i < width * pages; ++i)
            listing += QStringLiteral("0x%1,").arg((i * 37 + round) % 256, 2, 16, QChar('0'));
        go(listing, QString::number(width), QString::number(pages));
        QApplication::processEvents();
        const Picture painted = picture("Picture2")->heldPicture();
        if (painted.width != width || painted.height != pages * 8) {
            ADD_FAILURE() << "round " << round << " painted " << painted.width << " x "
                          << painted.height;
            break;
        }
        if (round + 1 == kWarmUp) warm = Usage();
    }
    EXPECT_TRUE(dialogs.messages.empty());
    expect_flat("paintings", start, warm, Usage());
}

} // namespace
