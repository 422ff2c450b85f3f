// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program's only window: the picture, the progress bar and status line, the floppy list with
// Create Floppy, the recorder list with Create CD-ROM, and Exit. It shows what start-up found and
// starts the two jobs; a running job reaches it only through JobState and its controls.

#include "cd/RecorderList.h"
#include "floppy/FloppyWriter.h"
#include "platform/fw/Button.h"
#include "platform/fw/ComboBox.h"
#include "platform/fw/Dialog.h"
#include "platform/fw/ProgressCtrl.h"
#include "platform/fw/Static.h"

#include <cstdint>

/// The container, opened from the current directory.
inline constexpr const char* kContainerFileName = "install.dat";

class CBootMediaDlg : public fw::Dialog {
public:
    /// Fills PlatformProfile (an unknown platform ends the process) and enters COM on the
    /// dialog thread.
    CBootMediaDlg();

    /// false: the command line switched CD support off.
    void EnableCd(bool enable);

    /// Opens the container, validates the boot image, finds the floppy drives and recorders and
    /// composes the status line, then runs the dialog. A container that cannot be opened ends the
    /// process with exit code 0 after the one message the program carries itself.
    int DoModal() override;

    /// What start-up found, for whoever works the dialog without looking at it: the recorders,
    /// position i behind entry i of the recorder list (the floppy list's drives are in
    /// FloppyDevice), and whether the container's boot image has a floppy's size, so that drives
    /// were looked for at all.
    const RecorderList& Recorders() const { return m_recorders; }
    bool BootImageFits() const { return m_bootImageFits; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void OnShowWindow(bool show) override;
    void OnClose() override;
    /// Enter and Escape end the dialog only while no job runs: one key press must not abandon a
    /// floppy or disc half written.
    void OnOK() override;
    void OnCancel() override;

private:
    void OnExit();
    void OnCreateFloppy();
    void OnCreateCd();

    void FillFloppyList(const char* entryFormat);
    void FillRecorderList(const char* entryFormat);

    fw::Button m_grpProgress;
    fw::Button m_grpStatus;
    fw::Static m_stcBitmap;
    fw::Static m_stcStatus;
    fw::Button m_btnExit;
    fw::Button m_btnFloppy;
    fw::Button m_btnCd;
    fw::ProgressCtrl m_progress;
    fw::String m_strStatus;
    fw::ComboBox m_cboFloppy;
    fw::ComboBox m_cboRecorder;
    fw::Static m_grpFloppy;
    fw::Static m_grpCd;
    std::int32_t m_floppyCount = 0;
    /// -1 after "nocd" until start-up has run.
    std::int32_t m_recorderCount = 0;
    RecorderList m_recorders;
    FloppyWriter m_floppyWriter;
    bool m_bootImageFits = false;
};
