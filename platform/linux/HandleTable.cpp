// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/HandleTable.h"

#include "platform/NoDestructor.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace platform::layer {
namespace {

// Handle values advance by 4 as on Windows and are never reused within a run.
constexpr std::uintptr_t kFirstHandle = 0x100;
constexpr std::uintptr_t kHandleStep = 4;

struct Table {
    std::mutex mutex;
    std::uintptr_t next = kFirstHandle;
    std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> objects;
};

Table& table() {
    static platform::NoDestructor<Table> instance;
    return instance.get();
}

} // namespace

win::HANDLE InsertHandle(std::shared_ptr<KernelObject> object) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const std::uintptr_t value = t.next;
    t.next += kHandleStep;
    t.objects.emplace(value, std::move(object));
    return reinterpret_cast<win::HANDLE>(value);
}

std::shared_ptr<KernelObject> LookupHandle(win::HANDLE handle) {
    Table& t = table();
    {
        std::lock_guard lock(t.mutex);
        auto found = t.objects.find(reinterpret_cast<std::uintptr_t>(handle));
        if (found != t.objects.end())
            return found->second;
    }
    win::SetLastError(win::ERROR_INVALID_HANDLE);
    return nullptr;
}

bool RemoveHandle(win::HANDLE handle) {
    std::shared_ptr<KernelObject> removed; // released outside the lock: closing may block
    Table& t = table();
    {
        std::lock_guard lock(t.mutex);
        auto found = t.objects.find(reinterpret_cast<std::uintptr_t>(handle));
        if (found != t.objects.end()) {
            removed = std::move(found->second);
            t.objects.erase(found);
        }
    }
    if (!removed) {
        win::SetLastError(win::ERROR_INVALID_HANDLE);
        return false;
    }
    return true;
}

} // namespace platform::layer
