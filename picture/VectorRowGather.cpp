#include "VectorRowGather.h"

#include <algorithm>
#include <cstring>
#include <new>

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>
#define DIB_HAS_X86_PERMUTES 1
#else
#define DIB_HAS_X86_PERMUTES 0
#endif

namespace dib {
namespace {

struct UnitShape {
    std::size_t window;     // source bytes one run may span
    std::size_t maxLength;  // target bytes one run may fill
};

UnitShape ShapeOf(PermuteUnit unit)
{
    if (unit == PermuteUnit::Ssse3)
        return {32, 16};
    return {128, 64};
}

std::uint64_t LowBits(std::size_t count)
{
    return count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
}

// Lowest and highest source offset of some target bytes.
struct SourceSpan {
    std::uint32_t low;
    std::uint32_t high;

    SourceSpan With(std::uint32_t offset) const { return {std::min(offset, low), std::max(offset, high)}; }
    bool Fits(std::size_t window) const { return high - low < window; }
};

SourceSpan SpanOf(const std::uint32_t* offsets, std::size_t start, std::size_t length)
{
    SourceSpan span{offsets[start], offsets[start]};
    for (std::size_t t = 1; t < length; ++t)
        span = span.With(offsets[start + t]);
    return span;
}

struct Plan {
    const PermuteRun* runs;
    const PermuteRun* end;
    const std::uint32_t* offsets;
};

void CopyBytes(const Plan& plan, const PermuteRun& run, const std::uint8_t* from, std::uint8_t* to)
{
    for (std::uint32_t t = 0; t < run.length; ++t)
        to[run.targetStart + t] = from[plan.offsets[run.targetStart + t]];
}

#if DIB_HAS_X86_PERMUTES

// Runs at the row's ends, which unmasked loads and stores would overrun,
// are copied byte by byte.
template <int Rows>
__attribute__((target("ssse3"))) void GatherSsse3(const Plan& plan, const RowPair* rows)
{
    for (const PermuteRun* next = plan.runs; next != plan.end; ++next) {
        const PermuteRun& run = *next;
        if (!run.inside) {
            for (int k = 0; k < Rows; ++k)
                CopyBytes(plan, run, rows[k].from, rows[k].to);
            continue;
        }
        const __m128i lowControl = _mm_loadu_si128(reinterpret_cast<const __m128i*>(run.control));
        const __m128i highControl = _mm_loadu_si128(reinterpret_cast<const __m128i*>(run.control + 16));
        // Byte stores may alias anything: the run's fields are read once.
        const std::uint32_t sourceBase = run.sourceBase;
        const std::uint32_t targetStart = run.targetStart;
        for (int k = 0; k < Rows; ++k) {
            const std::uint8_t* window = rows[k].from + sourceBase;
            const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(window));
            const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(window + 16));
            const __m128i picked =
                _mm_or_si128(_mm_shuffle_epi8(low, lowControl), _mm_shuffle_epi8(high, highControl));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(rows[k].to + targetStart), picked);
        }
    }
}

// Runs at the row's ends use masked loads, which do not fault on the bytes
// they leave out, and masked stores, which keep the target's padding; the
// runs inside the rows, nearly all of them, need no masks.
template <int Rows>
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void GatherVbmi(const Plan& plan, const RowPair* rows)
{
    for (const PermuteRun* next = plan.runs; next != plan.end; ++next) {
        const PermuteRun& run = *next;
        const __m512i indices = _mm512_loadu_si512(run.control);
        if (run.inside) {
            // Byte stores may alias anything: the run's fields are read once.
            const std::uint32_t sourceBase = run.sourceBase;
            const std::uint32_t targetStart = run.targetStart;
#pragma GCC unroll 16
            for (int k = 0; k < Rows; ++k) {
                const std::uint8_t* window = rows[k].from + sourceBase;
                const __m512i picked = _mm512_permutex2var_epi8(_mm512_loadu_si512(window), indices,
                                                                _mm512_loadu_si512(window + 64));
                _mm512_storeu_si512(rows[k].to + targetStart, picked);
            }
            continue;
        }
        for (int k = 0; k < Rows; ++k) {
            const std::uint8_t* window = rows[k].from + run.sourceBase;
            const __m512i low = _mm512_maskz_loadu_epi8(run.loadMaskLow, window);
            const __m512i high = run.loadMaskHigh != 0 ? _mm512_maskz_loadu_epi8(run.loadMaskHigh, window + 64)
                                                       : _mm512_setzero_si512();
            _mm512_mask_storeu_epi8(rows[k].to + run.targetStart, LowBits(run.length),
                                    _mm512_permutex2var_epi8(low, indices, high));
        }
    }
}

#else

template <int Rows>
void GatherSsse3(const Plan& plan, const RowPair* rows)
{
    for (const PermuteRun* next = plan.runs; next != plan.end; ++next)
        for (int k = 0; k < Rows; ++k)
            CopyBytes(plan, *next, rows[k].from, rows[k].to);
}

template <int Rows>
void GatherVbmi(const Plan& plan, const RowPair* rows)
{
    GatherSsse3<Rows>(plan, rows);
}

#endif

}  // namespace

bool CanUse(PermuteUnit unit)
{
#if DIB_HAS_X86_PERMUTES
    static const bool ssse3 = (__builtin_cpu_init(), __builtin_cpu_supports("ssse3") != 0);
    // The feature test also checks that the system saves the AVX-512 state.
    static const bool vbmi = (__builtin_cpu_init(), __builtin_cpu_supports("avx512bw") != 0 &&
                                                        __builtin_cpu_supports("avx512vbmi") != 0);
    return unit == PermuteUnit::Ssse3 ? ssse3 : vbmi;
#else
    (void)unit;
    return false;
#endif
}

// Cuts runs greedily from the left: a run grows while it has room and all
// its source bytes still fit one window. The last run is moved back to end
// at the row's last byte, and windows are moved back to end at the source
// row's end, so that in all but the smallest rows every run loads and
// stores whole vectors; a moved run writes some bytes again, with the same
// values. Answers the number of runs, or 0 when more than capacity.
std::size_t VectorRowGather::CutRuns(std::size_t window, std::size_t maxLength, std::size_t sourceStride,
                                     std::size_t capacity)
{
    std::size_t count = 0;
    for (std::size_t k = 0; k < targetBytes_; ++count) {
        if (count == capacity)
            return 0;
        // Mostly the longest run fits; it is checked in one sweep first.
        std::size_t length = std::min(maxLength, targetBytes_ - k);
        SourceSpan span = SpanOf(offsets_, k, length);
        if (!span.Fits(window)) {
            span = {offsets_[k], offsets_[k]};
            length = 1;
            while (span.With(offsets_[k + length]).Fits(window))
                span = span.With(offsets_[k + length++]);
        }
        if (k + maxLength > targetBytes_ && targetBytes_ >= maxLength) {
            const SourceSpan tail = SpanOf(offsets_, targetBytes_ - maxLength, maxLength);
            if (tail.Fits(window)) {
                k = targetBytes_ - maxLength;
                length = maxLength;
                span = tail;
            }
        }
        PlaceRun(runs_[count], k, length, span.low, window, maxLength, sourceStride);
        k += length;
    }
    return count;
}

void VectorRowGather::PlaceRun(PermuteRun& run, std::size_t start, std::size_t length, std::uint32_t lowestOffset,
                               std::size_t window, std::size_t maxLength, std::size_t sourceStride) const
{
    run.sourceBase = lowestOffset;
    if (sourceStride >= window && run.sourceBase + window > sourceStride)
        run.sourceBase = static_cast<std::uint32_t>(sourceStride - window);
    run.targetStart = static_cast<std::uint32_t>(start);
    run.length = static_cast<std::uint32_t>(length);
    // A run inside the rows loads its whole window and stores a whole
    // vector: the bytes it writes past its own length are written again,
    // correctly, by the runs after it.
    const std::size_t readable = sourceStride - run.sourceBase;
    run.inside = readable >= window && start + maxLength <= targetBytes_;
    run.loadMaskLow = LowBits(readable);
    run.loadMaskHigh = readable > 64 ? LowBits(readable - 64) : 0;
}

bool VectorRowGather::Build(PermuteUnit unit, const std::uint32_t* offsets, std::size_t targetBytes,
                            std::size_t sourceStride, std::size_t minAverageRun)
{
    if (!CanUse(unit) || targetBytes == 0)
        return false;
    const UnitShape shape = ShapeOf(unit);
    unit_ = unit;
    offsets_ = offsets;
    targetBytes_ = targetBytes;
    // Paying runs average minAverageRun bytes or more; without that
    // condition there may be a run for every byte.
    const std::size_t capacity = minAverageRun > 0 ? targetBytes / minAverageRun + 1 : targetBytes;
    runs_.reset(new (std::nothrow) PermuteRun[capacity]);
    if (!runs_)
        return false;
    runCount_ = CutRuns(shape.window, shape.maxLength, sourceStride, capacity);
    if (runCount_ == 0)
        return false;
    FillControls();
    return true;
}

// SSSE3's 0x80 zeroes a lane: each lane is taken from one half.
void VectorRowGather::FillControls()
{
    const bool halves = unit_ == PermuteUnit::Ssse3;
    const std::uint32_t* offsets = offsets_;  // byte stores below may alias members
    for (std::size_t r = 0; r < runCount_; ++r) {
        PermuteRun& run = runs_[r];
        const std::uint32_t base = run.sourceBase;
        const std::uint32_t* runOffsets = offsets + run.targetStart;
        const std::uint32_t length = run.length;
        std::memset(run.control, halves ? 0x80 : 0, sizeof run.control);
        if (!halves) {
            for (std::uint32_t t = 0; t < length; ++t)
                run.control[t] = static_cast<std::uint8_t>(runOffsets[t] - base);
            continue;
        }
        for (std::uint32_t t = 0; t < length; ++t) {
            const std::uint32_t relative = runOffsets[t] - base;
            run.control[relative < 16 ? t : 16 + t] = static_cast<std::uint8_t>(relative & 15);
        }
    }
}

void VectorRowGather::Gather(const RowPair* rows, int count) const
{
    const Plan plan{runs_.get(), runs_.get() + runCount_, offsets_};
    int k = 0;
    for (; k + kMaxRows <= count; k += kMaxRows) {
        if (unit_ == PermuteUnit::Vbmi)
            GatherVbmi<kMaxRows>(plan, rows + k);
        else
            GatherSsse3<kMaxRows>(plan, rows + k);
    }
    for (; k < count; ++k) {
        if (unit_ == PermuteUnit::Vbmi)
            GatherVbmi<1>(plan, rows + k);
        else
            GatherSsse3<1>(plan, rows + k);
    }
}

}  // namespace dib
