// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/terminal/CallQueue.h"

#include <array>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace fw::term {
namespace {
constexpr std::size_t kDrainBytes = 64;
constexpr char kWakeByte = 1;
} // namespace

CallQueue::CallQueue() {
    std::array<int, 2> ends{};
    if (::pipe2(ends.data(), O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("no pipe for the terminal's call queue");
    wakeRead_.reset(ends[0]);
    wakeWrite_.reset(ends[1]);
}

CallQueue::~CallQueue() {
    close();
}

bool CallQueue::call(const std::function<void()>& work) {
    Pending pending{&work};
    std::unique_lock lock(mutex_);
    if (!open_)
        return false;
    queue_.push_back(&pending);
    // A full pipe already wakes the loop; the byte is only a signal.
    [[maybe_unused]] const ssize_t woken = ::write(wakeWrite_.get(), &kWakeByte, 1);
    finished_.wait(lock, [&] { return pending.finished; });
    return pending.ran;
}

void CallQueue::drainWake() {
    std::array<char, kDrainBytes> bytes{};
    while (::read(wakeRead_.get(), bytes.data(), bytes.size()) > 0) {
    }
}

void CallQueue::runPending() {
    drainWake();
    std::deque<Pending*> due;
    {
        std::lock_guard lock(mutex_);
        due.swap(queue_);
    }
    for (Pending* pending : due) {
        (*pending->work)();
        std::lock_guard lock(mutex_);
        pending->ran = true;
        pending->finished = true;
        finished_.notify_all();
    }
}

void CallQueue::close() {
    std::lock_guard lock(mutex_);
    open_ = false;
    for (Pending* pending : queue_)
        pending->finished = true;
    queue_.clear();
    finished_.notify_all();
}

} // namespace fw::term
