// The global operator new and delete of the module that links this (every
// module of ours: heapguard/CMakeLists.txt makes the linker take them). The
// runtime's array and nothrow forms call these.
#include <new>

#include "heapguard/HeapGuard.h"

void* operator new(std::size_t bytes)
{
    for (;;) {
        if (void* block = HeapGuardAllocate(bytes))
            return block;
        std::new_handler handler = std::get_new_handler();
        if (handler == nullptr)
            throw std::bad_alloc();
        handler();
    }
}

void operator delete(void* block) noexcept
{
    HeapGuardRelease(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    HeapGuardRelease(block);
}
