// Allocation failure on demand: the global operator new of a test program, through
// which the module allocates as every library in the process does. Only allocations
// made directly by one library's code count, and only on the calling thread: the
// camera library and the host stand-in keep allocating as usual.
#pragma once

#include <cstdint>

namespace aiktest {

// The library whose allocations count: the loaded object holding address.
void CountAllocationsOf(const void* address);
// The nth counted allocation from now on this thread throws std::bad_alloc; 0: none.
void FailAllocation(uint64_t nth);
// Whether the failure set by FailAllocation has happened.
bool AllocationFailed();
// Counted allocations made on this thread so far.
uint64_t AllocationCount();

} // namespace aiktest
