// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Running the program without a person (batch runs): an operator works the dialogs as a user
// would, through the panel the backend gives it, and answers the message boxes. The dialogs,
// their handlers and every job thread are the program's own; only the person is replaced.

#include "platform/MessageBox.h"
#include "platform/fw/ProgramResources.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

/// A running dialog as its operator sees and works it. UI thread only; texts are ANSI.
class Panel {
public:
    virtual ~Panel() = default;

    /// Control id's text as last set ("" for no such control).
    virtual std::string Text(int id) const = 0;
    virtual bool IsEnabled(int id) const = 0;
    /// The entries of list id, in order.
    virtual std::vector<std::string> Items(int id) const = 0;

    /// Chooses entry index of list id, as a click on it would. False (nothing changes) when the
    /// list or the dialog is disabled, or there is no such entry.
    virtual bool Select(int id, int index) = 0;
    /// Presses button id; its handler has run when this returns. False (nothing runs) when the
    /// button or the dialog is disabled.
    virtual bool Click(int id) = 0;
    /// Lets the dialog run (the job threads act on its controls meanwhile) until condition holds,
    /// looking at least every 100 ms. False when the dialog ended first.
    virtual bool WaitUntil(const std::function<bool()>& condition) = 0;

    /// A message of the operator's own for the person reading standard error.
    virtual void Note(std::string_view text) = 0;
    /// A line of the run's result, on standard output.
    virtual void Print(std::string_view text) = 0;
};

/// A message box as the program shows it.
struct ShownBox {
    std::string_view text;
    std::string_view caption;
    win::UINT type;
};

class Operator {
public:
    virtual ~Operator() = default;
    /// A dialog is shown: works it, on the UI thread. A dialog still running when this returns
    /// is ended with IDCANCEL.
    virtual void Operate(Panel& panel) = 0;
    /// The answer to box (IDOK or IDCANCEL), which has been shown. Any thread.
    virtual int Answer(const ShownBox& box) = 0;
    /// The process's exit status as things stand: asked when the run is over, and when the
    /// program ends the process before that. Any thread.
    virtual int ExitStatus() const = 0;
};

/// What main calls for a run that worker works: installs the platform's headless backend, runs
/// ApplicationMain, and takes the backend down again; the process then ends with
/// worker.ExitStatus(), also when the program ends it early. False, and nothing has run, where
/// the platform has no headless backend. Implemented by the backend library the program links.
bool RunUnattended(ProgramResources resources, Operator& worker);

} // namespace fw
