// SPDX-License-Identifier: GPL-2.0-or-later
// What the two reports write: a line per change for a script, and for a person at a terminal one
// line redrawn in place with its bar, the boxes above it, and colours only when asked for.
#include "platform/headless/Report.h"

#include "platform/headless/Console.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using namespace fw::headless;
using fw::ControlKind;
using fw::ShownBox;
using win::IDCANCEL;
using win::IDOK;

constexpr int kColumns = 40;

// A console whose two streams are strings.
class Streams {
public:
    Streams()
        : out_(open_memstream(&outBytes_, &outSize_)), err_(open_memstream(&errBytes_, &errSize_)) {
    }
    ~Streams() {
        std::fclose(out_);
        std::fclose(err_);
        std::free(outBytes_);
        std::free(errBytes_);
    }
    Streams(const Streams&) = delete;
    Streams& operator=(const Streams&) = delete;

    Console console(bool terminal, bool colours) const {
        return Console(out_, err_, terminal, colours, kColumns);
    }
    std::string out() const {
        std::fflush(out_);
        return {outBytes_, outSize_};
    }
    std::string err() const {
        std::fflush(err_);
        return {errBytes_, errSize_};
    }

private:
    char* outBytes_ = nullptr;
    std::size_t outSize_ = 0;
    char* errBytes_ = nullptr;
    std::size_t errSize_ = 0;
    std::FILE* out_;
    std::FILE* err_;
};

// A floppy job as the dialog shows it.
void PlayJob(Report& report) {
    report.Shown("Maker");
    report.Text({1002, ControlKind::StaticText, "Ready & waiting"});
    report.Selected({1015, ControlKind::ComboBox, "Drive B:"});
    report.Clicked({1003, ControlKind::PushButton, "Create &Floppy"});
    report.Box({"Overwrite?\r\nReally.", "Confirm", win::MB_OKCANCEL | win::MB_ICONEXCLAMATION},
               IDOK);
    report.Text({1003, ControlKind::PushButton, "&Cancel"});
    report.Enabled({1004, ControlKind::PushButton, "E&xit"}, false);
    report.Progress(1001, 0, 4, 0);
    report.Progress(1001, 0, 4, 1);
    report.Text({1002, ControlKind::StaticText, "Cylinder 2 of 4"});
    report.Progress(1001, 0, 4, 4);
    report.Box({"Done in A:", "Finished", win::MB_ICONINFORMATION}, IDOK);
    report.Progress(1001, 0, 4, 0);
    report.Text({1002, ControlKind::StaticText, "Ready & waiting"});
    report.Enabled({1004, ControlKind::PushButton, "E&xit"}, true);
    report.Note("bootmedia: a note");
    report.Print("floppy A:");
    report.Ended();
}

// checks the plain report: one line per change, labels without mnemonics, line breaks of a box
// as spaces, the answer of a question, results alone on standard output
TEST(PlainReport, WritesOneLinePerChange) {
    Streams streams;
    const Console console = streams.console(false, true);
    PlayJob(*ReportOn(console));
    EXPECT_EQ(streams.err(), "dialog Maker\n"
                             "text 1002 Ready & waiting\n"
                             "select 1015 Drive B:\n"
                             "click 1003 Create Floppy\n"
                             "box question [Confirm] Overwrite?  Really. -> OK\n"
                             "label 1003 Cancel\n"
                             "disable 1004 Exit\n"
                             "progress 1001 0 0 4\n"
                             "progress 1001 1 0 4\n"
                             "text 1002 Cylinder 2 of 4\n"
                             "progress 1001 4 0 4\n"
                             "box information [Finished] Done in A:\n"
                             "progress 1001 0 0 4\n"
                             "text 1002 Ready & waiting\n"
                             "enable 1004 Exit\n"
                             "bootmedia: a note\n");
    EXPECT_EQ(streams.out(), "floppy A:\n");
}

// checks the terminal's line: redrawn in place, a bar from the job's range to its reset, the
// status cut to the terminal's width, boxes and notes printed above it, a line end at the end
TEST(LineReport, RedrawsOneLineWithItsBar) {
    Streams streams;
    const Console console = streams.console(true, false);
    PlayJob(*ReportOn(console));
    const std::string erase = "\r\x1b[K";
    EXPECT_EQ(streams.err(),
              erase + "Ready & waiting" +                                     // shown
                  erase + "Confirm: Overwrite?\r\nReally. [OK]\n" +           // the question
                  erase + "Ready & waiting" +                                 // back again
                  erase + "[----------]   0% Ready & waiting" +               // range set
                  erase + "[##--------]  25% Ready & waiting" +               // a step
                  erase + "[##--------]  25% Cylinder 2 of 4" +               // new status
                  erase + "[##########] 100% Cylinder 2 of 4" +               // done
                  erase + "Finished: Done in A:\n" +                          // the success box
                  erase + "[##########] 100% Cylinder 2 of 4" +               //
                  erase + "Cylinder 2 of 4" +                                 // reset: no bar
                  erase + "Ready & waiting" +                                 //
                  erase + "bootmedia: a note\n" + erase + "Ready & waiting" + // a note
                  erase + erase + "Ready & waiting" +                         // a result
                  "\n");
    EXPECT_EQ(streams.out(), "floppy A:\n");
}

// checks that a terminal that may show colours gets the caption of each kind of box coloured,
// and that the line never reaches the terminal's last column
TEST(LineReport, ColoursCaptionsAndKeepsToTheWidth) {
    Streams streams;
    const Console console = streams.console(true, true);
    const auto report = ReportOn(console);
    report->Box({"Failed", "Error", win::MB_ICONERROR}, IDOK);
    report->Box({"Go?", "Confirm", win::MB_OKCANCEL | win::MB_ICONEXCLAMATION}, IDCANCEL);
    report->Text({1002, ControlKind::StaticText, std::string(kColumns * 2, 'x')});
    EXPECT_EQ(streams.err(), "\x1b[1;31mError:\x1b[0m Failed\n"
                             "\x1b[1;36mConfirm:\x1b[0m Go? [Cancel]\n"
                             "\r\x1b[K" +
                                 std::string(kColumns - 1, 'x'));
}

} // namespace
