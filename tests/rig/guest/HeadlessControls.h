// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Controls that no window shows, for the job's controls record: each keeps what the monitor sets
// on it, as the dialog's window would, and may pass every text and bar position on to a
// listener. The monitor acts on them from its own thread.

#include "platform/fw/Backend.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

namespace rig {

class HeadlessPeer final : public fw::ProgressPeer {
public:
    using TextListener = std::function<void(std::string_view text)>;
    using BarListener = std::function<void(int position, int high)>;

    explicit HeadlessPeer(bool enabled, TextListener onText = {}, BarListener onBar = {});

    void setEnabled(bool enabled) override;
    bool isEnabled() const override;
    void setText(std::string_view text) override;
    std::string text() const override;
    void show(int low, int high, int position) override;

    /// Waits until the control is enabled.
    void waitUntilEnabled();

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool enabled_;
    std::string text_;
    TextListener onText_;
    BarListener onBar_;
};

/// A control of kind Control (fw::Button, fw::Static, fw::ProgressCtrl) bound to a peer of its
/// own for its whole life.
template <typename Control> class Headless final : public Control {
public:
    explicit Headless(HeadlessPeer& peer) : peer_(peer) {}

protected:
    fw::WindowPeer* FindPeer() const override { return &peer_; }

private:
    HeadlessPeer& peer_;
};

} // namespace rig
