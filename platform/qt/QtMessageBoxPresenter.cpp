// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/qt/QtMessageBoxPresenter.h"

#include "platform/qt/AnsiText.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtDialogWindow.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>

namespace fw::qt {
using namespace win;

namespace {

/// The answer to a box, given once: by a button, by Escape or the close button, or as
/// dismissed when the box goes away unanswered.
class Answer {
public:
    explicit Answer(int dismissed) : value_(dismissed) {}

    void give(int value) {
        std::lock_guard lock(mutex_);
        if (given_)
            return;
        value_ = value;
        given_ = true;
        ready_.notify_all();
    }
    int wait() {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return given_; });
        return value_;
    }
    bool given() {
        std::lock_guard lock(mutex_);
        return given_;
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    int value_;
    bool given_ = false;
};

bool IsQuestion(UINT type) {
    return (type & MB_TYPEMASK) == MB_OKCANCEL;
}

int DismissedAnswer(UINT type) {
    return IsQuestion(type) ? IDCANCEL : IDOK;
}

QMessageBox::Icon BoxIcon(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

struct BoxRequest {
    HWND owner;
    const char* text;
    const char* caption;
    UINT type;
};

// Opens the box on the UI thread and returns at once; answer receives the outcome.
void OpenBox(QtBackend& backend, const BoxRequest& request, std::shared_ptr<Answer> answer) {
    QtDialogWindow* owner = backend.findWindow(request.owner);
    // The owner (a Qt parent) deletes the box with itself; otherwise the box deletes itself.
    auto* box = new QMessageBox(owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::NonModal);
    box->setFont(backend.boxFont(owner));
    box->setTextFormat(Qt::PlainText); // container text is never markup
    box->setText(FromAnsi(request.text));
    box->setWindowTitle(LiteralTitle(FromAnsi(request.caption)));
    box->setIcon(BoxIcon(request.type));
    if (IsQuestion(request.type)) {
        box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box->setEscapeButton(QMessageBox::Cancel);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
        box->setEscapeButton(QMessageBox::Ok);
    }
    box->setDefaultButton(QMessageBox::Ok);
    // No button clicked: the box was closed by the program, or is going with its owner.
    const int dismissed = DismissedAnswer(request.type);
    QObject::connect(box, &QMessageBox::finished, box, [box, answer, dismissed] {
        QAbstractButton* clicked = box->clickedButton();
        if (clicked == nullptr)
            answer->give(dismissed);
        else
            answer->give(box->standardButton(clicked) == QMessageBox::Cancel ? IDCANCEL : IDOK);
    });
    QObject::connect(box, &QObject::destroyed, [answer, dismissed] { answer->give(dismissed); });
    // Shown on top and active, as Windows shows a box of the foreground program; one with an
    // owner also takes activation back whenever its owner is activated (QtDialogWindow).
    box->show();
    box->raise();
    box->activateWindow();
}

int Unshown(const BoxRequest& request) {
    std::fprintf(stderr, "[%s] %s\n", request.caption, request.text);
    return DismissedAnswer(request.type);
}

} // namespace

int QtMessageBoxPresenter::show(HWND owner, const char* text, const char* caption, UINT type) {
    const BoxRequest request{owner, text, caption, type};
    auto answer = std::make_shared<Answer>(DismissedAnswer(type));
    bool shown = false;
    const auto open = [&] {
        shown = backend_.ensureApplication() != nullptr;
        if (shown)
            OpenBox(backend_, request, answer);
    };
    if (backend_.isUiThread()) {
        open();
        // The answer is given while an event of the box is handled, so serving events until then
        // keeps every window of the program alive meanwhile.
        while (shown && !answer->given())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    } else if (!backend_.callOnUiThread(open)) {
        shown = false;
    }
    return shown ? answer->wait() : Unshown(request);
}

} // namespace fw::qt
