// Guarded buffers over mmap: the pages of the buffer, then one without access.
#include "tests/hardening/guarded_page.h"

#include <cstring>
#include <new>

#include <sys/mman.h>
#include <unistd.h>

namespace aiktest {

GuardedBuffer::GuardedBuffer(std::size_t size, uint8_t fill) {
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t pages = (size + page - 1) / page + 1;
    m_mappingBytes = pages * page;
    m_mapping = mmap(nullptr, m_mappingBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (m_mapping == MAP_FAILED)
        throw std::bad_alloc();
    auto* const guard = static_cast<uint8_t*>(m_mapping) + m_mappingBytes - page;
    mprotect(guard, page, PROT_NONE);
    m_data = guard - size;
    std::memset(m_data, fill, size);
}

GuardedBuffer::~GuardedBuffer() {
    munmap(m_mapping, m_mappingBytes);
}

} // namespace aiktest
