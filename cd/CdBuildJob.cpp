// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/CdBuildJob.h"

#include "app/JobState.h"
#include "app/MessageBoxes.h"
#include "cd/BootImageStorage.h"
#include "cd/BuildFailure.h"
#include "cd/CdBurnRef.h"
#include "cd/CdFileSet.h"
#include "cd/DiscMasterRef.h"
#include "cd/JolietProperties.h"
#include "cd/JolietRef.h"
#include "cd/RecorderEnumRef.h"
#include "cd/RecorderRef.h"
#include "platform/ComApartment.h"
#include "resfile/Catalogue.h"

#include <cstdint>
#include <new>

using namespace win;

namespace {

constexpr std::int32_t kPhaseOpening = 0;
constexpr std::int32_t kPhaseFiles = 1;
constexpr std::int32_t kPhaseBoot = 3;
constexpr std::int32_t kPhaseHandOver = 4;
constexpr std::int32_t kPhaseRecording = 5;
constexpr std::int32_t kPhaseClosing = 6;

constexpr bool kReplaceFiles = true;
constexpr boolean kRecordForReal = 0;
constexpr boolean kEjectAfterRecording = 1;

void SetPhase(std::int32_t phase) {
    JobState.cdPhase = phase;
}

// Leaves recorder holding the recorder at position index of the enumeration; empty for a
// negative index or one the enumeration does not reach (it is not asked further then).
void SelectRecorder(RecorderEnumRef& recorders, RecorderRef& recorder, std::int32_t index) {
    for (std::int64_t position = 0; position <= index; ++position)
        if (!recorders.nextRecorder(recorder))
            return;
}

// From the recorder's selection through the recording; every reference taken here goes, in
// reverse order, when it returns or throws. True for a disc recorded and reported good; a
// recording that was not has been reported. Throws BuildFailure.
bool BuildAndRecord(DiscMasterRef& discMaster, const CdJobTiming& timing) {
    discMaster.fetchFormats();
    RecorderRef recorder;
    RecorderEnumRef recorders(discMaster);
    if (recorders.empty())
        throw BuildFailure{buildfailure::kMissingInterface};
    SelectRecorder(recorders, recorder, JobState.selectedRecorder);
    discMaster.setActiveRecorder(recorder);
    JolietRef joliet(discMaster);
    if (joliet.empty())
        throw BuildFailure{buildfailure::kMissingInterface};

    SetPhase(kPhaseFiles);
    timing.pause(timing.phasePause);
    platform::ComPtr<IStorage> files = BuildFileSet();

    SetPhase(kPhaseBoot);
    timing.pause(timing.phasePause);
    BootImageStorage boot = BuildBootImageStorage();
    const JolietPropertySets properties = SetBootProperties(joliet, boot.reader.get());

    SetPhase(kPhaseHandOver);
    if (FAILED(joliet.addData(files.get(), kReplaceFiles)))
        throw BuildFailure{buildfailure::kAddData};
    // The service holds the file set and the boot image now; the recording needs neither storage.
    boot.storage.reset();
    files.reset();

    SetPhase(kPhaseRecording);
    const HRESULT recorded = discMaster.get()->RecordDisc(kRecordForReal, kEjectAfterRecording);
    SetPhase(kPhaseClosing);
    // S_FALSE too: only a recording that reports full success is a good disc.
    if (recorded != S_OK) {
        ShowErrorBox(catalogue::kRecordError);
        return false;
    }
    return true;
}

// The job between its opening pause and its end; true for a disc recorded and reported good.
// Every failure has been reported and every reference released when it returns.
bool RunJobSteps(const CdJobTiming& timing) {
    CdBurnRef burner;
    if (!burner.hasRecordableDrive()) {
        ShowErrorBox(catalogue::kNoRecorder);
        return false;
    }
    DiscMasterRef discMaster;
    if (!discMaster.open()) {
        ShowErrorBox(catalogue::kDiscMasterError);
        return false;
    }
    // The one place a failed build step ends up; running out of memory is one too. The user is
    // told only that the build failed.
    try {
        return BuildAndRecord(discMaster, timing);
    } catch (const BuildFailure&) {
    } catch (const std::bad_alloc&) {
    }
    ShowErrorBox(catalogue::kCdBuildError);
    return false;
}

} // namespace

void RunCdBuildJob(const CdJobTiming& timing) {
    // Entered first and left last, after every reference of the job has gone.
    const platform::ComApartment apartment;
    SetPhase(kPhaseOpening);
    JobState.busy = true;
    timing.pause(timing.startPause);
    // The monitor reads failed once busy has fallen, so it is in place first.
    JobState.failed = !RunJobSteps(timing);
    JobState.busy = false;
}

void CdBuildThread(void*) {
    RunCdBuildJob(CdJobTiming{});
}
