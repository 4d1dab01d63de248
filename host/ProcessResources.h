// Counts of what a process holds, sampled by the host after each opening so
// that tests can see whether the browser leaves anything behind.
#pragma once

#include <string>
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
// A thread of this process named by what can be learnt of it: its
// identifier, where it started and in which module, and its description
// where the system keeps one: "thread 1234 started at 0x6a4c1230 in
// ImageBrowse.dll".
std::string DescribeThread(unsigned long id);
