// A recursive lock: the thread that holds it may take it again.
#pragma once

namespace platform {

struct RecursiveLock;

// nullptr when the lock cannot be created.
RecursiveLock* LockCreate();
void LockEnter(RecursiveLock* lock);
bool LockTryEnter(RecursiveLock* lock);
void LockLeave(RecursiveLock* lock);
void LockDestroy(RecursiveLock* lock);

} // namespace platform
