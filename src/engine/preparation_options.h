#pragma once
// The options of convert that prepare the picture, read into the engine's plain settings.
#include <optional>
#include <string>
#include <vector>

#include "engine/options.h"
#include "prepare/prepare.h"

namespace dotlane::engine {

// Each takes a value; convert accepts them beside its own.
inline const std::vector<std::string> kPreparationOptions = {
    "--background", "--rotate", "--flip", "--size", "--fit", "--threshold", "--dither", "--ink"};

struct PreparationChoice {
    Preparation preparation;
    bool given =
        false; // any of kPreparationOptions: a 1-bit BMP file then leaves the window's rule
    std::optional<std::string> error; // wrong usage
};

// --invert-colors is --ink light.
PreparationChoice preparation_choice(const Arguments& args);

} // namespace dotlane::engine
