#pragma once
// The one entry point of dotlane-qimage.so, the module that reads pictures other than 1-bit
// BMP files with Qt's image reader. dotlane-cli loads it only when it meets such a picture,
// so the Qt libraries, whose loading costs more than a whole listing, stay out of every
// other command.
#include <cstdint>

extern "C" {

struct DotlaneRgba {
    int width = 0;
    int height = 0;
    std::uint8_t* pixels = nullptr; // R, G, B, A a pixel, row-major from the top left
    char error[512] = {};           // why nothing was read, when pixels is null
};

// Reads the picture at `path` unless either side exceeds `max_side`. Returns 0 on success;
// the pixels are then the caller's, to release with dotlane_free_rgba.
typedef int (*DotlaneReadRgba)(const char* path, int max_side, DotlaneRgba* out);
int dotlane_read_rgba(const char* path, int max_side, DotlaneRgba* out);
typedef void (*DotlaneFreeRgba)(DotlaneRgba* picture);
void dotlane_free_rgba(DotlaneRgba* picture);
}
