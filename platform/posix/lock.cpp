// Recursive lock over a recursive pthread mutex.
#include "platform/lock.h"

#include <new>
#include <pthread.h>

namespace platform {

struct RecursiveLock {
    pthread_mutex_t mutex;
};

RecursiveLock* LockCreate() {
    auto* lock = new (std::nothrow) RecursiveLock;
    if (lock == nullptr)
        return nullptr;
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    int rc = pthread_mutex_init(&lock->mutex, &attr);
    pthread_mutexattr_destroy(&attr);
    if (rc != 0) {
        delete lock;
        return nullptr;
    }
    return lock;
}

void LockEnter(RecursiveLock* lock) {
    pthread_mutex_lock(&lock->mutex);
}
bool LockTryEnter(RecursiveLock* lock) {
    return pthread_mutex_trylock(&lock->mutex) == 0;
}
void LockLeave(RecursiveLock* lock) {
    pthread_mutex_unlock(&lock->mutex);
}

void LockDestroy(RecursiveLock* lock) {
    if (lock == nullptr)
        return;
    pthread_mutex_destroy(&lock->mutex);
    delete lock;
}

} // namespace platform
