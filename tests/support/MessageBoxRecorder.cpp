// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/MessageBoxRecorder.h"

#include <gtest/gtest.h>

namespace test {

MessageBoxRecorder::MessageBoxRecorder(int defaultAnswer)
    : defaultAnswer_(defaultAnswer), previous_(platform::SetMessageBoxPresenter(this)) {
}

MessageBoxRecorder::~MessageBoxRecorder() {
    platform::SetMessageBoxPresenter(previous_);
}

int MessageBoxRecorder::show(win::HWND owner, const char* text, const char* caption,
                             win::UINT type) {
    std::lock_guard lock(mutex_);
    boxes_.push_back(RecordedBox{owner, text ? text : "", caption ? caption : "", type,
                                 std::this_thread::get_id()});
    if (answers_.empty())
        return defaultAnswer_;
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void MessageBoxRecorder::queueAnswer(int answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

std::size_t MessageBoxRecorder::count() const {
    std::lock_guard lock(mutex_);
    return boxes_.size();
}

RecordedBox MessageBoxRecorder::at(std::size_t index) const {
    std::lock_guard lock(mutex_);
    if (index >= boxes_.size()) {
        ADD_FAILURE() << "no message box number " << index << " (" << boxes_.size() << " shown)";
        return {};
    }
    return boxes_[index];
}

std::vector<RecordedBox> MessageBoxRecorder::all() const {
    std::lock_guard lock(mutex_);
    return boxes_;
}

} // namespace test
