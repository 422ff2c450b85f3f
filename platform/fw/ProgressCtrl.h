// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A progress bar. The position always lies within the range; a fresh bar has the range 0..100,
// position 0 and step 10.

#include "platform/fw/Window.h"

namespace fw {

class ProgressCtrl : public Control {
public:
    static constexpr int kDefaultLow = 0;
    static constexpr int kDefaultHigh = 100;
    static constexpr int kDefaultStep = 10;

    /// Sets the range and moves the position into it.
    void SetRange(int low, int high);
    /// Moves to pos, held within the range; returns the previous position.
    int SetPos(int pos);
    int GetPos() const;
    /// Returns the previous step.
    int SetStep(int step);
    /// Advances by the step; past the high end the position wraps round to the low end. An
    /// empty range does not move. Returns the previous position.
    int StepIt();

protected:
    void OnAttached(WindowPeer& peer) override;

private:
    /// Runs change on the UI thread and shows the result; nothing while unbound.
    template <typename Change> void Update(Change&& change);

    // Touched on the UI thread only.
    int low_ = kDefaultLow;
    int high_ = kDefaultHigh;
    int pos_ = kDefaultLow;
    int step_ = kDefaultStep;
};

} // namespace fw
