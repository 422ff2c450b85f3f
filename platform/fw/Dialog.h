// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A modal dialog built from a template. A subclass binds its control members in
// DoDataExchange, maps button clicks to its handlers in its constructor (MapClick), and
// overrides the handlers it needs:
//
//     class CMyDlg : public fw::Dialog {
//     public:
//         CMyDlg() : fw::Dialog(kIddMy) { MapClick(kIdcGo, &CMyDlg::OnGo); }
//     protected:
//         void DoDataExchange(fw::DataExchange& dx) override {
//             fw::DDX_Control(dx, kIdcGo, m_btnGo);
//             fw::DDX_Text(dx, kIdcStatus, m_strStatus);
//         }
//     private:
//         void OnGo();
//         fw::Button m_btnGo;
//         fw::String m_strStatus;
//     };
//
// Handlers run on the UI thread, the thread that runs DoModal.

#include "platform/fw/Backend.h"
#include "platform/fw/DataExchange.h"
#include "platform/fw/Window.h"

#include <memory>
#include <vector>

namespace fw {

/// What DoModal returns when the dialog could not be shown.
inline constexpr int kDialogFailed = -1;

class Dialog : public Window, private DialogEvents {
public:
    explicit Dialog(int templateId) : templateId_(templateId) {}
    ~Dialog() override;

    /// Builds the window, runs it until EndDialog and returns EndDialog's result. Must be called
    /// on the UI thread (with the Qt backend: the thread that made the backend). kDialogFailed
    /// when there is no backend, no template of this identifier, the dialog is already running,
    /// or the call comes from another thread.
    virtual int DoModal();

    /// Ends the running dialog with result (DoModal returns it). Any thread; ignored while the
    /// dialog is not running, and once it has been ended (the first result stands).
    void EndDialog(int result);

    /// Runs DoDataExchange on the UI thread; saveAndValidate true: controls to members. False
    /// when a binding failed.
    bool UpdateData(bool saveAndValidate = true);

    /// The window's handle (the owner for MessageBoxA); null while the dialog is not running.
    /// Any thread. A handle kept past the dialog's end names no window.
    win::HWND GetHwnd() const;

    int GetTemplateId() const { return templateId_; }

    /// The control id of the running window, or null. UI thread only.
    WindowPeer* FindControlPeer(int id) const;
    /// Counts the runs of the dialog: a control bound in an earlier run is bound afresh. UI
    /// thread only.
    unsigned CurrentRun() const { return run_; }

protected:
    /// Framework's initialisation: UpdateData(false). Returns true: focus goes to the first
    /// enabled tab-stop control. An override calls this first.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange& dx);
    /// The window is about to be shown. Default: nothing.
    virtual void OnShowWindow(bool show);
    /// The close button. Default: ends the dialog with IDCANCEL directly, not through OnCancel,
    /// so a guard on the keys does not hold the close button.
    virtual void OnClose();
    /// Enter. Default: UpdateData(true), and when it succeeds EndDialog(IDOK).
    virtual void OnOK();
    /// Escape. Default: EndDialog(IDCANCEL).
    virtual void OnCancel();

    /// Adds to the message map: a click on button id calls handler. Called from the
    /// constructor of D, a class derived from Dialog; a later entry for the same id replaces an
    /// earlier one.
    template <typename D> void MapClick(int id, void (D::*handler)()) {
        MapHandler(id, static_cast<Handler>(handler));
    }

    WindowPeer* FindPeer() const override;

private:
    using Handler = void (Dialog::*)();
    struct ClickEntry {
        int id;
        Handler handler;
    };

    void MapHandler(int id, Handler handler);

    // DialogEvents, on the UI thread.
    bool initDialog() override;
    void showWindow(bool shown) override;
    void clicked(int controlId) override;
    void closeRequested() override;
    void okKey() override;
    void cancelKey() override;

    const int templateId_;
    std::vector<ClickEntry> clicks_;
    std::unique_ptr<DialogPeer> peer_; // UI thread only
    unsigned run_ = 0;                 // UI thread only
};

} // namespace fw
