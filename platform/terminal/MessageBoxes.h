// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Message boxes of the terminal backend: a framed box over the dialog with its caption in the
// top line, a sign for its icon ([X] error, [!] warning, [?] question, [i] information), its
// text and its buttons, labelled in the user's language as the window's are. The box on top
// takes every key first: Enter or space press the focused button (OK at first), Tab and the
// arrows move between OK and Cancel, Escape and F10 answer Cancel on a question and OK on an OK
// box, as the window's do.

#include "platform/Gdi.h"
#include "platform/MessageBox.h"
#include "platform/terminal/TerminalDialog.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

namespace fw::term {

/// The answer to a box, given once: by a key, or as dismissed when the box goes away unanswered.
class Answer {
public:
    explicit Answer(int dismissed) : value_(dismissed) {}
    void give(int value);
    int wait();
    bool given();

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    int value_;
    bool given_ = false;
};

struct BoxRequest {
    win::HWND owner;
    std::string text; ///< ANSI
    std::string caption;
    win::UINT type;
};

/// IDCANCEL for a question, IDOK otherwise: the answer of a box closed without a button.
int DismissedAnswer(win::UINT type);

/// The labels of a box's buttons.
struct ButtonLabels {
    std::wstring ok;
    std::wstring cancel;
};

/// OK and Cancel in the user's language: Qt's own translations, which the window shows too;
/// English where Qt ships none for the language.
ButtonLabels UserButtonLabels();

class MessageBoxView {
public:
    MessageBoxView(BoxRequest request, std::shared_ptr<Answer> answer, ButtonLabels labels);
    /// A box gone unanswered is answered as dismissed.
    ~MessageBoxView();
    MessageBoxView(const MessageBoxView&) = delete;
    MessageBoxView& operator=(const MessageBoxView&) = delete;

    win::HWND owner() const { return request_.owner; }
    bool answered() { return answer_->given(); }
    /// Centred on over (the owner's cells, or the screen's).
    void paint(const CellRect& over) const;
    void key(const Key& key);

private:
    bool question() const;

    BoxRequest request_;
    std::shared_ptr<Answer> answer_;
    ButtonLabels labels_;
    int focus_ = 0; // 0: OK, 1: Cancel
};

} // namespace fw::term
