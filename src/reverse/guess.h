#pragma once
// Finding the layout and size of an array of unknown shape: every layout and every size the
// byte count allows, each scored by how much its picture looks like a drawing.
//
// The score counts neighbouring pixels (left and right, above and below) that agree,
// beyond what chance gives: with p the share of set bits, pixels scattered at random
// would differ in c = 2p(1 - p) of the pairs, so
//
//     score = (pairs - changes / c) / bits
//
// is 0 for noise and near 2 for a picture of long runs, whose every pixel agrees with its
// right and lower neighbours. The candidates of one byte count cut the same bits at
// different places, so their scores differ only where a wrong layout joins pixels that are
// no neighbours: at byte edges (bit order), at page edges (page bit order) and between
// rows (width), and a candidate that joins fewer pixels (a picture one page high) wins
// nothing by it. Scoring reads the bytes once per candidate, a few bit operations a byte.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "import/layouts.h"

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
