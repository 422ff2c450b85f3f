// SPDX-License-Identifier: GPL-2.0-or-later
// The process ended while a job's worker is busy, on both ways the program ends it: ExitProcess,
// and the application's run returning. No static destructor may run under the worker, so a
// sanitizer build (address or thread) reports nothing and the exit code is 0.
#include "resfile/Catalogue.h"
#include "support/ContainerBuilder.h"
#include "support/Programs.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

constexpr const char* kEndingMark = "ending during the job";

// checks that ending the process during a floppy job and during a CD job, by ExitProcess or by
// the end of the application's run, ends it cleanly with code 0 and no sanitizer report
TEST(ProcessEnd, DuringAJobEndsCleanly) {
    const char* sample = std::getenv("BOOTMEDIA_SAMPLE");
    ASSERT_NE(sample, nullptr);
    test::TempDir dir;
    // Every cylinder of this image holds data, so the floppy job writes all 80.
    ASSERT_TRUE(test::ContainerBuilder()
                    .add(catalogue::kBootImage, test::Bytes(catalogue::kBootImageBytes, 0))
                    .write(dir.path("floppy.dat")));
    const test::ScopedEnv drive("BOOTMEDIA_DRIVE_A", dir.path("floppy.img").c_str());
    const test::ScopedEnv noDriveB("BOOTMEDIA_DRIVE_B", "");
    const test::ScopedEnv recorder("BOOTMEDIA_RECORDERS", dir.path("disc.iso").c_str());
    const test::ScopedEnv temporary("TMPDIR", dir.path("").c_str());
    const test::ScopedEnv state("XDG_STATE_HOME", dir.path("state").c_str());

    struct Case {
        const char* job;
        const char* end;
        std::string container;
    };
    const Case cases[] = {
        {"floppy", "exit", dir.path("floppy.dat")},
        {"floppy", "return", dir.path("floppy.dat")},
        {"cd", "exit", sample},
        {"cd", "return", sample},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.job) + " job, " + c.end);
        ASSERT_TRUE(test::WriteFileBytes(dir.path("floppy.img"),
                                         test::Bytes(catalogue::kBootImageBytes, 0xAA)));
        std::filesystem::remove(dir.path("disc.iso"));
        const test::ProgramRun run =
            test::RunProgram({PROCESS_END_PROGRAM, c.job, c.end, c.container});
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_NE(run.output.find(kEndingMark), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("Sanitizer"), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("runtime error"), std::string::npos) << run.output;
    }
}

} // namespace
