// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/fw/Backend.h"

#include <atomic>

namespace fw {
namespace {
std::atomic<Backend*> installed{nullptr};
} // namespace

Backend* SetBackend(Backend* backend) {
    return installed.exchange(backend);
}

Backend* GetBackend() {
    return installed.load();
}

bool CallOnUiThread(const std::function<void()>& work) {
    Backend* backend = installed.load();
    if (backend == nullptr || backend->isUiThread()) {
        work();
        return true;
    }
    return backend->callOnUiThread(work);
}

} // namespace fw
