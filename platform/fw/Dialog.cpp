// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/fw/Dialog.h"

#include "platform/MessageBox.h"

#include <algorithm>

namespace fw {
using namespace win;

Dialog::~Dialog() = default;

int Dialog::DoModal() {
    Backend* backend = GetBackend();
    if (backend == nullptr || !backend->isUiThread() || peer_ != nullptr)
        return kDialogFailed;
    std::unique_ptr<DialogPeer> peer = backend->createDialog(templateId_, *this);
    if (peer == nullptr)
        return kDialogFailed;
    ++run_;
    peer_ = std::move(peer);
    const int result = peer_->runModal();
    peer_.reset();
    return result;
}

void Dialog::EndDialog(int result) {
    CallOnUiThread([&] {
        if (peer_ != nullptr)
            peer_->end(result);
    });
}

bool Dialog::UpdateData(bool saveAndValidate) {
    bool succeeded = false;
    CallOnUiThread([&] {
        DataExchange dx(*this, saveAndValidate);
        DoDataExchange(dx);
        succeeded = !dx.Failed();
    });
    return succeeded;
}

win::HWND Dialog::GetHwnd() const {
    win::HWND handle = nullptr;
    CallOnUiThread([&] {
        if (peer_ != nullptr)
            handle = peer_->handle();
    });
    return handle;
}

WindowPeer* Dialog::FindControlPeer(int id) const {
    return peer_ != nullptr ? peer_->control(id) : nullptr;
}

WindowPeer* Dialog::FindPeer() const {
    return peer_.get();
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::DoDataExchange(DataExchange&) {
}

void Dialog::OnShowWindow(bool) {
}

void Dialog::OnClose() {
    EndDialog(IDCANCEL);
}

void Dialog::OnOK() {
    if (UpdateData(true))
        EndDialog(IDOK);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void Dialog::MapHandler(int id, Handler handler) {
    auto entry = std::find_if(clicks_.begin(), clicks_.end(),
                              [id](const ClickEntry& click) { return click.id == id; });
    if (entry != clicks_.end())
        entry->handler = handler;
    else
        clicks_.push_back({id, handler});
}

bool Dialog::initDialog() {
    return OnInitDialog();
}

void Dialog::showWindow(bool shown) {
    OnShowWindow(shown);
}

void Dialog::clicked(int controlId) {
    for (const ClickEntry& click : clicks_) {
        if (click.id == controlId) {
            (this->*click.handler)();
            return;
        }
    }
}

void Dialog::closeRequested() {
    OnClose();
}

void Dialog::okKey() {
    OnOK();
}

void Dialog::cancelKey() {
    OnCancel();
}

} // namespace fw
