// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/terminal/MessageBoxes.h"

#include "platform/qt/QtTranslations.h"
#include "platform/terminal/Canvas.h"
#include "platform/terminal/TerminalText.h"

#include <algorithm>
#include <vector>

namespace fw::term {
using namespace win;

namespace {

constexpr int kTab = '\t';
constexpr int kEscape = 27;
constexpr int kSpace = ' ';
constexpr int kReturn = '\r';
constexpr int kNewLine = '\n';
constexpr int kMargin = 2;       // cells between the frame and the text
constexpr int kSignCols = 4;     // "[X] "
constexpr int kFixedRows = 5;    // frame, blank under the text, buttons, frame... and a gap
constexpr int kMinimumCols = 24; // a box narrower than this looks lost on the screen
constexpr int kScreenMargin = 2;
constexpr int kWidestCols = 72; // a box wider than this is hard to read
constexpr int kButtonGap = 2;

std::wstring Button(const std::wstring& label) {
    return L"[ " + label + L" ]";
}

// A translated label as shown; English where the terminal's encoding cannot show it.
std::wstring Shown(const QString& label, const char* english) {
    const std::wstring shown = ParseLabel(label.toStdWString()).text;
    return Showable(shown) ? shown : ToTerminal(english);
}

const wchar_t* Sign(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return L"[X]";
    case MB_ICONQUESTION:
        return L"[?]";
    case MB_ICONWARNING:
        return L"[!]";
    case MB_ICONINFORMATION:
        return L"[i]";
    default:
        return L"";
    }
}

// The text in lines of at most width columns: broken at its own line ends, then between words.
std::vector<std::wstring> Wrap(const std::wstring& text, int width) {
    std::vector<std::wstring> lines;
    std::wstring line;
    std::wstring word;
    const auto flushWord = [&] {
        if (!line.empty() && Columns(line) + 1 + Columns(word) > width) {
            lines.push_back(line);
            line.clear();
        }
        if (!line.empty())
            line += L' ';
        line += word;
        word.clear();
    };
    for (wchar_t character : text) {
        if (character == L'\r')
            continue;
        if (character == L'\n') {
            flushWord();
            lines.push_back(line);
            line.clear();
        } else if (character == L' ') {
            flushWord();
        } else {
            word += character;
        }
    }
    flushWord();
    lines.push_back(line);
    return lines;
}

bool IsEnter(int code) {
    return code == kReturn || code == kNewLine || code == KEY_ENTER;
}

} // namespace

void Answer::give(int value) {
    std::lock_guard lock(mutex_);
    if (given_)
        return;
    value_ = value;
    given_ = true;
    ready_.notify_all();
}

int Answer::wait() {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [this] { return given_; });
    return value_;
}

bool Answer::given() {
    std::lock_guard lock(mutex_);
    return given_;
}

int DismissedAnswer(UINT type) {
    return (type & MB_TYPEMASK) == MB_OKCANCEL ? IDCANCEL : IDOK;
}

ButtonLabels UserButtonLabels() {
    QTranslator translator;
    fw::qt::LoadQtTranslations(translator);
    const fw::qt::BoxButtonLabels labels = fw::qt::TranslatedBoxButtons(translator);
    return {Shown(labels.ok, fw::qt::kOkLabel), Shown(labels.cancel, fw::qt::kCancelLabel)};
}

MessageBoxView::MessageBoxView(BoxRequest request, std::shared_ptr<Answer> answer,
                               ButtonLabels labels)
    : request_(std::move(request)), answer_(std::move(answer)), labels_(std::move(labels)) {
}

MessageBoxView::~MessageBoxView() {
    answer_->give(DismissedAnswer(request_.type));
}

bool MessageBoxView::question() const {
    return (request_.type & MB_TYPEMASK) == MB_OKCANCEL;
}

void MessageBoxView::paint(const CellRect& over) const {
    const std::wstring sign = Sign(request_.type);
    const int signCols = sign.empty() ? 0 : kSignCols;
    const std::wstring ok = Button(labels_.ok);
    const std::wstring cancel = Button(labels_.cancel);
    const int buttonCols = question() ? Columns(ok) + kButtonGap + Columns(cancel) : Columns(ok);
    const int narrowest = std::max(kMinimumCols, buttonCols + kMargin * 2);
    const int widest = std::max(narrowest, std::min(kWidestCols, COLS - kScreenMargin * 2));
    const std::wstring captionText = ToTerminal(request_.caption);
    const std::vector<std::wstring> lines =
        Wrap(ToTerminal(request_.text), widest - kMargin * 2 - signCols - 2);
    int textCols = 0;
    for (const std::wstring& line : lines)
        textCols = std::max(textCols, Columns(line));
    const int cols = std::min(widest, std::max({narrowest, Columns(captionText) + 2 + kMargin * 2,
                                                textCols + signCols + kMargin * 2 + 2}));
    const int rows = static_cast<int>(lines.size()) + kFixedRows;
    const CellRect box{over.row + std::max(0, (over.rows - rows) / 2),
                       over.col + (over.cols - cols) / 2, rows, cols};
    Canvas::clear(box);
    Canvas::frame(box);
    // A caption wider than the box is cut with a mark, clear of the frame's corners.
    const std::wstring caption = L" " + Ellipsized(captionText, cols - kMargin * 2 - 2) + L" ";
    Canvas::text(box.row, box.col + kMargin, caption, cols - kMargin * 2, A_BOLD);
    const int textCol = box.col + 1 + kMargin;
    if (!sign.empty())
        Canvas::text(box.row + kMargin, textCol, sign, signCols, A_BOLD);
    for (std::size_t i = 0; i < lines.size(); ++i)
        Canvas::text(box.row + kMargin + static_cast<int>(i), textCol + signCols, lines[i],
                     cols - kMargin * 2 - signCols - 2, A_NORMAL);
    const int buttonRow = box.row + rows - kMargin;
    const int buttonCol = box.col + (cols - buttonCols) / 2;
    Canvas::text(buttonRow, buttonCol, ok, Columns(ok), focus_ == 0 ? A_REVERSE : A_NORMAL);
    if (question())
        Canvas::text(buttonRow, buttonCol + Columns(ok) + kButtonGap, cancel, Columns(cancel),
                     focus_ == 1 ? A_REVERSE : A_NORMAL);
}

void MessageBoxView::key(const Key& key) {
    if (IsEnter(key.code) || key.code == kSpace) {
        answer_->give(focus_ == 0 ? IDOK : IDCANCEL);
        return;
    }
    if (key.code == kEscape || key.code == kCloseKey) {
        answer_->give(DismissedAnswer(request_.type));
        return;
    }
    if (question() &&
        (key.code == kTab || key.code == KEY_BTAB || key.code == KEY_LEFT || key.code == KEY_RIGHT))
        focus_ = 1 - focus_;
}

} // namespace fw::term
