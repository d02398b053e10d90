// Host buffers that end where a page the process may not touch begins: a byte written
// or read past the end is a crash, not a silent corruption.
#ifndef AIKTEST_GUARDED_PAGE_H
#define AIKTEST_GUARDED_PAGE_H

#include <cstddef>
#include <cstdint>

namespace aiktest {

class GuardedBuffer {
public:
    // size bytes, the last one just before the guard page, filled with fill.
    GuardedBuffer(std::size_t size, uint8_t fill = 0);
    ~GuardedBuffer();
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    uint8_t* data() const { return m_data; }
    char* text() const { return reinterpret_cast<char*>(m_data); }

private:
    void* m_mapping = nullptr;
    std::size_t m_mappingBytes = 0;
    uint8_t* m_data = nullptr;
};

} // namespace aiktest

#endif
