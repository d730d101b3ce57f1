// Watches the heap of one test program. AllocationProbe.cpp replaces the
// global operator new and delete of the program it is linked into, so that
// a test can count the bytes allocated while some code runs, and can keep
// the blocks freed meanwhile poisoned and out of use, to find out
// afterwards whether anything wrote into freed memory (which under Wine
// often goes unnoticed: the freed block is simply reused).
#pragma once

#include <cstddef>

namespace allocation_probe {

// Counts the bytes asked of operator new from now until StopCounting.
void StartCounting();
std::size_t StopCounting();

struct QuarantineReport {
    std::size_t freed;   // blocks deleted while the quarantine lasted
    std::size_t written; // of those, blocks changed after they were deleted
};

// From now on, deleted blocks are filled with a pattern and kept instead
// of freed, until EndQuarantine checks and frees them.
void StartQuarantine();
QuarantineReport EndQuarantine();

} // namespace allocation_probe
