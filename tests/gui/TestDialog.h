// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Template 101 with every control bound, and hooks in place of a product dialog's handlers.

#include "platform/fw/Button.h"
#include "platform/fw/ComboBox.h"
#include "platform/fw/Dialog.h"
#include "platform/fw/ProgressCtrl.h"
#include "platform/fw/Static.h"
#include "res/ResourceIds.h"

#include <functional>
#include <string>
#include <vector>

class TestDialog : public fw::Dialog {
public:
    TestDialog() : fw::Dialog(res::kIddMainDialog) {
        MapClick(res::kIdcExit, &TestDialog::OnExit);
        MapClick(res::kIdcCreateFloppy, &TestDialog::OnFloppy);
    }

    std::function<void(TestDialog&)> onInit;
    std::function<void(TestDialog&)> onFloppy;
    /// Every handler that ran, in order.
    std::vector<std::string> calls;
    /// When false, OnClose and OnCancel keep the window open.
    bool mayEnd = true;

    fw::Button m_grpProgress;
    fw::Static m_stcBitmap;
    fw::Static m_stcStatus;
    fw::Button m_btnExit;
    fw::Button m_btnFloppy;
    fw::ProgressCtrl m_progress;
    fw::ComboBox m_cboFloppy;
    fw::String m_strStatus;

protected:
    void DoDataExchange(fw::DataExchange& dx) override {
        fw::DDX_Control(dx, res::kIdcProgressGroup, m_grpProgress);
        fw::DDX_Control(dx, res::kIdcPicture, m_stcBitmap);
        fw::DDX_Control(dx, res::kIdcStatusText, m_stcStatus);
        fw::DDX_Control(dx, res::kIdcExit, m_btnExit);
        fw::DDX_Control(dx, res::kIdcCreateFloppy, m_btnFloppy);
        fw::DDX_Control(dx, res::kIdcProgress, m_progress);
        fw::DDX_Text(dx, res::kIdcStatusText, m_strStatus);
        fw::DDX_Control(dx, res::kIdcFloppyList, m_cboFloppy);
    }
    bool OnInitDialog() override {
        calls.push_back("init");
        const bool focus = fw::Dialog::OnInitDialog();
        if (onInit)
            onInit(*this);
        return focus;
    }
    void OnShowWindow(bool show) override { calls.push_back(show ? "show" : "hide"); }
    void OnClose() override {
        calls.push_back("close");
        if (mayEnd)
            fw::Dialog::OnClose();
    }
    void OnOK() override {
        calls.push_back("ok");
        fw::Dialog::OnOK();
    }
    void OnCancel() override {
        calls.push_back("cancel");
        if (mayEnd)
            fw::Dialog::OnCancel();
    }

private:
    void OnExit() {
        calls.push_back("exit");
        EndDialog(0);
    }
    void OnFloppy() {
        calls.push_back("floppy");
        if (onFloppy)
            onFloppy(*this);
    }
};
