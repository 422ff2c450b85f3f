// SPDX-License-Identifier: GPL-2.0-or-later
// process_end_program JOB END CONTAINER: starts a real job from CONTAINER through the real layer
// (floppy: onto drive A:, as BOOTMEDIA_DRIVE_A names it; cd: onto the first recorder that
// BOOTMEDIA_RECORDERS names) and ends the process while the job's worker is busy at it:
//   exit    win::ExitProcess(0) from the main thread, as the floppy monitor's emergency exit does
//   return  the application's run returns to main, as the end of the dialog does
// Prints "ending during the job" just before it ends; exit code 0, or 3 when the job never got
// under way.
#include "app/JobState.h"
#include "app/PlatformProfile.h"
#include "cd/CdBuildJob.h"
#include "floppy/FloppyWorker.h"
#include "floppy/FloppyWriter.h"
#include "platform/System.h"
#include "platform/fw/Application.h"
#include "resfile/Catalogue.h"
#include "resfile/ResourceFile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr int kArguments = 4;
constexpr int kUsage = 2;
constexpr int kNeverUnderWay = 3;
constexpr win::DWORD kPollMs = 1;
constexpr auto kLongestWait = std::chrono::seconds(60);
// The floppy worker is writing from its third cylinder on.
constexpr std::int32_t kFloppyUnderWay = 2;
// From phase 3 on the CD job stages the boot image, hands the file set over and records.
constexpr std::int32_t kBootImagePhase = 3;

enum class Job { Floppy, Cd };
enum class End { Exit, Return };

template <typename Condition> bool WaitFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + kLongestWait;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        win::Sleep(kPollMs);
    }
    return true;
}

bool StartFloppyJob() {
    FloppyWriter writer;
    if (writer.DetectFloppyDrives(true, 0) == 0)
        return false;
    writer.DetectFloppyDrives(false, 0);
    return platform::StartThread(FloppyWorkerThread, nullptr) &&
           WaitFor([] { return JobState.busy && JobState.progress >= kFloppyUnderWay; });
}

bool StartCdJob() {
    JobState.busy = true;
    JobState.selectedRecorder = 0;
    JobState.cdPhase = 0;
    return platform::StartThread(CdBuildThread, nullptr) &&
           WaitFor([] { return JobState.cdPhase >= kBootImagePhase || !JobState.busy; }) &&
           JobState.busy;
}

class JobApplication final : public fw::Application {
public:
    JobApplication(Job job, End end) : job_(job), end_(end) {}

    bool InitInstance() override {
        DetectPlatformProfile();
        std::uint32_t size = 0;
        JobState.bootImageOffset = static_cast<std::int32_t>(
            GetResourceLocation(JobState.resourceFile, catalogue::kBootImage, &size));
        if (GetResourceError() != kResourceOk ||
            !(job_ == Job::Floppy ? StartFloppyJob() : StartCdJob())) {
            std::fputs("the job never got under way\n", stderr);
            std::exit(kNeverUnderWay);
        }
        std::puts("ending during the job");
        if (end_ == End::Exit)
            win::ExitProcess(EXIT_SUCCESS);
        return false;
    }

private:
    Job job_;
    End end_;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != kArguments) {
        std::fputs("usage: process_end_program floppy|cd exit|return CONTAINER\n", stderr);
        return kUsage;
    }
    const std::string_view job = argv[1];
    const std::string_view end = argv[2];
    JobState.resourceFile = OpenResourceFile(argv[3], true);
    JobApplication application(job == "cd" ? Job::Cd : Job::Floppy,
                               end == "exit" ? End::Exit : End::Return);
    return fw::ApplicationMain();
}
