// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A buffer from the system's page allocator: page-aligned, as writes to a volume opened without
// system buffering need.

#include <cstddef>

class PageBuffer {
public:
    /// Commits bytes of read-write memory; empty (false) when the allocator refuses.
    explicit PageBuffer(std::size_t bytes);
    ~PageBuffer();
    PageBuffer(const PageBuffer&) = delete;
    PageBuffer& operator=(const PageBuffer&) = delete;

    void* get() const { return data_; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    void* data_;
};
