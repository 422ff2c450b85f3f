// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What a benchmark measures of itself and of the programs it runs beside it: wall time,
// processor time, context switches and peak resident memory.

#include <chrono>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

/// Seconds since a point in time.
double SecondsSince(Clock::time_point start);

/// The processor time of this process, all its threads, so far.
double OwnCpuSeconds();

/// How often the threads of this process have given up the processor so far, waiting or made
/// to: the times threads that hand work to each other meet.
double OwnContextSwitches();

/// The processor time and the context switches of the calling thread alone so far.
double ThreadCpuSeconds();
double ThreadContextSwitches();

/// Starts this process's peak resident memory afresh from what it holds now.
void ResetOwnPeak();

/// This process's peak resident memory since the last ResetOwnPeak, in MiB.
double OwnPeakMiB();

/// One run of another program.
struct ChildRun {
    int status = -1; ///< the exit status; -1 when it could not run or did not exit
    double seconds = 0;
    double cpuSeconds = 0;
    double contextSwitches = 0;
    /// The kernel's count, which for a child is at least the spawning process's resident
    /// memory at the spawn: Linux carries it over the exec.
    double peakMiB = 0;
};

/// Runs a program (looked up on the PATH unless given as a path) with its standard output and
/// error discarded, and waits for it.
ChildRun RunChild(const std::vector<std::string>& arguments);

/// The middle of the values (the upper one of the two middle ones for an even count); 0 for none.
double Median(std::vector<double> values);

} // namespace bench
