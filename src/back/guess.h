#pragma once
// Finding the layout and size of an array of unknown shape: every layout and every size the
// byte count allows, each scored by how much its picture looks like a drawing.
//
// A drawing is predictable: a pixel mostly follows from the pixels before it, left and
// above. The score is how much of that a candidate's picture shows: each pixel is coded
// from seven before it (two to the left, three above, one a byte's width to the left, one
// a page's height above), with the share of set pixels that each pattern of the seven is
// followed by in this picture, and
//
//     score = 1 - (bits that coding takes) / (bits the share of set pixels alone takes)
//             - 0.02 x (doublings of the height over the width, or of the width over four
//                       heights)
//
// is 0 for noise and near 1 for a picture of long runs; the last term prefers the shapes
// pictures for these displays mostly have, among readings that code almost alike. The candidates of
// one byte count cut the same bits at different places, so they differ where a wrong layout sets
// pixels side by side that are no neighbours: at byte edges (bit order), at page edges (page bit
// order) and between rows (width). Scoring is linear: one decoding and one pass a
// candidate, and there are a few candidates for each divisor of the byte count.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "layout/layouts.h"

namespace dotlane {

struct Shape {
    BitLayout layout = BitLayout::rows_msb;
    bool t6963c = false; // rows-msb bytes, bottom row first, after a "rows,bytes per row," line
    int width = 0, height = 0;
};

std::string shape_layout_name(const Shape& shape);

struct Candidate {
    Shape shape;
    double score = 0;
};

// The first line of a T6963C listing, when the text starts with one.
struct T6963cHead {
    int rows = 0, bytes_per_row = 0;
};

// Every candidate, best first. Equal scores keep this order: t6963c (only with `head`),
// pages-lsb, rows-msb, rows-lsb, pages-msb, then narrower first. The width of a row layout
// is unsure when every row ends in clear bits: with m clear columns at the left and k at
// the right, it is taken as whole bytes less k - m when that leaves part of the last byte
// (a drawing with margins alike on both sides), else as whole bytes (a drawing set to the
// left); the other of those widths comes next.
std::vector<Candidate> guess_shapes(std::span<const std::uint8_t> bytes,
                                    std::optional<T6963cHead> head = {});

} // namespace dotlane
