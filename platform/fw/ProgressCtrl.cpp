// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/fw/ProgressCtrl.h"

#include <cstdint>
#include <utility>

namespace fw {
namespace {

// Into the range as the Windows control does it: the low end first, then the high end.
int Clamp(int pos, int low, int high) {
    const int raised = pos < low ? low : pos;
    return raised > high ? high : raised;
}

// The position after a step, wrapped into low..high as the Windows control does it; computed in
// 64 bits so that no step overflows.
int Stepped(int pos, int step, int low, int high) {
    if (low == high)
        return pos;
    const std::int64_t span = std::int64_t{high} - low;
    std::int64_t next = std::int64_t{pos} + step;
    if (next > high)
        next = (next - low) % span + low;
    if (next < low)
        next = (next - low) % span + high;
    return static_cast<int>(next);
}

} // namespace

template <typename Change> void ProgressCtrl::Update(Change&& change) {
    WithPeer<ProgressPeer>([&](ProgressPeer& peer) {
        change();
        peer.show(low_, high_, pos_);
    });
}

void ProgressCtrl::SetRange(int low, int high) {
    Update([&] {
        low_ = low;
        high_ = high;
        pos_ = Clamp(pos_, low_, high_);
    });
}

int ProgressCtrl::SetPos(int pos) {
    int previous = 0;
    Update([&] {
        previous = pos_;
        pos_ = Clamp(pos, low_, high_);
    });
    return previous;
}

int ProgressCtrl::GetPos() const {
    int pos = 0;
    WithPeer<ProgressPeer>([&](ProgressPeer&) { pos = pos_; });
    return pos;
}

int ProgressCtrl::SetStep(int step) {
    int previous = 0;
    WithPeer<ProgressPeer>([&](ProgressPeer&) { previous = std::exchange(step_, step); });
    return previous;
}

int ProgressCtrl::StepIt() {
    int previous = 0;
    Update([&] {
        previous = pos_;
        pos_ = Stepped(pos_, step_, low_, high_);
    });
    return previous;
}

void ProgressCtrl::OnAttached(WindowPeer& peer) {
    low_ = kDefaultLow;
    high_ = kDefaultHigh;
    pos_ = kDefaultLow;
    step_ = kDefaultStep;
    if (auto* progress = dynamic_cast<ProgressPeer*>(&peer))
        progress->show(low_, high_, pos_);
}

} // namespace fw
