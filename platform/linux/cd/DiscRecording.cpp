// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/DiscRecording.h"

#include "platform/ImageMastering.h"
#include "platform/linux/cd/BurnDrive.h"
#include "platform/linux/cd/FileDisc.h"

#include <chrono>
#include <libburn/libburn.h>
#include <optional>
#include <string>
#include <thread>

namespace platform::layer {

using namespace win;

namespace {

using DiscOwner = LibraryOwner<burn::burn_disc, burn::burn_disc_free>;
using SessionOwner = LibraryOwner<burn::burn_session, burn::burn_session_free>;
using TrackOwner = LibraryOwner<burn::burn_track, burn::burn_track_free>;
using WriteOptionsOwner = LibraryOwner<burn::burn_write_opts, burn::burn_write_opts_free>;
using SourceOwner = LibraryOwner<burn::burn_source, burn::burn_source_free>;

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

burn::burn_disc_status WaitForDiscStatus(burn::burn_drive* drive) {
    for (;;) {
        {
            const auto lock = LockBurnLibrary();
            const burn::burn_disc_status status = burn::burn_disc_get_status(drive);
            if (status != burn::BURN_DISC_UNREADY)
                return status;
        }
        std::this_thread::sleep_for(kStatusPoll);
    }
}

void WaitUntilIdle(burn::burn_drive* drive) {
    for (;;) {
        {
            const auto lock = LockBurnLibrary();
            if (burn::burn_drive_get_status(drive, nullptr) == burn::BURN_DRIVE_IDLE)
                return;
        }
        std::this_thread::sleep_for(kStatusPoll);
    }
}

HRESULT CheckBlankDisc(burn::burn_drive* drive) {
    switch (WaitForDiscStatus(drive)) {
    case burn::BURN_DISC_BLANK:
        return S_OK;
    case burn::BURN_DISC_EMPTY:
        return IMAPI_E_MEDIUM_NOTPRESENT;
    default:
        return IMAPI_E_MEDIUM_INVALIDTYPE;
    }
}

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
};

// Starts libburn's write of the laid out disc; the drive is busy afterwards until the write
// ends, and the layout must stay until then.
HRESULT StartWrite(burn::burn_drive* drive, const DiscLayout& layout, off_t imageSize,
                   bool simulate) {
    const WriteOptionsOwner options(burn::burn_write_opts_new(drive));
    if (!options)
        return E_OUTOFMEMORY;
    burn::burn_write_opts_set_simulate(options.get(), simulate ? kOn : kOff);
    burn::burn_write_opts_set_underrun_proof(options.get(), kOn);
    burn::burn_write_opts_set_multi(options.get(), kOff);
    char reasons[BURN_REASONS_LEN] = {};
    if (burn::burn_write_opts_auto_write_type(options.get(), layout.disc.get(), reasons,
                                              kRecordReasons) == burn::BURN_WRITE_NONE ||
        burn::burn_precheck_write(options.get(), layout.disc.get(), reasons, kSilentCheck) <= 0)
        return IMAPI_E_MEDIUM_INVALIDTYPE;
    if (burn::burn_disc_available_space(drive, options.get()) < imageSize)
        return IMAPI_E_DISCFULL;
    burn::burn_disc_write(options.get(), layout.disc.get());
    return S_OK;
}

// Generates the image and writes it onto the grabbed drive's blank disc; *imageSize = the
// bytes of the image.
HRESULT WriteImage(const GrabbedDrive& drive, JolietImage& image, bool simulate, off_t* imageSize) {
    const HRESULT blank = CheckBlankDisc(drive.drive());
    if (FAILED(blank))
        return blank;
    const bool optical = drive.role() != kFileDriveRole;
    std::optional<ImageSource> generated =
        image.generate(optical ? kOpticalTailBlocks : kFileTailBlocks);
    if (!generated)
        return IMAPI_E_FILESYSTEM;
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
    const HRESULT started = StartWrite(drive.drive(), layout, *imageSize, simulate);
    if (FAILED(started))
        return started;
    lock.unlock();
    WaitUntilIdle(drive.drive());
    lock.lock();
    return burn::burn_drive_wrote_well(drive.drive()) > 0 ? S_OK : IMAPI_E_GENERIC;
}

} // namespace

HRESULT RecordImage(const RecorderEntry& recorder, JolietImage& image,
                    const RecordingRequest& request, const std::atomic<bool>& readFailed) {
    std::optional<FileDisc> file;
    if (std::optional<std::string> path = FileDrivePath(recorder.burnAddress)) {
        file.emplace(std::move(*path), request.simulate);
        if (!file->prepare())
            return IMAPI_E_DEVICE_NOTACCESSIBLE;
    }
    GrabbedDrive drive = GrabbedDrive::grab(recorder.burnAddress);
    if (!drive)
        return IMAPI_E_DEVICE_NOTACCESSIBLE;
    off_t imageSize = 0;
    HRESULT result = WriteImage(drive, image, request.simulate, &imageSize);
    drive.release(request.eject);
    if (SUCCEEDED(result) && readFailed)
        result = IMAPI_E_FILEACCESS;
    if (SUCCEEDED(result) && file && !request.simulate && !file->holds(imageSize))
        result = IMAPI_E_GENERIC;
    if (SUCCEEDED(result) && file && !request.simulate)
        file->keep();
    return result;
}

} // namespace platform::layer
