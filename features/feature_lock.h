// The lock object that serialises the feature value slots, and its scoped guard.
#pragma once

#include "platform/lock.h"

#include <cstdint>

// Owns one recursive operating-system lock: the thread that holds it may take it
// again.
class CMyCriticalSection {
public:
    CMyCriticalSection();
    virtual ~CMyCriticalSection();
    CMyCriticalSection(const CMyCriticalSection&) = delete;
    CMyCriticalSection& operator=(const CMyCriticalSection&) = delete;

    virtual void Lock();
    virtual void Unlock();
    // Takes the lock only if that needs no wait; non-zero when it was taken.
    virtual int32_t TryLock();

private:
    platform::RecursiveLock* m_pLock;
};

// Holds a CMyCriticalSection from construction to destruction, so every way out of
// a scope, an exception included, releases it.
class CCsAutoLock {
public:
    explicit CCsAutoLock(CMyCriticalSection* pSection);
    virtual ~CCsAutoLock();
    CCsAutoLock(const CCsAutoLock&) = delete;
    CCsAutoLock& operator=(const CCsAutoLock&) = delete;

private:
    CMyCriticalSection* m_pSection;
    int32_t m_iLocked;
};

// Held by ReadValue, WriteValue and ExecuteCommand of every channel, and by
// GetFeatureName, which rebuilds the feature list shared by all channels.
extern CMyCriticalSection g_featureLock;
