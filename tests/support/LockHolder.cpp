// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/LockHolder.h"

#include "support/Programs.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace test {
namespace {

using namespace std::chrono_literals;
constexpr auto kEmulatorStart = 20s;
constexpr auto kPoll = 20ms;

bool TakeLock(int fd, LockKind kind) {
    if (kind == LockKind::Posix)
        return lockf(fd, F_TLOCK, 0) == 0;
    if (kind == LockKind::Flock)
        return flock(fd, LOCK_SH | LOCK_NB) == 0;
    struct flock range {};
    range.l_whence = SEEK_SET;
    if (kind == LockKind::OpenFileWrite) {
        range.l_type = F_WRLCK;
    } else {
        range.l_type = F_RDLCK;
        range.l_start = 100;
        range.l_len = 1;
    }
    return fcntl(fd, F_OFD_SETLK, &range) == 0;
}

// Whether another process holds a record lock anywhere in the file.
bool SomeoneLocks(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    const bool locked = fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    close(fd);
    return locked;
}

void EndChild(pid_t child) {
    if (child <= 0)
        return;
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
}

} // namespace

LockHolder::LockHolder(const std::string& path, LockKind kind) {
    int ready[2] = {};
    if (pipe2(ready, O_CLOEXEC) != 0)
        return;
    child_ = fork();
    if (child_ == 0) {
        // Only async-signal-safe calls from here on: the parent has threads.
        const int fd = open(path.c_str(), O_RDWR);
        const char answer = fd >= 0 && TakeLock(fd, kind) ? 'y' : 'n';
        [[maybe_unused]] const ssize_t sent = write(ready[1], &answer, 1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char answer = 'n';
    holding_ = child_ > 0 && read(ready[0], &answer, 1) == 1 && answer == 'y';
    close(ready[0]);
}

LockHolder::~LockHolder() {
    EndChild(child_);
}

EmulatorHolding::EmulatorHolding(const std::string& image) {
    const std::string drive = "file=" + image + ",if=floppy,format=raw";
    std::vector<std::string> arguments{"qemu-system-i386", "-S",  "-nodefaults", "-display", "none",
                                       "-accel",           "tcg", "-drive",      drive};
    std::vector<char*> argv = ArgumentPointers(arguments);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawnp(&child_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        child_ = -1;
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + kEmulatorStart;
    while (!holding_ && std::chrono::steady_clock::now() < deadline) {
        holding_ = SomeoneLocks(image);
        if (!holding_)
            std::this_thread::sleep_for(kPoll);
    }
}

EmulatorHolding::~EmulatorHolding() {
    EndChild(child_);
}

} // namespace test
