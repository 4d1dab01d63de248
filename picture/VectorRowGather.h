// Byte permutes for the whole-byte pixel rows of a nearest-neighbour
// resize. Every target row of such a resize takes target byte k from byte
// offsets[k] of its source row, and pixels' offsets never decrease, so a
// run of target bytes comes from a short window of the source row. The
// plan cuts the target row into runs once per resize; each run is then one
// shuffle (SSSE3: up to 16 bytes from a 32-byte window, two PSHUFB) or one
// permute (AVX-512 VBMI: up to 64 bytes from a 128-byte window, one
// VPERMI2B).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace dib {

enum class PermuteUnit { Ssse3, Vbmi };

// Whether this processor, and the system's saving of its registers, allow
// the unit. Read once.
bool CanUse(PermuteUnit unit);

// A run of target bytes, the source window it is taken from, and the
// permute's control: VBMI indexes the 128-byte window; SSSE3 has a PSHUFB
// mask for each 16-byte half.
struct PermuteRun {
    std::uint8_t control[64];
    std::uint32_t sourceBase;   // first source byte of the window
    std::uint32_t targetStart;  // first target byte
    std::uint32_t length;       // target bytes it fills
    bool inside;                // window and whole vector store inside the rows
    std::uint64_t loadMaskLow;  // (VBMI) window bytes inside the source row
    std::uint64_t loadMaskHigh;
};

struct RowPair {
    const std::uint8_t* from;
    std::uint8_t* to;
};

class VectorRowGather {
public:
    // Cuts the target row into runs. Fails, and the caller keeps its own
    // loops, when memory is short or when the runs average fewer than
    // minAverageRun target bytes (a strong reduction leaves few target
    // bytes per window, and permutes stop paying for themselves; 0 takes
    // runs of any length). offsets[] (targetBytes entries, each below
    // sourceStride) must outlive the plan: SSSE3 copies the runs at the
    // row's ends, which no whole vector fits, through it.
    bool Build(PermuteUnit unit, const std::uint32_t* offsets, std::size_t targetBytes, std::size_t sourceStride,
               std::size_t minAverageRun);

    // Rows taken together share each run's control, loaded once.
    static constexpr int kMaxRows = 8;

    // Fills targetBytes bytes of each target row from its source row, which
    // is readable for sourceStride bytes. Nothing past targetBytes is
    // written.
    void Gather(const RowPair* rows, int count) const;

private:
    std::size_t CutRuns(std::size_t window, std::size_t maxLength, std::size_t sourceStride, std::size_t capacity);
    void PlaceRun(PermuteRun& run, std::size_t start, std::size_t length, std::uint32_t lowestOffset,
                  std::size_t window, std::size_t maxLength, std::size_t sourceStride) const;
    void FillControls();

    PermuteUnit unit_ = PermuteUnit::Ssse3;
    const std::uint32_t* offsets_ = nullptr;
    std::size_t targetBytes_ = 0;
    std::unique_ptr<PermuteRun[]> runs_;
    std::size_t runCount_ = 0;
};

}  // namespace dib
