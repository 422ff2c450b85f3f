// SPDX-License-Identifier: GPL-2.0-or-later
// The real program on a terminal without a display: both boot media made from its dialog with
// keys, a resize during a job, the terminal put back after Exit, a signal and the close key, and
// recordings that fail or are interrupted: no library text on the screen, the older disc kept.
#include "TmuxProgram.h"
#include "resfile/Catalogue.h"
#include "resfile/ResourceFile.h"
#include "support/CapturedLog.h"
#include "support/ContainerBuilder.h"
#include "support/DiscTools.h"
#include "support/GermanLengthContainer.h"
#include "support/TempDir.h"

#include <QString>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <span>
#include <sstream>
#include <thread>
#include <vector>

namespace {

using termtest::kExitMark;
using termtest::kRestoredMark;
using termtest::TmuxProgram;

constexpr int kCols = 80;
constexpr int kRows = 24;
constexpr int kWideCols = 100;
constexpr int kTallRows = 34;
constexpr std::size_t kCylinderBytes = 18 * 2 * 512;
// Texts of the sample container the screens are recognised by.
constexpr const char* kTitle = "Boot Media Maker [F10: close]";
constexpr const char* kReadyStatus = "Ready. First floppy drive: A:";
constexpr const char* kQuestionCaption = "Please Confirm";
constexpr const char* kDoneCaption = "Boot Media Maker - Done";
constexpr const char* kFloppyWarning = "All data on the floppy disk will be overwritten.";
constexpr const char* kDiscWarning = "All data on the recordable disc will be overwritten.";
constexpr const char* kRecordFailure = "Recording the CD failed.";
// A CD file larger than the limit leaves room for: the job stages it, the disc that holds it
// and the boot floppy outgrows the limit.
constexpr std::uint32_t kBigFileBytes = 3 << 20;
constexpr std::uint64_t kFileLimit = 4 << 20;
constexpr std::size_t kOlderDiscBytes = 70000;

// The screen's lines as characters, so that columns can be compared.
std::vector<std::wstring> ScreenLines(const std::string& screen) {
    std::vector<std::wstring> lines;
    std::istringstream in(screen);
    for (std::string line; std::getline(in, line);)
        lines.push_back(QString::fromStdString(line).toStdWString());
    return lines;
}

// The sample container with one more CD file of size bytes, "BIG.BIN": a new header, and the
// new directory and data behind the sample's bytes, which stay where they are.
test::Bytes SampleWithBigFile(const std::string& container, std::uint32_t size) {
    const test::Bytes original = test::ReadFileBytes(container);
    const win::HANDLE file = OpenResourceFile(container.c_str(), true);
    std::uint16_t count = 0;
    std::unique_ptr<ResourceEntry, FreeDeleter> directory(ReadResourceDirectory(file, &count));
    CloseResourceFile(file);
    const auto end = static_cast<std::uint32_t>(original.size());
    test::ContainerBuilder builder;
    // The sample's header gives way to the new one; everything behind it stays.
    builder.place(kResourceHeaderSize, std::span(original).subspan(kResourceHeaderSize))
        .directoryAt(end);
    int files = 0;
    for (std::uint16_t i = 0; directory && i < count; ++i) {
        const ResourceEntry& entry = directory.get()[i];
        builder.record(
            {.id = entry.id(), .dataOffset = entry.dataOffset(), .dataSize = entry.dataSize()});
        if (entry.id() >= catalogue::kCdFileNameFirst &&
            entry.id() < catalogue::kCdFileContentFirst)
            ++files;
    }
    const std::string name = "BIG.BIN";
    const std::uint32_t nameAt = end + (count + 2u) * kResourceEntrySize;
    const auto contentAt = static_cast<std::uint32_t>(nameAt + name.size());
    builder.record({.id = static_cast<ResourceId>(catalogue::kCdFileNameFirst + files),
                    .dataOffset = nameAt,
                    .dataSize = static_cast<std::uint32_t>(name.size())});
    builder.record({.id = static_cast<ResourceId>(catalogue::kCdFileContentFirst + files),
                    .dataOffset = contentAt,
                    .dataSize = size});
    builder.place(nameAt, test::TextBytes(name)).place(contentAt, test::Bytes(size, 0x5B));
    return builder.bytes();
}

bool WaitForFile(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + TmuxProgram::kDefaultWait;
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

class ProgramOnTerminal : public testing::Test {
protected:
    void SetUp() override {
        if (!termtest::HaveTmux())
            GTEST_SKIP() << "tmux is not installed";
        const char* sample = std::getenv("BOOTMEDIA_SAMPLE");
        if (sample == nullptr || !std::filesystem::exists(sample))
            GTEST_SKIP() << "no sample container";
        sample_ = sample;
        std::filesystem::copy_file(sample_, dir_.path("install.dat"));
        ASSERT_TRUE(test::WriteFileBytes(dir_.path("floppy.img"),
                                         test::Bytes(catalogue::kBootImageBytes, 0)));
        dir_.path("disc.iso");
        dir_.path("program.pid");
    }

    /// The program on the container in the working folder, once it shows ready; binary and
    /// shellSetup (see TmuxProgram) run another build of it and prepare its shell.
    std::unique_ptr<TmuxProgram> start(int cols = kCols, int rows = kRows,
                                       const std::string& ready = kReadyStatus,
                                       const std::map<std::string, std::string>& more = {},
                                       const std::string& binary = BOOTMEDIA_PROGRAM,
                                       const std::string& shellSetup = "") {
        std::map<std::string, std::string> environment{
            {"BOOTMEDIA_UI", "terminal"},
            {"BOOTMEDIA_DRIVE_A", dir_.path("floppy.img")},
            {"BOOTMEDIA_DRIVE_B", ""},
            {"BOOTMEDIA_RECORDERS", dir_.path("disc.iso")},
            {"XDG_STATE_HOME", log_.stateFolder()}};
        environment.insert(more.begin(), more.end());
        auto program = std::make_unique<TmuxProgram>(binary, dir_.path(""), environment, cols, rows,
                                                     shellSetup);
        EXPECT_TRUE(program->waitFor(ready)) << program->lastScreen;
        return program;
    }

    // The program has ended with code and left the terminal as it found it.
    static void ExpectEndedRestored(TmuxProgram& program, int code) {
        ASSERT_TRUE(program.waitFor(kExitMark)) << program.lastScreen;
        EXPECT_TRUE(program.waitFor(std::string(kExitMark) + std::to_string(code)))
            << program.lastScreen;
        EXPECT_NE(program.lastScreen.find(kRestoredMark), std::string::npos) << program.lastScreen;
        EXPECT_FALSE(program.alternateScreen());
    }

    // Starts the CD job on the program's dialog: its mnemonic, then OK to the question.
    static void StartCdJob(TmuxProgram& program) {
        program.keys("c");
        ASSERT_TRUE(program.waitFor(kDiscWarning)) << program.lastScreen;
        program.keys("Enter");
    }

    test::TempDir dir_;
    test::CapturedLog log_{dir_};
    std::string sample_;
};

// checks that a user makes the boot floppy and the bootable CD from the dialog on a terminal,
// through the question, the progress and the success box, also across a resize, and that Exit
// leaves the terminal as it was
TEST_F(ProgramOnTerminal, MakesBothMediaWithKeysAndExits) {
    auto program = start();
    const std::string first = program->lastScreen;
    for (const char* shown :
         {kTitle, "Progress", "Status", "Boot floppy", "Bootable CD-ROM", "[ Create Floppy ]",
          "[ Create CD-ROM ]", "Exit", "Drive A:", "Drive E:"}) {
        SCOPED_TRACE(shown);
        EXPECT_NE(first.find(shown), std::string::npos) << first;
    }

    // The floppy: its mnemonic, the question, then OK.
    program->keys("f");
    ASSERT_TRUE(program->waitFor(kFloppyWarning)) << program->lastScreen;
    EXPECT_NE(program->lastScreen.find(kQuestionCaption), std::string::npos);
    EXPECT_NE(program->lastScreen.find("[!]"), std::string::npos);
    EXPECT_NE(program->lastScreen.find("[ OK ]  [ Cancel ]"), std::string::npos);
    program->keys("Enter");
    ASSERT_TRUE(program->waitFor(kDoneCaption)) << program->lastScreen;
    EXPECT_NE(program->lastScreen.find("[i]"), std::string::npos);
    program->keys("Enter");
    ASSERT_TRUE(program->waitFor("[ Create Floppy ]")) << program->lastScreen;

    const test::Bytes image = test::ContainerEntries(sample_).at(catalogue::kBootImage);
    const test::Bytes disk = test::ReadFileBytes(dir_.path("floppy.img"));
    ASSERT_EQ(image.size(), catalogue::kBootImageBytes);
    ASSERT_EQ(disk.size(), catalogue::kBootImageBytes);
    // The used front cylinders are the image's; the rest of the blank disk stays untouched.
    std::size_t written = 0;
    while (written < disk.size() &&
           std::equal(disk.begin() + static_cast<std::ptrdiff_t>(written),
                      disk.begin() + static_cast<std::ptrdiff_t>(written + kCylinderBytes),
                      image.begin() + static_cast<std::ptrdiff_t>(written)))
        written += kCylinderBytes;
    EXPECT_GE(written, kCylinderBytes);
    EXPECT_TRUE(std::all_of(disk.begin() + static_cast<std::ptrdiff_t>(written), disk.end(),
                            [](std::uint8_t byte) { return byte == 0; }));

    // The CD, with the terminal resized while it records.
    StartCdJob(*program);
    program->resize(kWideCols, kTallRows);
    ASSERT_TRUE(program->waitFor(kDoneCaption)) << program->lastScreen;
    // Redrawn for the new size: centred, and with room for the groups' frames.
    EXPECT_NE(program->lastScreen.find("         ┌─ Boot Media Maker [F10: close]"),
              std::string::npos)
        << program->lastScreen;
    EXPECT_NE(program->lastScreen.find("┌─ Bootable CD-ROM"), std::string::npos)
        << program->lastScreen;
    program->keys("Enter");
    ASSERT_TRUE(program->waitFor("[ Create CD-ROM ]")) << program->lastScreen;
    ASSERT_TRUE(std::filesystem::exists(dir_.path("disc.iso")));
    if (disctest::HaveProgram("xorriso")) {
        const std::string report = disctest::ElToritoReport(dir_.path("disc.iso"));
        EXPECT_NE(report.find("BIOS"), std::string::npos) << report;
        EXPECT_NE(report.find("fd1.4"), std::string::npos) << report;
    }

    program->keys("e");
    ExpectEndedRestored(*program, EXIT_SUCCESS);
}

// checks that the arrows change the focused list's selection and Tab walks the controls
TEST_F(ProgramOnTerminal, ListsAndFocusFollowKeys) {
    auto program = start();
    // Focus starts on Create Floppy; Tab goes on to Exit, Create CD-ROM, the floppy list.
    program->keys("Tab Tab Tab Down");
    EXPECT_TRUE(program->waitFor("Drive A:")); // one drive: the selection stays on it
    program->keys("Escape");
    ExpectEndedRestored(*program, EXIT_SUCCESS);
}

// checks that a terminating signal puts the terminal back before the process ends by it
TEST_F(ProgramOnTerminal, SignalRestoresTerminal) {
    auto program = start();
    const int pid = program->programPid();
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    ExpectEndedRestored(*program, 128 + SIGTERM);
}

// checks that the close key during a floppy job ends the program (by the monitor's emergency
// exit, or at the job's end when it is quicker) with the terminal put back
TEST_F(ProgramOnTerminal, CloseDuringFloppyJobRestoresTerminal) {
    auto program = start();
    program->keys("f");
    ASSERT_TRUE(program->waitFor(kFloppyWarning)) << program->lastScreen;
    program->keys("Enter F10");
    // A job quicker than the close ends with its success box; the window closes after it.
    if (program->waitFor(kDoneCaption, std::chrono::milliseconds(3000)))
        program->keys("Enter");
    ExpectEndedRestored(*program, EXIT_SUCCESS);
}

// checks that long German texts on the smallest terminal keep within their frames: the title is
// cut with a mark before the close key's hint, which stays; a button's label too long for it is
// cut with a mark; group titles leave their frames' corners; the banner leaves its frame's top
// line; and the box buttons speak the user's language
TEST_F(ProgramOnTerminal, LongTextsStayWithinTheirFrames) {
    test::Texts texts = test::GermanLengthTexts();
    texts[catalogue::kDialogTitle] =
        "Startmedien-Ersteller f\xFCr die Installation von Betriebssystemen auf \xE4lteren "
        "Rechnern ohne Netzwerk";
    ASSERT_TRUE(test::ContainerWithTexts(test::ContainerEntries(sample_), texts)
                    .write(dir_.path("install.dat")));
    // LANGUAGE names the user's language for messages, as gettext reads it too.
    auto program =
        start(kCols, kRows, "Bereit. Erstes Diskettenlaufwerk ist A:", {{"LANGUAGE", "de"}});
    const std::vector<std::wstring> lines = ScreenLines(program->lastScreen);
    const auto top = std::find_if(lines.begin(), lines.end(), [](const std::wstring& line) {
        return line.find(L"[F10: close]") != std::wstring::npos;
    });
    ASSERT_NE(top, lines.end()) << program->lastScreen;
    EXPECT_NE(top->find(L"Startmedien-Ersteller f\u00FCr"), std::wstring::npos);
    EXPECT_NE(top->find(L"\u2026 [F10: close] \u2500"), std::wstring::npos) << program->lastScreen;
    const std::size_t left = top->find(L'\u250C');
    const std::size_t right = top->rfind(L'\u2510');
    ASSERT_NE(left, std::wstring::npos);
    ASSERT_NE(right, std::wstring::npos);
    // Every line of the dialog keeps its two sides; each frame's top line its two corners.
    const auto bottom = std::find_if(top, lines.end(), [&](const std::wstring& line) {
        return line.size() > left && line[left] == L'\u2514';
    });
    ASSERT_NE(bottom, lines.end()) << program->lastScreen;
    for (auto line = top + 1; line != bottom; ++line) {
        SCOPED_TRACE(std::string(program->lastScreen));
        ASSERT_GT(line->size(), right);
        EXPECT_EQ((*line)[left], L'\u2502');
        EXPECT_EQ((*line)[right], L'\u2502');
        const std::wstring inside = line->substr(left + 1, right - left - 1);
        EXPECT_EQ(std::count(inside.begin(), inside.end(), L'\u250C'),
                  std::count(inside.begin(), inside.end(), L'\u2510'));
    }
    // The banner's frame is the first inside the dialog: its top line is whole.
    const auto framed = std::find_if(top + 1, bottom, [](const std::wstring& line) {
        return line.find(L'\u250C') != std::wstring::npos;
    });
    ASSERT_NE(framed, bottom) << program->lastScreen;
    const std::wstring& bannerTop = *framed;
    const std::size_t from = bannerTop.find(L'\u250C');
    const std::size_t to = bannerTop.find(L'\u2510');
    ASSERT_TRUE(from != std::wstring::npos && to != std::wstring::npos) << program->lastScreen;
    EXPECT_EQ(bannerTop.substr(from + 1, to - from - 1), std::wstring(to - from - 1, L'\u2500'));
    for (const char* shown : {"Startf\u00e4hige Diskette", "CD-ROM mit Startfunktion",
                              "Aktueller Status", "[Diskette erste\u2026]", "Laufwerk A:"}) {
        SCOPED_TRACE(shown);
        EXPECT_NE(program->lastScreen.find(shown), std::string::npos) << program->lastScreen;
    }

    program->keys("d");
    ASSERT_TRUE(program->waitFor("[ OK ]  [ Abbrechen ]")) << program->lastScreen;
    program->keys("Escape");
    ASSERT_TRUE(program->waitFor("[Diskette erste\u2026]")) << program->lastScreen;
    program->keys("b");
    ExpectEndedRestored(*program, EXIT_SUCCESS);
}

// checks that a recording that fails in the middle of its write (the disc file may grow no
// further) shows the failure box on a screen without any library's text, keeps the older disc
// byte for byte, and leaves libburn's reason in the log
TEST_F(ProgramOnTerminal, FailingRecordingShowsNoLibraryText) {
    ASSERT_TRUE(
        test::WriteFileBytes(dir_.path("install.dat"), SampleWithBigFile(sample_, kBigFileBytes)));
    const test::Bytes older(kOlderDiscBytes, 0x4F);
    ASSERT_TRUE(test::WriteFileBytes(dir_.path("disc.iso"), older));
    auto program =
        start(kCols, kRows, kReadyStatus, {}, BOOTMEDIA_PROGRAM,
              "trap '' XFSZ; prlimit --pid $$ --fsize=" + std::to_string(kFileLimit) + "; ");
    StartCdJob(*program);
    ASSERT_TRUE(program->waitFor(kRecordFailure)) << program->lastScreen;
    for (const char* library :
         {"libburn", "libisofs", "SORRY", "FATAL", "FAILURE", "bootmedia:", "Cannot write"}) {
        SCOPED_TRACE(library);
        EXPECT_EQ(program->lastScreen.find(library), std::string::npos) << program->lastScreen;
    }
    program->keys("Enter");
    ASSERT_TRUE(program->waitFor("[ Create CD-ROM ]")) << program->lastScreen;
    EXPECT_TRUE(test::ReadFileBytes(dir_.path("disc.iso")) == older);
    const std::string log = log_.text();
    EXPECT_NE(log.find("libburn SORRY: Cannot write"), std::string::npos) << log;
    EXPECT_NE(log.find("File too large"), std::string::npos) << log;
    program->keys("e");
    ExpectEndedRestored(*program, EXIT_SUCCESS);
}

// checks that an interrupt in the middle of a recording puts the terminal back, lets the
// recording stop (the older disc stays byte for byte, nothing is left beside it), and only then
// ends the program by the signal
TEST_F(ProgramOnTerminal, InterruptDuringRecordingKeepsOlderDisc) {
    const test::Bytes older(kOlderDiscBytes, 0x4F);
    ASSERT_TRUE(test::WriteFileBytes(dir_.path("disc.iso"), older));
    const std::string stalled = dir_.path("recording.stalled");
    auto program = start(kCols, kRows, kReadyStatus, {}, STALLING_PROGRAM);
    StartCdJob(*program);
    ASSERT_TRUE(WaitForFile(stalled)) << program->screen();
    const int pid = program->programPid();
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(pid, SIGINT), 0);
    ExpectEndedRestored(*program, 128 + SIGINT);
    EXPECT_TRUE(test::ReadFileBytes(dir_.path("disc.iso")) == older);
    EXPECT_NE(log_.text().find("failed: the write was cancelled"), std::string::npos)
        << log_.text();
}

} // namespace
