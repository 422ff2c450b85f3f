// SPDX-License-Identifier: GPL-2.0-or-later
// CD figures: the CD build job as the user runs it (RunCdBuildJob with its fixed pauses set to
// zero: the real container reader, piece copy, temporary storages, boot property pass, disc
// master and a file recorder) beside xorriso's mkisofs emulation building the same disc from the
// same files as plain files, in the same run, alternating. For each size: 100 files of
// incompressible bytes and a boot floppy; the median wall time, processor time and peak memory
// of each, their ratio, and a check that the job's disc holds every file and the boot image byte
// for byte.
//
//   cd_bench [--runs=N] [--sizes=MiB,MiB,...] [FOLDER]
//     default: 3 runs, sizes 30,300,900 MiB, a new folder under $TMPDIR or /tmp removed
//     afterwards. Exit status 1 when a job, xorriso or a disc check failed.

#include "app/JobState.h"
#include "bench/BenchProcess.h"
#include "bench/CdBenchSet.h"
#include "cd/CdBuildJob.h"
#include "platform/linux/cd/RecorderRegistry.h"
#include "resfile/ResourceFile.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using bench::Clock;

constexpr int kDefaultRuns = 3;
constexpr const char* kDefaultSizes = "30,300,900";
constexpr std::string_view kRunsOption = "--runs=";
constexpr std::string_view kSizesOption = "--sizes=";
constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr int kPhases = 7;
constexpr std::chrono::milliseconds kPhasePoll{1};
constexpr const char* kTempVariable = "TMPDIR";

struct Options {
    int runs = kDefaultRuns;
    std::vector<std::uint64_t> sizesMiB;
    std::optional<fs::path> folder;
};

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    std::string sizes = kDefaultSizes;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with(kRunsOption))
            options.runs = std::atoi(argv[i] + kRunsOption.size());
        else if (argument.starts_with(kSizesOption))
            sizes = argument.substr(kSizesOption.size());
        else if (!argument.starts_with("-") && !options.folder)
            options.folder = fs::path(argument);
        else
            return std::nullopt;
    }
    std::istringstream list(sizes);
    for (std::string size; std::getline(list, size, ',');)
        options.sizesMiB.push_back(std::strtoull(size.c_str(), nullptr, 10));
    if (options.runs < 1 || options.sizesMiB.empty())
        return std::nullopt;
    for (std::uint64_t size : options.sizesMiB)
        if (size == 0)
            return std::nullopt;
    return options;
}

// One run of the job, its time split by phase.
struct JobRun {
    bool good = false;
    double seconds = 0;
    double cpuSeconds = 0;
    double contextSwitches = 0;
    double peakMiB = 0;
    /// Seconds spent in each phase, as a monitor polling every millisecond sees them.
    std::array<double, kPhases> phaseSeconds{};
};

// Notes when each phase begins, polling as the CD monitor does, but every millisecond, until
// the job is no longer busy. Its own processor time and context switches, which a monitor
// polling every 100 ms would not have, are kept apart from the job's.
class PhaseClock {
public:
    explicit PhaseClock(Clock::time_point start)
        : thread_([this, start] {
              starts_.fill(start);
              // The job starts in phase 0; a late start of this thread still sees phase 1 begin
              // with the first poll.
              int seen = 0;
              while (JobState.busy) {
                  const int phase = JobState.cdPhase;
                  if (phase != seen && phase >= 0 && phase < kPhases)
                      starts_[static_cast<std::size_t>(phase)] = Clock::now();
                  seen = phase;
                  std::this_thread::sleep_for(kPhasePoll);
              }
              ownCpuSeconds_ = bench::ThreadCpuSeconds();
              ownContextSwitches_ = bench::ThreadContextSwitches();
          }) {}

    /// Waits for the job's end; the time each phase lasted, until end.
    std::array<double, kPhases> phaseSeconds(Clock::time_point end) {
        thread_.join();
        std::array<double, kPhases> seconds{};
        Clock::time_point next = end;
        for (int phase = kPhases - 1; phase >= 0; --phase) {
            const Clock::time_point begun = starts_[static_cast<std::size_t>(phase)];
            if (begun > starts_[0] || phase == 0) {
                seconds[static_cast<std::size_t>(phase)] =
                    std::chrono::duration<double>(next - begun).count();
                next = begun;
            }
        }
        return seconds;
    }

    /// After phaseSeconds: what the clock's own polling cost.
    double ownCpuSeconds() const { return ownCpuSeconds_; }
    double ownContextSwitches() const { return ownContextSwitches_; }

private:
    std::array<Clock::time_point, kPhases> starts_{};
    double ownCpuSeconds_ = 0;
    double ownContextSwitches_ = 0;
    std::thread thread_;
};

JobRun RunJob(const fs::path& container) {
    JobRun run;
    JobState.resourceFile = OpenResourceFile(container.c_str(), true);
    if (JobState.resourceFile == win::INVALID_HANDLE_VALUE)
        return run;
    const CdJobTiming timing{.startPause = 0, .phasePause = 0, .pause = [](win::DWORD) {}};
    JobState.selectedRecorder = 0;
    JobState.cdPhase = 0;
    JobState.busy = true;
    bench::ResetOwnPeak();
    const double cpuStart = bench::OwnCpuSeconds();
    const double switchesStart = bench::OwnContextSwitches();
    const Clock::time_point start = Clock::now();
    PhaseClock phases(start);
    RunCdBuildJob(timing);
    const Clock::time_point end = Clock::now();
    run.seconds = std::chrono::duration<double>(end - start).count();
    run.phaseSeconds = phases.phaseSeconds(end);
    run.cpuSeconds = bench::OwnCpuSeconds() - cpuStart - phases.ownCpuSeconds();
    run.contextSwitches = bench::OwnContextSwitches() - switchesStart - phases.ownContextSwitches();
    run.peakMiB = bench::OwnPeakMiB();
    run.good = !JobState.failed;
    CloseResourceFile(JobState.resourceFile);
    JobState.resourceFile = nullptr;
    return run;
}

bench::ChildRun RunXorriso(const bench::CdBenchSet& set, const fs::path& disc) {
    return bench::RunChild({"xorriso", "-as", "mkisofs", "-quiet", "-J", "-b",
                            bench::kBootFloppyName, "-c", "boot.cat", "-o", disc.string(),
                            set.files.string()});
}

// The phases the job passes through, and what it does in each.
constexpr std::array<std::pair<int, const char*>, 6> kPhaseNames = {{{0, "opening"},
                                                                     {1, "files"},
                                                                     {3, "boot"},
                                                                     {4, "hand-over"},
                                                                     {5, "recording"},
                                                                     {6, "closing"}}};

std::string PhaseLine(const std::array<std::vector<double>, kPhases>& seconds) {
    std::string line;
    for (const auto& [phase, name] : kPhaseNames) {
        char part[64] = {};
        std::snprintf(part, sizeof part, "%s%s %.2f", line.empty() ? "" : ", ", name,
                      bench::Median(seconds[static_cast<std::size_t>(phase)]));
        line += part;
    }
    return line;
}

struct SizeFigures {
    std::uint64_t sizeMiB = 0;
    double jobSeconds = 0;
    double xorrisoSeconds = 0;
    double jobPeakMiB = 0;
    double xorrisoPeakMiB = 0;
};

// Runs the job and xorriso alternately on one size, prints the figures, and checks the disc.
std::optional<SizeFigures> MeasureSize(const fs::path& root, std::uint64_t sizeMiB, int runs,
                                       const fs::path& disc) {
    const fs::path folder = root / (std::to_string(sizeMiB) + "MiB");
    bench::CdBenchSet set;
    std::string error;
    if (!bench::MakeCdBenchSet(folder, sizeMiB * kMiB, RESFILE_TOOL, &set, &error)) {
        std::printf("%s\n", error.c_str());
        return std::nullopt;
    }
    std::printf("\n%llu MiB: 100 files of %llu bytes and a boot floppy\n",
                static_cast<unsigned long long>(sizeMiB),
                static_cast<unsigned long long>(set.fileBytes));
    std::vector<double> jobSeconds, jobCpu, jobSwitches, jobPeak;
    std::array<std::vector<double>, kPhases> phaseSeconds;
    std::vector<double> xorrisoSeconds, xorrisoCpu, xorrisoSwitches, xorrisoPeak;
    bool good = true;
    const fs::path reference = folder / "ref.iso";
    for (int run = 0; run < runs; ++run) {
        fs::remove(disc);
        // Each run starts with nothing left to write back, so no run pays for the writes of the
        // set's making or of the run before it.
        sync();
        const JobRun job = RunJob(set.container);
        good = good && job.good;
        jobSeconds.push_back(job.seconds);
        for (std::size_t phase = 0; phase < phaseSeconds.size(); ++phase)
            phaseSeconds[phase].push_back(job.phaseSeconds[phase]);
        jobCpu.push_back(job.cpuSeconds);
        jobSwitches.push_back(job.contextSwitches);
        jobPeak.push_back(job.peakMiB);
        fs::remove(reference);
        sync();
        const bench::ChildRun xorriso = RunXorriso(set, reference);
        good = good && xorriso.status == 0;
        xorrisoSeconds.push_back(xorriso.seconds);
        xorrisoCpu.push_back(xorriso.cpuSeconds);
        xorrisoSwitches.push_back(xorriso.contextSwitches);
        xorrisoPeak.push_back(xorriso.peakMiB);
        std::printf("  run %d: job %.2f s (files %.2f s, recording %.2f s), %s; xorriso %.2f s, "
                    "status %d\n",
                    run + 1, job.seconds, job.phaseSeconds[1], job.phaseSeconds[5],
                    job.good ? "disc good" : "FAILED", xorriso.seconds, xorriso.status);
    }
    SizeFigures figures{.sizeMiB = sizeMiB,
                        .jobSeconds = bench::Median(jobSeconds),
                        .xorrisoSeconds = bench::Median(xorrisoSeconds),
                        .jobPeakMiB = bench::Median(jobPeak),
                        .xorrisoPeakMiB = bench::Median(xorrisoPeak)};
    std::printf("  job (pauses 0): median %.2f s (%.2f s processor, %.0f context switches), peak "
                "%.1f MiB\n"
                "    phases, medians in s: %s\n",
                figures.jobSeconds, bench::Median(jobCpu), bench::Median(jobSwitches),
                figures.jobPeakMiB, PhaseLine(phaseSeconds).c_str());
    std::printf("  xorriso -as mkisofs -J -b -c: median %.2f s (%.2f s processor, %.0f context "
                "switches), peak %.1f MiB\n",
                figures.xorrisoSeconds, bench::Median(xorrisoCpu), bench::Median(xorrisoSwitches),
                figures.xorrisoPeakMiB);
    std::printf("  ratio job / xorriso: %.2f\n", figures.jobSeconds / figures.xorrisoSeconds);
    const std::string fault = bench::CheckDisc(disc, set, folder / "extracted");
    std::printf("  disc of the last job: %s\n",
                fault.empty() ? "every file and the boot image byte for byte" : fault.c_str());
    fs::remove_all(folder);
    if (!good || !fault.empty())
        return std::nullopt;
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: cd_bench [--runs=N] [--sizes=MiB,MiB,...] [FOLDER]\n");
        return EXIT_FAILURE;
    }
    std::string made = (fs::temp_directory_path() / "cd_bench-XXXXXX").string();
    if (!options->folder && mkdtemp(made.data()) == nullptr) {
        std::perror("mkdtemp");
        return EXIT_FAILURE;
    }
    const fs::path root = options->folder.value_or(fs::path(made));
    fs::create_directories(root / "tmp");
    // The job's temporary storages go beside the files, on the same file system as xorriso's.
    setenv(kTempVariable, (root / "tmp").c_str(), 1);
    const fs::path disc = root / "disc.iso";
    const platform::layer::ScopedRecorderSources recorder(
        {.opticalDrives = false, .files = {disc.string()}});
    // Found once, as the program finds its recorders at start-up before any job.
    if (platform::layer::Recorders().size() != 1) {
        std::fprintf(stderr, "the file recorder %s is not usable\n", disc.c_str());
        return EXIT_FAILURE;
    }
    std::printf("CD build job (pauses 0) into a file recorder beside xorriso, %d runs each, "
                "alternating, medians; files in %s\n",
                options->runs, root.c_str());

    std::vector<SizeFigures> all;
    bool good = true;
    for (std::uint64_t size : options->sizesMiB) {
        const std::optional<SizeFigures> figures = MeasureSize(root, size, options->runs, disc);
        good = good && figures.has_value();
        if (figures)
            all.push_back(*figures);
    }
    std::printf("\nsummary:  size   job s  xorriso s  ratio  job peak MiB  xorriso peak MiB\n");
    for (const SizeFigures& f : all)
        std::printf("      %5llu MiB  %5.2f  %9.2f  %5.2f  %12.1f  %16.1f\n",
                    static_cast<unsigned long long>(f.sizeMiB), f.jobSeconds, f.xorrisoSeconds,
                    f.jobSeconds / f.xorrisoSeconds, f.jobPeakMiB, f.xorrisoPeakMiB);
    if (!options->folder)
        fs::remove_all(root);
    else
        fs::remove(disc);
    return good ? EXIT_SUCCESS : EXIT_FAILURE;
}
