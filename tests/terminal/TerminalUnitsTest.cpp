// SPDX-License-Identifier: GPL-2.0-or-later
// The terminal backend's parts that need no terminal: text conversion, labels, the cell layout,
// the choice of backend and the process-end hook.
#include "platform/System.h"
#include "platform/terminal/CellLayout.h"
#include "platform/terminal/TerminalText.h"
#include "platform/ui/BackendChoice.h"
#include "res/MainDialogTemplate.h"

#include <clocale>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using fw::term::CellRect;
using fw::term::CellScale;
using fw::ui::UiKind;

constexpr int kDialogWidth = 250;
constexpr int kDialogHeight = 244;
constexpr int kEndCode = 3;

// checks that container bytes reach the terminal in the locale's encoding, with what the
// encoding lacks transliterated or replaced, never dropped
TEST(TerminalText, ConvertsAnsiToTheLocaleEncoding) {
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    struct Case {
        const char* text;
        const char* codePage;
        const char* codeset;
        std::wstring shown;
    };
    const Case cases[] = {
        {"Disk A:", "WINDOWS-1252", "UTF-8", L"Disk A:"},
        {"Caf\xE9 \x80", "WINDOWS-1252", "UTF-8", L"Caf\u00E9 \u20AC"},
        {"\xC4\xE8", "WINDOWS-1251", "UTF-8", L"\u0414\u0438"},
        {"\x81", "WINDOWS-1252", "UTF-8", L"?"},       // a byte the code page leaves undefined
        {"Caf\xE9", "WINDOWS-1252", "ASCII", L"Cafe"}, // transliterated
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(fw::term::ToTerminal(c.text, c.codePage, c.codeset), c.shown);
    }
    std::setlocale(LC_CTYPE, "C");
}

// checks that '&' marks the mnemonic and is hidden, and "&&" shows one '&'
TEST(TerminalText, ParsesMnemonics) {
    struct Case {
        const wchar_t* text;
        const wchar_t* shown;
        int mnemonicAt;
    };
    const Case cases[] = {
        {L"Create &Floppy", L"Create Floppy", 7}, {L"&Exit", L"Exit", 0},
        {L"Save && &Quit", L"Save & Quit", 7},    {L"No mnemonic", L"No mnemonic", -1},
        {L"Trailing&", L"Trailing", -1},          {L"&A &B", L"A B", 0},
    };
    for (const Case& c : cases) {
        const fw::term::Label label = fw::term::ParseLabel(c.text);
        EXPECT_EQ(label.text, c.shown);
        EXPECT_EQ(label.mnemonicAt, c.mnemonicAt);
    }
}

// checks that the dialog keeps 4 x 8 units per cell where it fits and shrinks to fit otherwise,
// with a control never narrower or lower than one cell
TEST(CellLayout, ScalesDialogUnitsToCells) {
    const CellScale full = CellScale::Fit(kDialogWidth, kDialogHeight, 100, 40);
    EXPECT_EQ(full.col(kDialogWidth), 63);
    EXPECT_EQ(full.row(kDialogHeight), 31);
    EXPECT_EQ(full.cells(168, 162, 67, 15), (CellRect{20, 42, 2, 17}));
    EXPECT_EQ(full.middleRow(162, 15), 21);

    const CellScale small = CellScale::Fit(kDialogWidth, kDialogHeight, 78, 22);
    EXPECT_EQ(small.row(kDialogHeight), 22);
    EXPECT_EQ(small.col(kDialogWidth), 63);
    // The CD group's top line and its button keep apart when squeezed.
    EXPECT_LT(small.row(186), small.middleRow(194, 15));
    EXPECT_EQ(small.cells(15, 134, 1, 1).rows, 1);
    EXPECT_EQ(small.cells(15, 134, 1, 1).cols, 1);

    // A 330 x 90 pixel picture at full scale: 6 x 13 pixels a cell.
    EXPECT_EQ(full.pictureCells(16, 16, 330, 90), (CellRect{2, 4, 7, 55}));
}

// checks the backend choice: the variable decides, else a display, else a terminal
TEST(BackendChoice, FollowsVariableDisplayAndTerminal) {
    struct Case {
        const char* request;
        bool display;
        bool terminal;
        UiKind chosen;
    };
    const Case cases[] = {
        {"terminal", true, false, UiKind::Terminal},
        {"qt", false, true, UiKind::Window},
        {nullptr, true, true, UiKind::Window},
        {nullptr, false, true, UiKind::Terminal},
        {nullptr, false, false, UiKind::Window},
        {"other", false, true, UiKind::Terminal},
        {"", true, true, UiKind::Window},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.request ? c.request : "(unset)") << c.display << c.terminal);
        EXPECT_EQ(fw::ui::ChooseUi(c.request, c.display, c.terminal), c.chosen);
    }
}

int endPipe = -1;
void WriteEndMark() noexcept {
    const char mark = 'E';
    [[maybe_unused]] const ssize_t written = ::write(endPipe, &mark, 1);
}

// checks that ExitProcess runs the process-end hook before the process ends with its code
TEST(ProcessEndHook, RunsBeforeExitProcess) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ends[0]);
        endPipe = ends[1];
        platform::SetProcessEndHook(&WriteEndMark);
        win::ExitProcess(kEndCode);
    }
    ::close(ends[1]);
    char mark = 0;
    EXPECT_EQ(::read(ends[0], &mark, 1), 1);
    EXPECT_EQ(mark, 'E');
    ::close(ends[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kEndCode);
}

} // namespace

namespace {

// The framing controls of the main dialog, and its scale on a terminal of cols x rows (the
// dialog's own frame takes a cell on each side).
std::vector<fw::ControlTemplate> MainDialogFrames() {
    std::vector<fw::ControlTemplate> frames;
    for (const fw::ControlTemplate& control : res::kMainDialogTemplate.controls)
        if (fw::term::IsFrame(control.kind))
            frames.push_back(control);
    return frames;
}

CellScale MainDialogScale(int cols, int rows) {
    return CellScale::Fit(kDialogWidth, kDialogHeight, cols - 2, rows - 2);
}

// Whether inner lies within frame's lines, touching none of them.
bool StrictlyInside(const CellRect& inner, const CellRect& frame) {
    return inner.row > frame.row && inner.row + inner.rows < frame.row + frame.rows &&
           inner.col > frame.col && inner.col + inner.cols < frame.col + frame.cols;
}

constexpr int kListField = 12;
constexpr int kBannerWidth = 330;
constexpr int kBannerHeight = 90;

} // namespace

// checks that at every terminal size from 80 x 24 up, each one-line control and the status text
// of the main dialog lie inside the frame around them, never on its lines.
TEST(CellLayout, ControlsStayInsideTheirFrames) {
    const std::vector<fw::ControlTemplate> frames = MainDialogFrames();
    for (int cols = 80; cols <= 120; cols += 5) {
        for (int rows = 24; rows <= 40; ++rows) {
            SCOPED_TRACE(testing::Message() << cols << "x" << rows);
            const CellScale scale = MainDialogScale(cols, rows);
            for (const fw::ControlTemplate& control : res::kMainDialogTemplate.controls) {
                CellRect cells;
                if (control.kind == fw::ControlKind::ComboBox)
                    cells = fw::term::OneLineCells(control, kListField, scale, frames);
                else if (control.kind == fw::ControlKind::PushButton ||
                         control.kind == fw::ControlKind::ProgressBar)
                    cells = fw::term::OneLineCells(control, control.height, scale, frames);
                else if (control.kind == fw::ControlKind::StaticText)
                    cells = fw::term::InsideFrames(
                        control, scale.cells(control.x, control.y, control.width, control.height),
                        scale, frames);
                else
                    continue;
                for (const fw::ControlTemplate& frame : frames) {
                    const CellRect lines = scale.cells(frame.x, frame.y, frame.width, frame.height);
                    const bool within = control.x >= frame.x && control.y >= frame.y &&
                                        control.y < frame.y + frame.height;
                    if (within && lines.rows >= 3) {
                        EXPECT_TRUE(StrictlyInside(cells, lines)) << control.id;
                    }
                }
            }
        }
    }
}

// checks that the banner (the sample's 330 x 90 picture) stays inside its white frame at every
// terminal size from 80 x 24 up, squeezed where the frame is smaller than the picture.
TEST(CellLayout, BannerStaysInsideItsFrame) {
    const std::vector<fw::ControlTemplate> frames = MainDialogFrames();
    const fw::ControlTemplate* picture = nullptr;
    const fw::ControlTemplate* white = nullptr;
    for (const fw::ControlTemplate& control : res::kMainDialogTemplate.controls) {
        if (control.kind == fw::ControlKind::StaticPicture)
            picture = &control;
        if (control.kind == fw::ControlKind::StaticFrame)
            white = &control;
    }
    ASSERT_NE(picture, nullptr);
    ASSERT_NE(white, nullptr);
    for (int cols = 80; cols <= 200; cols += 4) {
        for (int rows = 24; rows <= 70; rows += 2) {
            SCOPED_TRACE(testing::Message() << cols << "x" << rows);
            const CellScale scale = MainDialogScale(cols, rows);
            const CellRect frame = scale.cells(white->x, white->y, white->width, white->height);
            const CellRect banner = fw::term::InsideFrames(
                *picture, scale.pictureCells(picture->x, picture->y, kBannerWidth, kBannerHeight),
                scale, frames);
            EXPECT_TRUE(StrictlyInside(banner, frame));
        }
    }
}

// checks that a text too long for its room is cut with an ellipsis (three dots where the
// locale cannot show one), and that one that fits is left whole
TEST(TerminalText, EllipsizesWhatDoesNotFit) {
    struct Case {
        const char* locale;
        const wchar_t* text;
        int cols;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {"C.UTF-8", L"Status", 6, L"Status"},
        {"C.UTF-8", L"Startf\u00E4hige Diskette", 10, L"Startf\u00E4hi\u2026"},
        {"C.UTF-8", L"\u65E5\u672C\u8A9E", 4, L"\u65E5\u2026"}, // wide characters
        {"C", L"Aktueller Status", 10, L"Aktuell..."},
        {"C", L"Status", 2, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.locale << " " << c.cols);
        ASSERT_NE(std::setlocale(LC_CTYPE, c.locale), nullptr);
        const std::wstring shown = fw::term::Ellipsized(c.text, c.cols);
        EXPECT_EQ(shown, c.shown);
        EXPECT_LE(fw::term::Columns(shown), c.cols);
    }
    std::setlocale(LC_CTYPE, "C");
}
