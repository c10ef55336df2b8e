#pragma once
// Several arrays in one C output: one file to include, or a header of declarations and a
// source file of data for projects that include the header from several files.
//
// The style's include comes first, once. Each array is written as --c-array writes one, in
// the style's type and attribute; with --compress rle, the decoder's text comes before them
// (once) and each array holds its compressed bytes with NAME_decoded_size;
// an animation adds NAME_frame_count and NAME_frame_delays (ms), its frames one after
// another; a table, when named, follows:
//
//   struct TABLE_entry { const unsigned char *data; unsigned short width, height;
//                        unsigned long size; };
//   #define TABLE_count 2
//   const struct TABLE_entry TABLE[TABLE_count] = { {logo, logo_width, ...}, ... };
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "declare/c_array.h"

namespace dotlane {

struct BundleEntry {
    CArray array;            // for an animation, the bytes of every frame one after another
    std::vector<int> delays; // ms, one a frame of an animation; empty for a still picture
};

struct BundleOptions {
    bool compress = false;
    std::optional<std::string> table;
    CFlavour flavour = kPlainC; // its include comes first, once
};

// Writes the arrays one at a time, each as soon as its picture is made, so that only one
// picture's bytes and text are held at once. `text` takes the one output, or with a header
// the source file, which includes the header by the last part of `header_path`.
class BundleWriter {
public:
    using Sink = std::function<void(std::string_view)>;
    BundleWriter(const BundleOptions& options, Sink text);
    BundleWriter(const BundleOptions& options, Sink source, Sink header,
                 const std::string& header_path);
    void add(const BundleEntry& entry);
    void finish(); // the table, and the header's end

private:
    BundleOptions options_;
    Sink text_, header_;
    std::string guard_;
    std::vector<std::string> names_; // for the table
};

// The macro that guards the header written to `header_path`: DOTLANE_ and its last path part.
std::string include_guard(const std::string& header_path);

} // namespace dotlane
