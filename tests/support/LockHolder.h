// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Another process that holds a lock on a file for as long as the object lives: a child of the
// test process with a lock of its kind, or a real emulator running from the file as its floppy
// (which guards its image with open-file-description locks).

#include <string>
#include <sys/types.h>

namespace test {

enum class LockKind {
    OpenFileWrite, ///< F_OFD_SETLK, write lock over the whole file
    OpenFileRead,  ///< F_OFD_SETLK, read lock over one byte, as an emulator takes them
    Posix,         ///< lockf: a POSIX write lock from the current position on
    Flock,         ///< flock: a shared whole-file lock, which record locks do not see
};

class LockHolder {
public:
    /// Starts a child that opens path and takes the lock; empty (false) when it could not.
    LockHolder(const std::string& path, LockKind kind);
    /// Ends the child, which lets the lock go.
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    explicit operator bool() const { return holding_; }

private:
    pid_t child_ = -1;
    bool holding_ = false;
};

class EmulatorHolding {
public:
    /// Starts qemu-system-i386 paused with the image as its floppy drive A: and waits until it
    /// has locked it; empty (false) when there is no emulator or it took no lock.
    explicit EmulatorHolding(const std::string& image);
    ~EmulatorHolding();
    EmulatorHolding(const EmulatorHolding&) = delete;
    EmulatorHolding& operator=(const EmulatorHolding&) = delete;

    explicit operator bool() const { return holding_; }

private:
    pid_t child_ = -1;
    bool holding_ = false;
};

} // namespace test
