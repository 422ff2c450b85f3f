// SPDX-License-Identifier: GPL-2.0-or-later
// The terminal's view of a run: one line at the bottom, redrawn in place, with a bar while a job
// moves the progress control and the latest status text; boxes and notes are printed above it.
#include "platform/headless/Console.h"
#include "platform/headless/Report.h"
#include "platform/headless/ShownText.h"
#include "platform/terminal/TerminalText.h"

#include <algorithm>
#include <mutex>
#include <string_view>
#include <utility>

namespace fw::headless {
namespace {

using namespace win;

constexpr const wchar_t* kReturnAndErase = L"\r\x1b[K";
constexpr const wchar_t* kPlain = L"\x1b[0m";
constexpr const wchar_t* kBoldRed = L"\x1b[1;31m";
constexpr const wchar_t* kBoldGreen = L"\x1b[1;32m";
constexpr const wchar_t* kBoldYellow = L"\x1b[1;33m";
constexpr const wchar_t* kBoldCyan = L"\x1b[1;36m";
constexpr const wchar_t* kBold = L"\x1b[1m";
constexpr wchar_t kDone = L'#';
constexpr wchar_t kToDo = L'-';
constexpr int kNarrowestBar = 10;
constexpr int kWidestBar = 30;
constexpr int kBarShare = 4; // the bar takes a quarter of the line
constexpr int kPercent = 100;
constexpr int kPercentColumns = 3;
// The last column stays free: a line that fills it wraps on some terminals, and then \r no
// longer reaches its start.
constexpr int kSpareColumns = 1;

// The caption's colour by the kind of box the plain report names.
const wchar_t* CaptionColour(UINT type) {
    constexpr std::pair<std::string_view, const wchar_t*> kColours[] = {
        {"question", kBoldCyan},
        {"error", kBoldRed},
        {"warning", kBoldYellow},
        {"information", kBoldGreen},
    };
    const std::string_view kind = BoxKind(type);
    for (const auto& [name, colour] : kColours)
        if (name == kind)
            return colour;
    return kBold;
}

// text cut to columns columns.
std::wstring Fitted(std::wstring text, int columns) {
    while (!text.empty() && term::Columns(text) > columns)
        text.pop_back();
    return text;
}

class ProgressLine final : public Report {
public:
    explicit ProgressLine(const Console& console) : console_(console) {}

    void Shown(std::string_view) override {}
    void Text(const ControlView& control) override {
        if (control.kind != ControlKind::StaticText)
            return;
        std::lock_guard lock(mutex_);
        status_ = OneLine(control.text);
        draw();
    }
    void Enabled(const ControlView&, bool) override {}
    // The bar shows from a new range or a step forward until the position falls back to the
    // start: from a job's start to its idle reset.
    void Progress(int, int low, int high, int pos) override {
        std::lock_guard lock(mutex_);
        const bool newRange = low != low_ || high != high_;
        const bool reset = pos == low && pos < pos_;
        barShown_ = (barShown_ || newRange || pos > low) && !reset;
        low_ = low;
        high_ = high;
        pos_ = pos;
        draw();
    }
    void Selected(const ControlView&) override {}
    void Clicked(const ControlView&) override {}
    void Box(const ShownBox& box, int answer) override {
        std::wstring text = coloured(CaptionColour(box.type), LocaleText(box.caption) + L":") +
                            L" " + LocaleText(box.text);
        if ((box.type & MB_TYPEMASK) == MB_OKCANCEL)
            text += L" [" + Wide(AnswerWord(answer)) + L"]";
        above(text, false);
    }
    void Note(std::string_view text) override { above(LocaleText(text), false); }
    void Print(std::string_view text) override { above(LocaleText(text), true); }
    void Ended() override {
        std::lock_guard lock(mutex_);
        if (shown_)
            console_.Error(L"\n");
        shown_ = false;
    }

private:
    std::wstring coloured(const wchar_t* colour, const std::wstring& text) const {
        return console_.Colours() ? colour + text + kPlain : text;
    }

    std::wstring bar() const {
        const int columns = std::clamp(console_.Columns() / kBarShare, kNarrowestBar, kWidestBar);
        const long long span = static_cast<long long>(high_) - low_;
        const long long done = span > 0 ? std::clamp<long long>(pos_ - low_, 0, span) : 0;
        const int percent = span > 0 ? static_cast<int>(done * kPercent / span) : 0;
        const int filled = span > 0 ? static_cast<int>(done * columns / span) : 0;
        std::wstring number = Wide(std::to_string(percent));
        number.insert(0,
                      static_cast<std::size_t>(
                          std::max(0, kPercentColumns - static_cast<int>(number.size()))),
                      L' ');
        return L"[" + std::wstring(static_cast<std::size_t>(filled), kDone) +
               std::wstring(static_cast<std::size_t>(columns - filled), kToDo) + L"] " + number +
               L"% ";
    }

    // Caller holds mutex_.
    void draw() {
        const std::wstring line = (barShown_ ? bar() : L"") + status_;
        console_.Error(kReturnAndErase + Fitted(line, console_.Columns() - kSpareColumns));
        shown_ = true;
    }

    void above(const std::wstring& text, bool output) {
        std::lock_guard lock(mutex_);
        if (shown_)
            console_.Error(kReturnAndErase);
        if (output)
            console_.Output(text + L"\n");
        else
            console_.Error(text + L"\n");
        if (shown_)
            draw();
    }

    const Console& console_;
    std::mutex mutex_;
    std::wstring status_;
    int low_ = 0;
    int high_ = 0;
    int pos_ = 0;
    bool barShown_ = false;
    bool shown_ = false; // the line is on the terminal
};

} // namespace

std::unique_ptr<Report> LineReport(const Console& console) {
    return std::make_unique<ProgressLine>(console);
}

} // namespace fw::headless
