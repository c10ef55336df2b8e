#pragma once
// What --target names: a display controller or a library's draw call, and with it the byte
// layout the call reads, the declaration it takes and what a set bit does on the glass. A user who
// knows the call never has to know the layout.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "layout/layouts.h"

namespace dotlane {

// How the glass shows a set bit, for the preview's look.
enum class Glass { lcd, oled, tft, epaper };

struct Target {
    std::string_view name;
    BitLayout layout;
    std::string_view style; // the declaration the call takes, a --style name
    Glass glass;
    std::string_view reader;   // the call or controller commands that read the bytes
    std::string_view set_bit;  // what a set bit does on the glass
    std::string_view framebuf; // the MicroPython format constant, when there is one
    // A layout of more than one bit (colour_layouts.h) instead of `layout`, when not empty.
    std::string_view colour_layout{};
    // The call takes a uint16_t array: each entry a pixel's 16 bits, which the bytes hold low
    // byte first (rgb565-le).
    bool words{};
    // An LVGL image: the bytes as NAME_map and a descriptor NAME of this LVGL version (8 or 9)
    // and colour format.
    int lvgl{};
    std::string_view lvgl_format{};
};

// The targets of more than one bit a pixel (colour_targets.cpp).
std::span<const Target> colour_targets();

const Target* target_named(std::string_view name);
// Every target's name, split by ", ", for messages and the usage text.
std::string target_names();

} // namespace dotlane
