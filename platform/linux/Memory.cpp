// SPDX-License-Identifier: GPL-2.0-or-later
// The page allocator over anonymous mappings: page-aligned, zero-filled, as O_DIRECT needs.
#include "platform/NoDestructor.h"
#include "platform/System.h"

#include <mutex>
#include <sys/mman.h>
#include <unordered_map>

namespace win {
namespace {

// VirtualFree releases a whole allocation given only its address, so remember each size.
struct Allocations {
    std::mutex mutex;
    std::unordered_map<void*, std::size_t> sizes;
};

Allocations& allocations() {
    static platform::NoDestructor<Allocations> instance;
    return instance.get();
}

} // namespace

LPVOID VirtualAlloc(LPVOID address, std::size_t size, DWORD allocationType, DWORD protect) {
    if (address != nullptr || size == 0 || (allocationType & MEM_COMMIT) == 0 ||
        (allocationType & ~(MEM_COMMIT | MEM_RESERVE)) != 0 || protect != PAGE_READWRITE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::lock_guard lock(allocations().mutex);
    allocations().sizes.emplace(memory, size);
    return memory;
}

BOOL VirtualFree(LPVOID address, std::size_t size, DWORD freeType) {
    if (freeType != MEM_RELEASE || size != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::size_t length = 0;
    {
        std::lock_guard lock(allocations().mutex);
        auto found = allocations().sizes.find(address);
        if (found == allocations().sizes.end()) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        length = found->second;
        allocations().sizes.erase(found);
    }
    munmap(address, length);
    return TRUE;
}

} // namespace win
