// Linked into every Windows test program: after each test, with the
// browser's windows and threads gone, every heap of the process is
// validated and the quarantine of freed blocks checked when the run checks
// the heap. What it finds is reported on the debug channel, which the run's
// log check reads, and named here. Before the first test the checks prove
// themselves on a stray write of their own (RunHeapSelfTest).
#include <gtest/gtest.h>

#include <string>

#include "host/HeapCheck.h"

namespace {

void Checkpoint(const std::string& moment)
{
    if (HeapChecksOn() && DamagedHeaps() != 0)
        ReportHeapDamage(moment.c_str());
}

class HeapCheckpoint : public ::testing::EmptyTestEventListener {
    void OnTestProgramStart(const ::testing::UnitTest&) override
    {
        RunHeapSelfTest([] { Checkpoint(kSelfTestMoment); });
    }
    void OnTestEnd(const ::testing::TestInfo& test) override
    {
        Checkpoint(std::string("the end of ") + test.test_suite_name() + "." + test.name());
    }
};

const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new HeapCheckpoint);
    return true;
}();

}  // namespace
