// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/BootMediaDlg.h"

#include "app/ContainerTexts.h"
#include "app/JobState.h"
#include "app/PlatformProfile.h"
#include "floppy/FloppyDevice.h"
#include "platform/Com.h"
#include "platform/Files.h"
#include "res/ResourceIds.h"
#include "resfile/Catalogue.h"
#include "resfile/Format.h"
#include "resfile/ResourceFile.h"

using namespace win;

CBootMediaDlg::CBootMediaDlg() : fw::Dialog(res::kIddMainDialog) {
    MapClick(res::kIdcCreateFloppy, &CBootMediaDlg::OnCreateFloppy);
    MapClick(res::kIdcExit, &CBootMediaDlg::OnExit);
    MapClick(res::kIdcCreateCd, &CBootMediaDlg::OnCreateCd);
    // The dialog thread's apartment lasts for the whole run.
    CoInitialize(nullptr);
    DetectPlatformProfile();
}

void CBootMediaDlg::EnableCd(bool enable) {
    m_recorderCount = enable ? 0 : -1;
}

void CBootMediaDlg::DoDataExchange(fw::DataExchange& dx) {
    fw::Dialog::DoDataExchange(dx);
    fw::DDX_Control(dx, res::kIdcProgressGroup, m_grpProgress);
    fw::DDX_Control(dx, res::kIdcStatusGroup, m_grpStatus);
    fw::DDX_Control(dx, res::kIdcPicture, m_stcBitmap);
    fw::DDX_Control(dx, res::kIdcStatusText, m_stcStatus);
    fw::DDX_Control(dx, res::kIdcExit, m_btnExit);
    fw::DDX_Control(dx, res::kIdcCreateFloppy, m_btnFloppy);
    fw::DDX_Control(dx, res::kIdcProgress, m_progress);
    fw::DDX_Text(dx, res::kIdcStatusText, m_strStatus);
    fw::DDX_Control(dx, res::kIdcCreateCd, m_btnCd);
    fw::DDX_Control(dx, res::kIdcFloppyList, m_cboFloppy);
    fw::DDX_Control(dx, res::kIdcRecorderList, m_cboRecorder);
    fw::DDX_Control(dx, res::kIdcFloppyGroup, m_grpFloppy);
    fw::DDX_Control(dx, res::kIdcCdGroup, m_grpCd);
}

bool CBootMediaDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();

    m_stcBitmap.SetBitmap(
        fw::BitmapHandle(LoadResourceBitmap(JobState.resourceFile, catalogue::kPicture)));
    SetWindowText(ContainerText(catalogue::kDialogTitle).get());
    m_grpProgress.SetWindowText(ContainerText(catalogue::kProgressGroupLabel).get());
    m_grpStatus.SetWindowText(ContainerText(catalogue::kStatusGroupLabel).get());
    m_btnFloppy.SetWindowText(ContainerText(catalogue::kFloppyButtonLabel).get());
    m_btnExit.SetWindowText(ContainerText(catalogue::kExitLabel).get());
    m_grpFloppy.SetWindowText(ContainerText(catalogue::kFloppyGroupLabel).get());
    m_grpCd.SetWindowText(ContainerText(catalogue::kCdGroupLabel).get());
    m_btnCd.SetWindowText(ContainerText(catalogue::kCdButtonLabel).get());

    const ResourceText entryFormat = ContainerText(catalogue::kDriveEntryFormat);
    FillFloppyList(entryFormat.get());
    FillRecorderList(entryFormat.get());
    return true;
}

// Entry k names the k-th drive that discovery found, so the entry chosen is the drive written.
void CBootMediaDlg::FillFloppyList(const char* entryFormat) {
    for (std::int32_t i = 0; i < m_floppyCount; ++i)
        m_cboFloppy.AddString(
            format::FormatDriveEntry(entryFormat, DriveLetter(FoundFloppyDrive(i))).c_str());
    if (m_floppyCount == 0) {
        m_cboFloppy.AddString(ContainerText(catalogue::kNoFloppyDrive).get());
        m_cboFloppy.EnableWindow(false);
        m_btnFloppy.EnableWindow(false);
    }
    m_cboFloppy.SetCurSel(0);
    JobState.floppyCount = m_floppyCount;
}

void CBootMediaDlg::FillRecorderList(const char* entryFormat) {
    if (m_recorderCount == 0) {
        m_cboRecorder.AddString(ContainerText(PlatformProfile.cdCapable ? catalogue::kNoRecorder
                                                                        : catalogue::kNoCdSupport)
                                    .get());
        m_cboRecorder.EnableWindow(false);
        m_btnCd.EnableWindow(false);
    }
    JobState.recorderCount = m_recorderCount;
    for (std::int32_t i = 0; i < m_recorderCount; ++i)
        m_cboRecorder.AddString(
            format::FormatDriveEntry(entryFormat, m_recorders.letterAt(i)).c_str());
    m_cboRecorder.SetCurSel(0);
}

void CBootMediaDlg::OnShowWindow(bool show) {
    if (!JobState.imageValid)
        m_btnFloppy.EnableWindow(false);
    fw::Dialog::OnShowWindow(show);
}

void CBootMediaDlg::OnExit() {
    if (JobState.busy) {
        JobState.cancelRequested = true;
        return;
    }
    m_strStatus = ContainerString(catalogue::kExitStatus);
    m_stcStatus.SetWindowText(m_strStatus.c_str());
    // Never opened on the NT family: that close fails, harmlessly.
    CloseHandle(FloppyDevice.vwin32Handle);
    CloseResourceFile(JobState.resourceFile);
    EndDialog(0);
}

// Early in a floppy job the window stays and the job's monitor ends the process once the third
// cylinder is on the disk; a CD job's progress stays 0, so there the request is only recorded.
void CBootMediaDlg::OnClose() {
    if (JobState.busy && JobState.progress <= 1) {
        JobState.closeRequested = true;
        return;
    }
    fw::Dialog::OnClose();
}

void CBootMediaDlg::OnOK() {
    if (!JobState.busy)
        fw::Dialog::OnOK();
}

void CBootMediaDlg::OnCancel() {
    if (!JobState.busy)
        fw::Dialog::OnCancel();
}
