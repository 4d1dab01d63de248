// Whether the host's resource samples stay flat over a run of openings or
// of automatic browse: its GDI and user objects and threads, and its
// memory, whose samples jitter by a few hundred kilobytes under Wine and
// so are judged by their trend (the least-squares growth per sample).
#pragma once

#include <cstddef>
#include <vector>

#include "tests/operator/HostProcess.h"

// Growth of the memory samples from index `from` on, in KB per sample.
double MemoryGrowthPerSample(const std::vector<ResourceSample>& samples, size_t from);

// Checks the samples after the first warmUp (in which the system's caches
// fill) against the first warm one, and prints the start and end of each
// count as a "soak:" line named run. A leak of one thread, of kbPerSample of
// memory, or of one GDI or user object per sample over six samples or more
// fails, and so does memory whose highest sample grows by 4 MB from the
// first half of the run to the second (a slow leak of a long run).
void ExpectFlat(const char* run, const std::vector<ResourceSample>& samples, size_t warmUp, double kbPerSample);
