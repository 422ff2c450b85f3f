// SPDX-License-Identifier: GPL-2.0-or-later
#include "HeadlessControls.h"

#include <utility>

namespace rig {

HeadlessPeer::HeadlessPeer(bool enabled, TextListener onText, BarListener onBar)
    : enabled_(enabled), onText_(std::move(onText)), onBar_(std::move(onBar)) {
}

void HeadlessPeer::setEnabled(bool enabled) {
    {
        const std::lock_guard lock(mutex_);
        enabled_ = enabled;
    }
    changed_.notify_all();
}

bool HeadlessPeer::isEnabled() const {
    const std::lock_guard lock(mutex_);
    return enabled_;
}

void HeadlessPeer::setText(std::string_view text) {
    {
        const std::lock_guard lock(mutex_);
        text_ = text;
    }
    if (onText_)
        onText_(text);
}

std::string HeadlessPeer::text() const {
    const std::lock_guard lock(mutex_);
    return text_;
}

void HeadlessPeer::show(int, int high, int position) {
    if (onBar_)
        onBar_(position, high);
}

void HeadlessPeer::waitUntilEnabled() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return enabled_; });
}

} // namespace rig
