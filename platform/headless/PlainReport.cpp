// SPDX-License-Identifier: GPL-2.0-or-later
// One line per change: a word for what changed, the control's identifier, then its value.
#include "platform/headless/Console.h"
#include "platform/headless/Report.h"
#include "platform/headless/ShownText.h"

#include <mutex>

namespace fw::headless {
namespace {

using namespace win;

std::wstring Id(int id) {
    return Wide(std::to_string(id));
}

class PlainLines final : public Report {
public:
    explicit PlainLines(const Console& console) : console_(console) {}

    void Shown(std::string_view title) override { line(L"dialog " + OneLine(title)); }
    void Text(const ControlView& control) override {
        const wchar_t* word = control.kind == ControlKind::StaticText ? L"text " : L"label ";
        line(word + Id(control.id) + L" " + ShownLabel(control.kind, control.text));
    }
    void Enabled(const ControlView& control, bool enabled) override {
        line((enabled ? L"enable " : L"disable ") + Id(control.id) + L" " +
             ShownLabel(control.kind, control.text));
    }
    void Progress(int id, int low, int high, int pos) override {
        line(L"progress " + Id(id) + L" " + Id(pos) + L" " + Id(low) + L" " + Id(high));
    }
    void Selected(const ControlView& list) override {
        line(L"select " + Id(list.id) + L" " + OneLine(list.text));
    }
    void Clicked(const ControlView& button) override {
        line(L"click " + Id(button.id) + L" " + ShownLabel(button.kind, button.text));
    }
    void Box(const ShownBox& box, int answer) override {
        std::wstring text = L"box " + Wide(BoxKind(box.type)) + L" [" + OneLine(box.caption) +
                            L"] " + OneLine(box.text);
        if ((box.type & MB_TYPEMASK) == MB_OKCANCEL)
            text += L" -> " + Wide(AnswerWord(answer));
        line(text);
    }
    void Note(std::string_view text) override { line(OneLine(text)); }
    void Print(std::string_view text) override {
        std::lock_guard lock(mutex_);
        console_.Output(OneLine(text) + L"\n");
    }
    void Ended() override {}

private:
    void line(const std::wstring& text) {
        std::lock_guard lock(mutex_);
        console_.Error(text + L"\n");
    }

    const Console& console_;
    std::mutex mutex_;
};

} // namespace

std::unique_ptr<Report> PlainReport(const Console& console) {
    return std::make_unique<PlainLines>(console);
}

} // namespace fw::headless
