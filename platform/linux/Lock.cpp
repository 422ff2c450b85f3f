// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Lock.h"

#include <mutex>

namespace platform {

struct Lock::State {
    std::mutex mutex;
};

Lock::Lock() : state_(std::make_unique<State>()) {
}
Lock::~Lock() = default;
void Lock::acquire() {
    state_->mutex.lock();
}
void Lock::release() {
    state_->mutex.unlock();
}

} // namespace platform
