// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A process-wide object that is built on first use and never destroyed. Detached job threads may
// still use it while the process runs its static destructors on the way out, so it must outlive
// them all.

#include <new>
#include <utility>

namespace platform {

template <typename T> class NoDestructor {
public:
    template <typename... Args> explicit NoDestructor(Args&&... args) {
        ::new (static_cast<void*>(storage_)) T(std::forward<Args>(args)...);
    }
    NoDestructor(const NoDestructor&) = delete;
    NoDestructor& operator=(const NoDestructor&) = delete;

    T& get() { return *std::launder(reinterpret_cast<T*>(storage_)); }

private:
    alignas(T) unsigned char storage_[sizeof(T)];
};

} // namespace platform
