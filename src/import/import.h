#pragma once
// One import without a window: the file checks, then the stages in the order the window
// runs them. The command line and the fuzz targets use it; the window runs the same stage
// functions itself, between the property writes of its handler.
#include <cstdint>
#include <string>
#include <vector>

#include "header.h"
#include "listings.h"
#include "picture.h"
#include "working_copy.h"

namespace dotlane {

struct LoadedFile {
    std::string error; // the file could not be opened or read
    std::uint64_t size = 0;
    std::vector<std::uint8_t> bytes; // the start of the file, through the last row when accepted
    Header header;
    std::string refusal; // why the checks refuse the file
    bool accepted() const { return error.empty() && refusal.empty(); }
    const std::string& message() const { return error.empty() ? refusal : error; }
};

LoadedFile load_bmp_file(const std::string& path);
LoadedFile check_bmp_bytes(std::vector<std::uint8_t> bytes);

struct ImportResult {
    InfoLabels labels;
    std::string t6963c;
    std::string sed1565;
    Picture working;
};

// The listings and the working copy of an accepted file whose picture is `source`.
ImportResult import_picture(const LoadedFile& file, const Picture& source,
                            const T6963cOptions& options, SharedState& state);

} // namespace dotlane
