// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/DiscRecording.h"

#include "platform/ImageMastering.h"
#include "platform/linux/EndingSignals.h"
#include "platform/linux/Log.h"
#include "platform/linux/cd/BurnDrive.h"
#include "platform/linux/cd/BurnSignals.h"
#include "platform/linux/cd/FileDisc.h"
#include "platform/linux/cd/LibraryMessages.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <libburn/libburn.h>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace platform::layer {

using namespace win;

namespace {

using DiscOwner = LibraryOwner<burn::burn_disc, burn::burn_disc_free>;
using SessionOwner = LibraryOwner<burn::burn_session, burn::burn_session_free>;
using TrackOwner = LibraryOwner<burn::burn_track, burn::burn_track_free>;
using WriteOptionsOwner = LibraryOwner<burn::burn_write_opts, burn::burn_write_opts_free>;
using SourceOwner = LibraryOwner<burn::burn_source, burn::burn_source_free>;
using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kStatusPoll{10};
// Optical drives read ahead past the last block of a track; Linux then reports read errors
// at the end of the last file unless the image ends in blank blocks.
constexpr uint32_t kOpticalTailBlocks = 150;
constexpr uint32_t kFileTailBlocks = 0;
// An optical drive wants a steady stream: a 4 MiB FIFO of 2048-byte chunks (libisofs's block)
// between libisofs and the drive. A file recorder goes without: the FIFO only slows it down.
constexpr int kFifoChunkBytes = 2048;
constexpr int kFifoChunks = 2048;
constexpr int kFifoReadsBlocks = 0;
constexpr int kNoTrackOffset = 0;
constexpr int kNoTrackTail = 0;
constexpr int kPadShortSource = 1;
constexpr int kOn = 1;
constexpr int kOff = 0;
constexpr int kRecordReasons = 0;
constexpr int kSilentCheck = 1;

// A signal's wait for the recording to stop outlasts the drive's time to end a cancelled write.
static_assert(kDeferredStopWait > DriveLimits{}.cancel + std::chrono::seconds(1));

// The recording of one recorder, with what it writes onto, for its log lines.
class Recording {
public:
    explicit Recording(std::string target) : target_(std::move(target)) {}

    /// Logs why the recording fails, after the libraries' own messages, and returns code.
    HRESULT fail(HRESULT code, std::string_view why) const {
        LogLibraryMessages();
        note("failed: " + std::string(why));
        return code;
    }

    /// Logs what happens to the recording.
    void note(std::string_view what) const {
        LogLine("Recording onto " + target_ + " " + std::string(what));
    }

private:
    std::string target_;
};

// The disc libburn writes: one session of one data track that reads the source.
struct DiscLayout {
    DiscOwner disc{burn::burn_disc_create()};
    SessionOwner session{burn::burn_session_create()};
    TrackOwner track{burn::burn_track_create()};

    bool assemble(burn::burn_source* source) {
        if (!disc || !session || !track)
            return false;
        burn::burn_track_define_data(track.get(), kNoTrackOffset, kNoTrackTail, kPadShortSource,
                                     BURN_MODE1);
        return burn::burn_track_set_source(track.get(), source) == burn::BURN_SOURCE_OK &&
               burn::burn_session_add_track(session.get(), track.get(), BURN_POS_END) > 0 &&
               burn::burn_disc_add_session(disc.get(), session.get(), BURN_POS_END) > 0;
    }

    // Lets go of the objects without freeing them: a drive that did not stop may still read them.
    void abandon() {
        static_cast<void>(disc.release());
        static_cast<void>(session.release());
        static_cast<void>(track.release());
    }
};

// Starts libburn's write of the laid out disc; the drive is busy afterwards until the write
// ends, and the layout must stay until then. Under the libburn lock; *why = the reason of a
// failure, to be logged once the lock is given up.
HRESULT StartWrite(burn::burn_drive* drive, const DiscLayout& layout, off_t imageSize,
                   bool simulate, std::string* why) {
    const WriteOptionsOwner options(burn::burn_write_opts_new(drive));
    if (!options)
        return E_OUTOFMEMORY;
    burn::burn_write_opts_set_simulate(options.get(), simulate ? kOn : kOff);
    burn::burn_write_opts_set_underrun_proof(options.get(), kOn);
    burn::burn_write_opts_set_multi(options.get(), kOff);
    char reasons[BURN_REASONS_LEN] = {};
    if (burn::burn_write_opts_auto_write_type(options.get(), layout.disc.get(), reasons,
                                              kRecordReasons) == burn::BURN_WRITE_NONE ||
        burn::burn_precheck_write(options.get(), layout.disc.get(), reasons, kSilentCheck) <= 0) {
        *why = std::string("libburn finds no way to write the disc: ") + reasons;
        return IMAPI_E_MEDIUM_INVALIDTYPE;
    }
    const off_t space = burn::burn_disc_available_space(drive, options.get());
    if (space < imageSize) {
        *why = "the image of " + std::to_string(imageSize) + " bytes does not fit into the " +
               std::to_string(space) + " bytes free";
        return IMAPI_E_DISCFULL;
    }
    burn::burn_disc_write(options.get(), layout.disc.get());
    return S_OK;
}

enum class WriteEnd {
    Finished,
    Cancelled,
    // Cancelled, and still busy when the limit ran out: libburn may still use what the write
    // was given.
    Stuck,
};

// Waits for the drive to end its write. A write that shows no progress for the drive's stall
// limit is cancelled, and one that an ending signal stops is aborted; either is then given the
// cancel limit to end.
WriteEnd AwaitWrite(const Recording& recording, GrabbedDrive& drive) {
    const DriveLimits& limits = drive.limits();
    WriteProgress last = drive.progress();
    Clock::time_point lastChange = Clock::now();
    std::optional<Clock::time_point> cancelledAt;
    for (;;) {
        const WriteProgress now = drive.progress();
        if (now.idle)
            return cancelledAt ? WriteEnd::Cancelled : WriteEnd::Finished;
        const Clock::time_point time = Clock::now();
        if (now != last) {
            last = now;
            lastChange = time;
        }
        if (cancelledAt && time - *cancelledAt >= limits.cancel)
            return WriteEnd::Stuck;
        if (!cancelledAt && SignalDeferral::stopRequested()) {
            drive.abort();
            cancelledAt = time;
        } else if (!cancelledAt && time - lastChange >= limits.stall) {
            recording.note("stalled: the drive showed no progress for " +
                           std::to_string(limits.stall.count()) + " ms; the write is cancelled");
            drive.cancel();
            cancelledAt = time;
        }
        std::this_thread::sleep_for(kStatusPoll);
    }
}

// Generates the image and writes it onto the grabbed drive's blank disc; *imageSize = the
// bytes of the image.
HRESULT WriteImage(const Recording& recording, GrabbedDrive& drive, JolietImage& image,
                   bool simulate, off_t* imageSize) {
    const MediumVerdict verdict = JudgeMedium(drive.medium());
    if (FAILED(verdict.result))
        return recording.fail(verdict.result, verdict.reason);
    if (SignalDeferral::stopRequested())
        return recording.fail(IMAPI_E_GENERIC, "a signal ends the program");
    const bool optical = drive.role() != kFileDriveRole;
    std::optional<ImageSource> generated =
        image.generate(optical ? kOpticalTailBlocks : kFileTailBlocks);
    if (!generated)
        return recording.fail(IMAPI_E_FILESYSTEM, "libisofs cannot generate the image");
    *imageSize = generated->size();
    auto lock = LockBurnLibrary();
    SourceOwner fifo;
    if (optical) {
        fifo.reset(burn::burn_fifo_source_new(generated->get(), kFifoChunkBytes, kFifoChunks,
                                              kFifoReadsBlocks));
        if (!fifo)
            return E_OUTOFMEMORY;
    }
    DiscLayout layout;
    if (!layout.assemble(optical ? fifo.get() : generated->get()))
        return E_OUTOFMEMORY;
    std::string why = "libburn cannot start the write";
    const HRESULT started = StartWrite(drive.drive(), layout, *imageSize, simulate, &why);
    lock.unlock();
    if (FAILED(started))
        return recording.fail(started, why);
    switch (AwaitWrite(recording, drive)) {
    case WriteEnd::Finished:
        break;
    case WriteEnd::Cancelled:
        return recording.fail(IMAPI_E_GENERIC, "the write was cancelled");
    case WriteEnd::Stuck:
        drive.abandon();
        layout.abandon();
        static_cast<void>(fifo.release());
        static_cast<void>(generated->release());
        return recording.fail(IMAPI_E_GENERIC, "the drive did not end its cancelled write");
    }
    if (!drive.wroteWell())
        return recording.fail(IMAPI_E_GENERIC, "libburn reports that the write failed");
    return S_OK;
}

} // namespace

HRESULT RecordImage(const RecorderEntry& recorder, JolietImage& image,
                    const RecordingRequest& request, const std::atomic<bool>& readFailed) {
    // First made and last gone: a signal that arrived meanwhile ends the process once the
    // drive is released and the temporary file removed.
    const SignalDeferral deferral;
    const ScopedBurnSignalHandling signals;
    const std::optional<std::string> isoPath = FileDrivePath(recorder.burnAddress);
    const Recording recording(isoPath.value_or(recorder.burnAddress));
    std::optional<FileDisc> file = isoPath ? FileDisc::Create(*isoPath) : std::nullopt;
    if (isoPath && !file)
        return recording.fail(IMAPI_E_DEVICE_NOTACCESSIBLE,
                              std::string("no file can be created beside it: ") +
                                  std::strerror(errno));
    GrabbedDrive drive =
        GrabbedDrive::grab(file ? FileDriveAddress(file->temporaryPath()) : recorder.burnAddress);
    if (!drive)
        return recording.fail(IMAPI_E_DEVICE_NOTACCESSIBLE, "libburn cannot use the drive");
    off_t imageSize = 0;
    HRESULT result = WriteImage(recording, drive, image, request.simulate, &imageSize);
    drive.release(request.eject);
    if (SUCCEEDED(result) && readFailed)
        result = recording.fail(IMAPI_E_FILEACCESS, "a file of the disc could not be read");
    if (SUCCEEDED(result) && file && !request.simulate && !file->commit(imageSize))
        result = recording.fail(IMAPI_E_GENERIC,
                                "the recorded file cannot take the place of " + *isoPath);
    LogLibraryMessages();
    return result;
}

} // namespace platform::layer
