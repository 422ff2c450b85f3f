// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The ground of the CD build job's tests: a container with the job's texts, the boot image and a
// file set, opened into JobState; stand-ins for the services; and a run of the job on the test's
// thread as the Create CD-ROM command starts it, with pauses that only record themselves and the
// temporary storages in the test's folder.

#include "JolietFakes.h"
#include "support/ContainerBuilder.h"
#include "support/MessageBoxRecorder.h"
#include "support/TempDir.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace cdjobtest {

inline constexpr char kCaption[] = "CD error";
inline constexpr char kBuildError[] = "The CD could not be built";
inline constexpr char kRecordError[] = "The CD could not be recorded";
inline constexpr char kNoRecorder[] = "No recordable drive";
inline constexpr char kNoMaster[] = "No mastering service";

/// A file of the set: name (text 5000 + i) and contents (entry 5100 + i; none: no entry).
struct CdFile {
    std::string name;
    std::optional<test::Bytes> contents;
};

/// size bytes that differ from each other and from seed to seed.
test::Bytes Pattern(std::size_t size, unsigned seed);

/// The streams the storage of files holds: name (ASCII) -> contents.
std::map<std::u16string, test::Bytes> StreamsFor(const std::vector<CdFile>& files);

/// Writes the container into dir and opens it into JobState.resourceFile while it lives.
class JobContainer {
public:
    JobContainer(test::TempDir& dir, const test::ContainerBuilder& builder);
    ~JobContainer();
    JobContainer(const JobContainer&) = delete;
    JobContainer& operator=(const JobContainer&) = delete;
};

/// The services the job finds.
struct Services {
    win::HRESULT burnerCreation = win::S_OK; ///< a failure: no burning service
    win::HRESULT burnerResult = win::S_OK;
    win::BOOL hasDrive = win::TRUE;
    std::optional<fake::JolietBehaviour> master = fake::JolietBehaviour{}; ///< none: no master
};

class JobBench {
public:
    /// Opens a container with the texts, a boot image and the files; $TMPDIR is the test's.
    explicit JobBench(const std::vector<CdFile>& files);
    ~JobBench();
    JobBench(const JobBench&) = delete;
    JobBench& operator=(const JobBench&) = delete;

    /// Sets JobState as the command does (busy, phase 0, the recorder of three), with failed as
    /// failedBefore, and runs the job. With tempGoneAt, $TMPDIR names a missing folder from the
    /// pause in that phase on.
    void run(const Services& services, std::int32_t selectedRecorder, bool failedBefore,
             std::optional<std::int32_t> tempGoneAt = std::nullopt);

    test::TempDir dir;
    test::Bytes bootImage;
    std::optional<JobContainer> container;
    fake::Log log = fake::NewLog();
    fake::Seen seen = std::make_shared<fake::JolietSeen>();
    /// Each pause: its length and the phase then.
    std::vector<std::pair<win::DWORD, std::int32_t>> pauses;
    /// Each box, and whether the job was still busy while it was open.
    std::vector<test::RecordedBox> boxes;
    std::vector<bool> busyDuringBox;
    /// Descriptors the run left open: temporary storages not released.
    std::ptrdiff_t descriptorsLeft = 0;

private:
    std::optional<std::string> savedTempFolder_;
};

} // namespace cdjobtest
