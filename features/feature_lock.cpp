// The feature lock over the platform's recursive lock.
#include "features/feature_lock.h"

CMyCriticalSection g_featureLock;

// LockCreate fails only when memory or kernel resources run out at load; the lock
// then guards nothing rather than take the host down.
CMyCriticalSection::CMyCriticalSection() : m_pLock(platform::LockCreate()) {}

CMyCriticalSection::~CMyCriticalSection() {
    platform::LockDestroy(m_pLock);
}

void CMyCriticalSection::Lock() {
    if (m_pLock != nullptr)
        platform::LockEnter(m_pLock);
}

void CMyCriticalSection::Unlock() {
    if (m_pLock != nullptr)
        platform::LockLeave(m_pLock);
}

int32_t CMyCriticalSection::TryLock() {
    return m_pLock != nullptr && platform::LockTryEnter(m_pLock) ? 1 : 0;
}

CCsAutoLock::CCsAutoLock(CMyCriticalSection* pSection) : m_pSection(pSection), m_iLocked(0) {
    m_pSection->Lock();
    m_iLocked = 1;
}

CCsAutoLock::~CCsAutoLock() {
    if (m_iLocked == 1)
        m_pSection->Unlock();
}
