// Whole-heap validation at quiet moments. When Windows' heap checks are on
// for a process (the tests turn them on by program name), freed blocks are
// filled with a pattern and block tails are marked; validating every heap
// then finds a write into freed memory or past a block's end. The host does
// it after each opening, once the browser's thread has ended; the test
// programs after each test.
#pragma once

// True when the process runs with heap tail or free checks.
bool HeapChecksOn();
// Validates every heap of the process; the number found damaged (the
// system reports each on its debug channel).
unsigned DamagedHeaps();
