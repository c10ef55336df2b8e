#pragma once
// Bits drawn as text for a terminal, where preview and guess show a picture.
#include <string>

#include "shared/picture.h"

namespace dotlane {

// Two rows of pixels a line in half blocks, or with `ascii` one a line in "#" and "."; with
// a `step` over 1, a character stands for a square of step x step pixels, set when any is.
std::string terminal_text(const Bitmap& bits, bool ascii, int step = 1);

} // namespace dotlane
