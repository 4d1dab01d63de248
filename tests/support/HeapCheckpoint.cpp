// Linked into every Windows test program: after each test, with the
// browser's windows and threads gone, every heap of the process is
// validated when the run checks the heap. What it finds is reported on the
// system's heap channel, which the run's log check reads, and named here.
#include <gtest/gtest.h>

#include <cstdio>

#include "host/HeapCheck.h"

namespace {

class HeapCheckpoint : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo& test) override
    {
        if (HeapChecksOn() && DamagedHeaps() != 0)
            std::printf("heap damaged by the end of %s.%s\n", test.test_suite_name(), test.name());
    }
};

const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new HeapCheckpoint);
    return true;
}();

}  // namespace
