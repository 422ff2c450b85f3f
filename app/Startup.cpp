// SPDX-License-Identifier: GPL-2.0-or-later
// What the dialog prepares before it shows itself: the container, the boot image's check, the
// floppy drives and recorders, the first status line.
#include "app/BootMediaDlg.h"
#include "app/ContainerTexts.h"
#include "app/JobState.h"
#include "app/PlatformProfile.h"
#include "platform/MessageBox.h"
#include "platform/fw/Application.h"
#include "resfile/Format.h"
#include "resfile/ResourceFile.h"

#include <cstdlib>

using namespace win;

namespace {
// The only message texts the program carries itself: without the container it has no others.
constexpr const char* kNoContainerText = "Could not load Image and Resource file.";
constexpr const char* kNoContainerCaption = "Error";
} // namespace

int CBootMediaDlg::DoModal() {
    JobState.resourceFile = OpenResourceFile(kContainerFileName, true);
    if (GetResourceError() != kResourceOk) {
        MessageBoxA(nullptr, kNoContainerText, kNoContainerCaption, MB_OK);
        fw::Exit(EXIT_SUCCESS);
    }

    std::uint32_t imageSize = 0;
    JobState.bootImageOffset = static_cast<std::int32_t>(
        GetResourceLocation(JobState.resourceFile, catalogue::kBootImage, &imageSize));
    // A missing entry counts as an image of the wrong size; its error is read here, so that it
    // does not blank the next text.
    if (GetResourceError() != kResourceOk)
        imageSize = 0;

    m_strStatus = ContainerString(catalogue::kOpenedStatus);
    m_bootImageFits = imageSize == catalogue::kBootImageBytes;
    if (!m_bootImageFits) {
        m_strStatus =
            format::FormatResource(catalogue::kInvalidImageStatusFormat,
                                   ContainerText(catalogue::kInvalidImageStatusFormat).get(),
                                   {format::Arg::string(kContainerFileName)});
        JobState.imageValid = false;
    }

    if (JobState.imageValid) {
        m_floppyCount = m_floppyWriter.DetectFloppyDrives(true, 0);
        if (PlatformProfile.cdCapable && m_recorderCount == 0)
            m_recorderCount = m_recorders.EnumerateRecorders();
        else
            m_recorderCount = 0;

        if (m_floppyCount + m_recorderCount > 0) {
            m_strStatus = IdleStatusLine();
        } else {
            m_strStatus = ContainerString(catalogue::kNoDeviceStatus);
            JobState.imageValid = false;
        }
    }
    return fw::Dialog::DoModal();
}
