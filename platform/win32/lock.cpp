// Recursive lock over a Win32 critical section.
#include "platform/lock.h"

#include <new>
#include <windows.h>

namespace platform {

struct RecursiveLock {
    CRITICAL_SECTION section;
};

RecursiveLock* LockCreate() {
    auto* lock = new (std::nothrow) RecursiveLock;
    if (lock != nullptr)
        InitializeCriticalSection(&lock->section);
    return lock;
}

void LockEnter(RecursiveLock* lock) {
    EnterCriticalSection(&lock->section);
}
bool LockTryEnter(RecursiveLock* lock) {
    return TryEnterCriticalSection(&lock->section) != 0;
}
void LockLeave(RecursiveLock* lock) {
    LeaveCriticalSection(&lock->section);
}

void LockDestroy(RecursiveLock* lock) {
    if (lock == nullptr)
        return;
    DeleteCriticalSection(&lock->section);
    delete lock;
}

} // namespace platform
