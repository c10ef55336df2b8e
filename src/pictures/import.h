#pragma once
// One import, from a file's bytes to every result the window shows and the command line
// prints: the file checks, then the facts of its header, both listings, its picture and the
// working copy. Each caller asks for the parts it needs and nothing else is built.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pictures/listings.h"
#include "pictures/header.h"

namespace dotlane {

struct LoadedFile {
    std::uint64_t size = 0;
    std::vector<std::uint8_t> bytes; // the start of the file, through the last row when accepted
    Header header;
    std::optional<std::string> error;   // the file could not be opened or read
    std::optional<std::string> refusal; // the checks refuse the file
    bool accepted() const { return !error && !refusal; }
    const std::string& message() const { return error ? *error : *refusal; }
};

LoadedFile load_bmp_file(const std::string& path);
LoadedFile check_bmp_bytes(std::vector<std::uint8_t> bytes);

struct ImportOptions {
    bool t6963c_invert = false;  // "Invert Colors" as the box stands when the import runs
    bool working_invert = false; // the inversion the working copy (and SED1565) is painted with
};

enum ImportPart : unsigned { kT6963cPart = 1, kSed1565Part = 2, kPicturesPart = 4, kAllParts = 7 };

struct ImportResult {
    FileFacts facts;
    std::vector<std::uint8_t> t6963c;  // the stored rows' data bytes, in file order
    std::vector<std::uint8_t> sed1565; // pages of the working copy
    Picture source;                    // the file's picture in its palette colours
    Picture working;                   // the working copy, whole pages high
};

// The parts of `parts` for an accepted file.
ImportResult import_bmp(const LoadedFile& file, const ImportOptions& options,
                        unsigned parts = kAllParts);

} // namespace dotlane
