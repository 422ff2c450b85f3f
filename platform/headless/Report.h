// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What a headless dialog tells the person or the script that watches it: each change of its
// controls as it happens, the operator's clicks and choices, every message box with the answer it
// got, and the operator's own notes. Calls come from any thread; each report keeps its lines
// whole. Texts are ANSI.

#include "platform/fw/DialogTemplate.h"
#include "platform/fw/Operator.h"

#include <memory>
#include <string_view>

namespace fw::headless {

class Console;

/// A control as a report names it: its identifier, kind and text (a list's: the chosen entry).
struct ControlView {
    int id;
    ControlKind kind;
    std::string_view text;
};

class Report {
public:
    virtual ~Report() = default;
    /// The dialog is shown with this title; its static texts follow as Text.
    virtual void Shown(std::string_view title) = 0;
    /// A control's text changed: a static's text, or a button's or group's label.
    virtual void Text(const ControlView& control) = 0;
    virtual void Enabled(const ControlView& control, bool enabled) = 0;
    virtual void Progress(int id, int low, int high, int pos) = 0;
    /// A list's chosen entry changed (to control.text).
    virtual void Selected(const ControlView& list) = 0;
    /// The operator pressed a button.
    virtual void Clicked(const ControlView& button) = 0;
    /// A message box was shown and got answer.
    virtual void Box(const ShownBox& box, int answer) = 0;
    /// A note of the operator's: a whole line for standard error.
    virtual void Note(std::string_view text) = 0;
    /// A result line for standard output.
    virtual void Print(std::string_view text) = 0;
    /// The dialog has ended.
    virtual void Ended() = 0;
};

/// One plain line per change, for a script or a log file: "text 1002 ...", "disable 1004 Exit",
/// "progress 1001 POS LOW HIGH", "box error [CAPTION] TEXT", ...
std::unique_ptr<Report> PlainReport(const Console& console);

/// For a person at a terminal: one line redrawn in place with a bar and the status text, and
/// message boxes and notes printed above it.
std::unique_ptr<Report> LineReport(const Console& console);

/// The line on a terminal, plain lines otherwise.
std::unique_ptr<Report> ReportOn(const Console& console);

/// How a report names a box: "question" (OK and Cancel), else by its icon: "error",
/// "warning", "information", or "message" for none.
std::string_view BoxKind(win::UINT type);

/// The words of an answer: "OK" or "Cancel".
std::string_view AnswerWord(int answer);

} // namespace fw::headless
