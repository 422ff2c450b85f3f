// SPDX-License-Identifier: GPL-2.0-or-later
// What both reports share: how they name boxes and answers, and which one a console gets.
#include "platform/headless/Console.h"
#include "platform/headless/Report.h"

namespace fw::headless {
using namespace win;

std::string_view BoxKind(UINT type) {
    if ((type & MB_TYPEMASK) == MB_OKCANCEL)
        return "question";
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return "error";
    case MB_ICONQUESTION:
        return "question";
    case MB_ICONWARNING:
        return "warning";
    case MB_ICONINFORMATION:
        return "information";
    default:
        return "message";
    }
}

std::string_view AnswerWord(int answer) {
    return answer == IDOK ? "OK" : "Cancel";
}

std::unique_ptr<Report> ReportOn(const Console& console) {
    return console.Terminal() ? LineReport(console) : PlainReport(console);
}

} // namespace fw::headless
