// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A plain mutual-exclusion lock that builds on every target (mingw-w64's win32 thread model has
// no std::mutex).

#include <memory>

namespace platform {

class Lock {
public:
    Lock();
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    void acquire();
    void release();

private:
    struct State;
    std::unique_ptr<State> state_;
};

/// Holds a Lock for its lifetime.
class LockGuard {
public:
    explicit LockGuard(Lock& lock) : lock_(lock) { lock_.acquire(); }
    ~LockGuard() { lock_.release(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    Lock& lock_;
};

} // namespace platform
