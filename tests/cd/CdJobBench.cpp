// SPDX-License-Identifier: GPL-2.0-or-later
#include "CdJobBench.h"

#include "app/JobState.h"
#include "cd/CdBuildJob.h"
#include "resfile/Catalogue.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace win;
using platform::layer::MakeComObject;

namespace cdjobtest {
namespace {

constexpr const char* kTempVariable = "TMPDIR";
constexpr std::uint32_t kBootImageBytes = 1474560;
constexpr int kRecorders = 3;

std::ptrdiff_t OpenDescriptors() {
    const std::filesystem::directory_iterator descriptors("/proc/self/fd");
    return std::distance(begin(descriptors), end(descriptors));
}

void ResetJobState() {
    JobState.resourceFile = nullptr;
    JobState.busy = false;
    JobState.failed = false;
    JobState.cdPhase = 0;
    JobState.selectedRecorder = 0;
}

// Notes whether the job is still busy while a box is open, and hands the box on.
class BusyProbe final : public platform::MessageBoxPresenter {
public:
    BusyProbe(platform::MessageBoxPresenter& next, std::vector<bool>& busy)
        : next_(next), busy_(busy), previous_(platform::SetMessageBoxPresenter(this)) {}
    ~BusyProbe() override { platform::SetMessageBoxPresenter(previous_); }
    BusyProbe(const BusyProbe&) = delete;
    BusyProbe& operator=(const BusyProbe&) = delete;

    int show(HWND owner, const char* text, const char* caption, UINT type) override {
        busy_.push_back(JobState.busy);
        return next_.show(owner, text, caption, type);
    }

private:
    platform::MessageBoxPresenter& next_;
    std::vector<bool>& busy_;
    platform::MessageBoxPresenter* previous_;
};

} // namespace

test::Bytes Pattern(std::size_t size, unsigned seed) {
    test::Bytes bytes(size);
    for (std::size_t at = 0; at < size; ++at)
        bytes[at] = static_cast<std::uint8_t>(at * 7 + at / 251 + seed * 31);
    return bytes;
}

std::map<std::u16string, test::Bytes> StreamsFor(const std::vector<CdFile>& files) {
    std::map<std::u16string, test::Bytes> streams;
    for (const CdFile& file : files)
        streams[std::u16string(file.name.begin(), file.name.end())] = file.contents.value();
    return streams;
}

JobContainer::JobContainer(test::TempDir& dir, const test::ContainerBuilder& builder) {
    ResetJobState();
    const std::string path = dir.path("install.dat");
    EXPECT_TRUE(builder.write(path));
    JobState.resourceFile = OpenResourceFile(path.c_str(), true);
    EXPECT_NE(JobState.resourceFile, INVALID_HANDLE_VALUE);
}

JobContainer::~JobContainer() {
    CloseResourceFile(JobState.resourceFile);
    ResetJobState();
}

JobBench::JobBench(const std::vector<CdFile>& files) : bootImage(Pattern(kBootImageBytes, 1)) {
    test::ContainerBuilder builder;
    builder.add(catalogue::kErrorCaption, kCaption)
        .add(catalogue::kCdBuildError, kBuildError)
        .add(catalogue::kRecordError, kRecordError)
        .add(catalogue::kNoRecorder, kNoRecorder)
        .add(catalogue::kDiscMasterError, kNoMaster)
        .add(catalogue::kBootImage, bootImage);
    for (std::size_t i = 0; i < files.size(); ++i) {
        builder.add(static_cast<ResourceId>(catalogue::kCdFileNameFirst + i), files[i].name);
        if (files[i].contents)
            builder.add(static_cast<ResourceId>(catalogue::kCdFileContentFirst + i),
                        *files[i].contents);
    }
    container.emplace(dir, builder);
    if (const char* saved = std::getenv(kTempVariable))
        savedTempFolder_ = saved;
    std::filesystem::create_directory(dir.path("tmp"));
    setenv(kTempVariable, dir.path("tmp").c_str(), 1);
}

JobBench::~JobBench() {
    if (savedTempFolder_)
        setenv(kTempVariable, savedTempFolder_->c_str(), 1);
    else
        unsetenv(kTempVariable);
}

void JobBench::run(const Services& services, std::int32_t selectedRecorder, bool failedBefore,
                   std::optional<std::int32_t> tempGoneAt) {
    std::optional<fake::StandIn> burner;
    if (FAILED(services.burnerCreation))
        burner.emplace(CLSID_CDBurn, services.burnerCreation);
    else
        burner.emplace(CLSID_CDBurn, [log = log, services] {
            return MakeComObject<fake::Burner>(log, services.burnerResult, services.hasDrive);
        });
    std::optional<fake::StandIn> master;
    if (services.master) {
        auto recorders = std::make_shared<fake::Recorders>(fake::MakeRecorders(log, kRecorders));
        master.emplace(CLSID_MSDiscMasterObj, [log = log, seen = seen, services, recorders] {
            return MakeComObject<fake::JolietMaster>(log, seen, *services.master,
                                                     std::move(*recorders));
        });
    } else {
        master.emplace(CLSID_MSDiscMasterObj, REGDB_E_CLASSNOTREG);
    }

    test::MessageBoxRecorder recorder;
    const CdJobTiming timing{.startPause = 1000, .phasePause = 200, .pause = [&](DWORD length) {
                                 pauses.emplace_back(length, JobState.cdPhase);
                                 if (tempGoneAt == JobState.cdPhase)
                                     setenv(kTempVariable, dir.path("gone").c_str(), 1);
                             }};
    JobState.busy = true;
    JobState.cdPhase = 0;
    JobState.selectedRecorder = selectedRecorder;
    JobState.failed = failedBefore;
    const std::ptrdiff_t before = OpenDescriptors();
    {
        const BusyProbe probe(recorder, busyDuringBox);
        RunCdBuildJob(timing);
    }
    descriptorsLeft = OpenDescriptors() - before;
    boxes = recorder.all();
}

} // namespace cdjobtest
