#include "tests/hardening/failing_allocator.h"

#include <cstdlib>
#include <new>

#include <dlfcn.h>
#include <link.h>

namespace {

uintptr_t g_libraryStart = 0, g_libraryEnd = 0;
thread_local uint64_t t_allocationsUntilFailure = 0;
thread_local uint64_t t_allocations = 0;
thread_local bool t_failed = false;

bool Counted(const void* caller) {
    const auto address = reinterpret_cast<uintptr_t>(caller);
    return address >= g_libraryStart && address < g_libraryEnd;
}

} // namespace

namespace aiktest {

void CountAllocationsOf(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0)
        return;
    struct Span {
        uintptr_t base, start, end;
    } span{reinterpret_cast<uintptr_t>(info.dli_fbase), 0, 0};
    dl_iterate_phdr(
        [](dl_phdr_info* object, size_t, void* data) {
            auto* found = static_cast<Span*>(data);
            if (object->dlpi_addr + object->dlpi_phdr[0].p_vaddr - object->dlpi_phdr[0].p_offset !=
                    found->base &&
                object->dlpi_addr != found->base)
                return 0;
            for (int i = 0; i < object->dlpi_phnum; ++i) {
                const ElfW(Phdr)& header = object->dlpi_phdr[i];
                if (header.p_type != PT_LOAD || (header.p_flags & PF_X) == 0)
                    continue;
                found->start = object->dlpi_addr + header.p_vaddr;
                found->end = found->start + header.p_memsz;
            }
            return 1;
        },
        &span);
    g_libraryStart = span.start;
    g_libraryEnd = span.end;
}

void FailAllocation(uint64_t nth) {
    t_allocationsUntilFailure = nth;
    t_failed = false;
}

bool AllocationFailed() {
    return t_failed;
}

uint64_t AllocationCount() {
    return t_allocations;
}

} // namespace aiktest

void* operator new(std::size_t size) {
    if (Counted(__builtin_return_address(0))) {
        ++t_allocations;
        if (t_allocationsUntilFailure != 0 && --t_allocationsUntilFailure == 0) {
            t_failed = true;
            throw std::bad_alloc();
        }
    }
    if (void* memory = std::malloc(size != 0 ? size : 1))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
