// How much picture memory the album's finished cells may take. The album
// promises to keep the page or picture shown and those on both sides of it
// (in single mode also the page of the picture shown), so the budget is
// what those take at most in a view of this size: a thumbnail is never
// larger than its box less the margin, a picture alone never larger than
// the view less its margin, at four bytes a pixel. On very large views
// the ceiling holds instead, and the least recently used cells go first.
#pragma once

#include <cstddef>
#include <cstdint>

#include "album/cells/CellFit.h"

// A 32-bit host process has 2 GB of address space, and the host records
// video in it: the cells take at most a sixteenth of it, which keeps what
// the album promises on screens up to 3840 x 2160 (about 123 MB) but not
// on larger ones. A 64-bit host has room: its ceiling keeps the promise
// and its eighth more on screens up to 7680 x 4320 (about 575 MB), and
// only still larger views drop the least recently used cells early.
constexpr std::size_t kCellBudgetCeiling32 = std::size_t{128} * 1024 * 1024;
constexpr std::size_t kCellBudgetCeiling64 = std::size_t{768} * 1024 * 1024;
constexpr std::size_t kCellBudgetCeiling = sizeof(void*) == 8 ? kCellBudgetCeiling64 : kCellBudgetCeiling32;

// The budget for a view whose thumbnails are fitted into thumbnail and
// whose picture shown alone is fitted into single, at most ceiling.
std::size_t CellBudgetFor(const CellBox& thumbnail, const CellBox& single,
                          std::size_t ceiling = kCellBudgetCeiling);

// A picture shown alone that is not a JPEG is held whole while it is
// zoomed, and what it holds counts against the same ceiling: the cells get
// what is left of it beside the picture (the view's budget, or less).
std::size_t CellBudgetBeside(std::size_t viewBudget, std::size_t heldWhole,
                             std::size_t ceiling = kCellBudgetCeiling);
// The most a picture of width x height decoded whole takes, at the depth
// its colour count gives (0: 16 bits a pixel or more, taken as 32).
std::uint64_t WholeDecodeBytes(int width, int height, int colours);
// Whether a picture decoded whole into that many bytes may be held for its
// zoom: no more than the ceiling, which is what the host can spare.
inline bool MayHoldWhole(std::uint64_t bytes, std::size_t ceiling = kCellBudgetCeiling) { return bytes <= ceiling; }
