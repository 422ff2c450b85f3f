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

// checks that at every terminal height from the smallest up, each one-line control and the
// status text of the main dialog lie inside the frame of their group box, never on its lines.
TEST(CellLayout, ControlsStayInsideTheirGroupFrames) {
    const auto& dialog = res::kMainDialogTemplate;
    std::vector<fw::ControlTemplate> groups;
    for (const fw::ControlTemplate& control : dialog.controls)
        if (control.kind == fw::ControlKind::GroupBox)
            groups.push_back(control);
    constexpr int kListField = 12;
    for (int rows = 22; rows <= 40; ++rows) {
        SCOPED_TRACE(rows);
        const auto scale = fw::term::CellScale::Fit(dialog.width, dialog.height, 78, rows);
        for (const fw::ControlTemplate& control : dialog.controls) {
            fw::term::CellRect cells;
            if (control.kind == fw::ControlKind::ComboBox)
                cells = fw::term::OneLineCells(control, kListField, scale, groups);
            else if (control.kind == fw::ControlKind::PushButton ||
                     control.kind == fw::ControlKind::ProgressBar)
                cells = fw::term::OneLineCells(control, control.height, scale, groups);
            else if (control.kind == fw::ControlKind::StaticText)
                cells = fw::term::InsideGroups(
                    control, scale.cells(control.x, control.y, control.width, control.height),
                    scale, groups);
            else
                continue;
            for (const fw::ControlTemplate& group : groups) {
                const auto frame = scale.cells(group.x, group.y, group.width, group.height);
                const bool inside = control.x >= group.x && control.y >= group.y &&
                                    control.y < group.y + group.height;
                if (!inside || frame.rows < 3)
                    continue;
                EXPECT_GT(cells.row, frame.row) << control.id;
                EXPECT_LT(cells.row + cells.rows - 1, frame.row + frame.rows - 1) << control.id;
            }
        }
    }
}
