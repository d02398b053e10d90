// A stand-in for the platform's free-space query, so that tests can run the log
// writer on a nearly full volume, or on one that cannot be queried.
#pragma once

#include <atomic>
#include <cstdint>

namespace diagtest {

extern std::atomic<uint64_t> g_fakeFreeBytes;
extern std::atomic<bool> g_fakeQueryFails;

} // namespace diagtest
