#include "album/cells/CellBudget.h"

#include <algorithm>
#include <cstdint>

namespace {

// Headers, a full colour table and the cell's own object.
constexpr std::uint64_t kCellOverhead = 2048;
constexpr std::uint64_t kPageCells = 9;
constexpr std::uint64_t kKeptSteps = 3;    // before, shown, after

// The most a cell fitted into box can take.
std::uint64_t LargestCell(const CellBox& box)
{
    const std::uint64_t width = static_cast<std::uint64_t>(std::max(0, box.width - box.margin));
    const std::uint64_t height = static_cast<std::uint64_t>(std::max(0, box.height - box.margin));
    return 4 * width * height + kCellOverhead;
}

}  // namespace

std::size_t CellBudgetFor(const CellBox& thumbnail, const CellBox& single, std::size_t ceiling)
{
    const std::uint64_t thumb = LargestCell(thumbnail);
    const std::uint64_t pages = kKeptSteps * kPageCells * thumb;
    const std::uint64_t alone = kKeptSteps * LargestCell(single) + kPageCells * thumb;
    const std::uint64_t promised = std::max(pages, alone);
    // An eighth more, for a cell drawn while its successor is kept.
    return static_cast<std::size_t>(std::min<std::uint64_t>(promised + promised / 8, ceiling));
}

std::size_t CellBudgetBeside(std::size_t viewBudget, std::size_t heldWhole, std::size_t ceiling)
{
    const std::size_t left = heldWhole < ceiling ? ceiling - heldWhole : 0;
    return std::min(viewBudget, left);
}

std::uint64_t WholeDecodeBytes(int width, int height, int colours)
{
    const std::uint64_t bits = colours == 0 ? 32 : colours <= 2 ? 1 : colours <= 16 ? 4 : 8;
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(std::max(0, width)) * bits + 31) / 32 * 4;
    return rowBytes * static_cast<std::uint64_t>(std::max(0, height)) + kCellOverhead;
}
