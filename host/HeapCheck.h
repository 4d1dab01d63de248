// Whole-heap validation at quiet moments. When Windows' heap checks are on
// for a process (the tests turn them on by program name), freed blocks are
// filled with a pattern and block tails are marked, and the blocks that our
// modules free are held back in a quarantine (heapguard/HeapGuard.h);
// validating every heap and checking the quarantine then finds a write into
// freed memory or past a block's end. The host does it after each opening,
// once the browser's thread has ended; the test programs after each test.
#pragma once

// True when the process runs with heap tail or free checks.
bool HeapChecksOn();
// Validates every heap of the process and checks the quarantine; the
// number of heaps and held blocks found damaged (each is reported on the
// debug channel: the system's "heap" channel, or by the quarantine).
unsigned DamagedHeaps();
// Says on the debug channel, which the test run's log check reads, that a
// checkpoint found damage: "heap damaged by MOMENT in PROGRAM".
void ReportHeapDamage(const char* moment);

// The moment the self-test's checkpoint names.
extern const char kSelfTestMoment[];
// The standing self-test of the checks, run before anything else where the
// quarantine is on, and only there (false, doing nothing, elsewhere): a
// write into the first bytes of one freed block and into the last byte of
// another, 100,000 allocations and frees after them (far more than the
// system's own checks outlast), then the program's own checkpoint, which
// must report them. It is framed by "heap guard self-test begins in
// PROGRAM" and "... ends in PROGRAM" on the debug channel, and the run's
// log check fails a program whose frame holds no report of its checkpoint
// or not the quarantine's of each write at its byte
// (tools/heap_reports.py): a checkpoint silenced, a quarantine bypassed or
// blind to a block's end does not pass unseen.
bool RunHeapSelfTest(void (*checkpoint)());
