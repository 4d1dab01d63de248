// Counts of what a process holds, sampled by the host after each opening so
// that tests can see whether the browser leaves anything behind.
#pragma once

#include <vector>

struct ProcessResources {
    unsigned long gdiObjects = 0;
    unsigned long userObjects = 0;
    unsigned long privateKb = 0;
    unsigned long threads = 0;
};

ProcessResources SampleProcessResources();

// The threads of this process, from a system snapshot.
unsigned long CountOwnThreads();
// Their identifiers.
std::vector<unsigned long> OwnThreadIds();
