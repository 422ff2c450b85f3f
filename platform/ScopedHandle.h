// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One move-only owner per kind of OS resource. Traits name the invalid value and the release.

#include "platform/Files.h"

#include <utility>

namespace platform {

template <typename Traits> class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() noexcept : handle_(Traits::invalid()) {}
    explicit ScopedHandle(Handle handle) noexcept : handle_(handle) {}
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() { reset(); }

    Handle get() const noexcept { return handle_; }
    bool valid() const noexcept { return handle_ != Traits::invalid(); }
    explicit operator bool() const noexcept { return valid(); }

    /// Gives the handle up without releasing it.
    Handle release() noexcept { return std::exchange(handle_, Traits::invalid()); }

    void reset(Handle handle = Traits::invalid()) noexcept {
        Handle old = std::exchange(handle_, handle);
        if (old != Traits::invalid())
            Traits::close(old);
    }

private:
    Handle handle_;
};

struct FileHandleTraits {
    using Handle = win::HANDLE;
    static Handle invalid() noexcept {
        using namespace win; // a macro on Windows, a constant of the layer on Linux
        return INVALID_HANDLE_VALUE;
    }
    static void close(Handle handle) noexcept { win::CloseHandle(handle); }
};

/// Owns a handle from CreateFileA.
using FileHandle = ScopedHandle<FileHandleTraits>;

} // namespace platform
