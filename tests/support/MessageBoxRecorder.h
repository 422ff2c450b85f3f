// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A message-box responder for tests: while it lives, every MessageBoxA of the process comes to
// it. It records each box (owner, text, caption, style and the thread that showed it) and
// answers from a queue of answers, or with a default once the queue is empty. Boxes may come
// from any thread.
//
//   test::MessageBoxRecorder boxes;           // answers IDOK
//   boxes.queueAnswer(win::IDCANCEL);         // ... but the first box gets IDCANCEL
//   RunSomething();
//   ASSERT_EQ(boxes.count(), 1u);
//   EXPECT_EQ(boxes.at(0).text, "...");

#include "platform/MessageBoxPresenter.h"

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test {

struct RecordedBox {
    win::HWND owner = nullptr;
    std::string text;
    std::string caption;
    win::UINT style = 0;
    std::thread::id thread;
};

class MessageBoxRecorder final : public platform::MessageBoxPresenter {
public:
    /// Installs the recorder; defaultAnswer answers every box the queue does not.
    explicit MessageBoxRecorder(int defaultAnswer = win::IDOK);
    /// Puts back the presenter that was in force before.
    ~MessageBoxRecorder() override;
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    int show(win::HWND owner, const char* text, const char* caption, win::UINT type) override;

    /// The answer for the next box not yet answered.
    void queueAnswer(int answer);

    std::size_t count() const;
    /// A copy of box number index (0 is the first shown); fails the test when there is none.
    RecordedBox at(std::size_t index) const;
    std::vector<RecordedBox> all() const;

private:
    mutable std::mutex mutex_;
    std::vector<RecordedBox> boxes_;
    std::deque<int> answers_;
    int defaultAnswer_;
    platform::MessageBoxPresenter* previous_;
};

} // namespace test
