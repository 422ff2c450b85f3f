// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/terminal/TerminalBackend.h"

#include "platform/terminal/TerminalDialog.h"

#include <algorithm>
#include <array>
#include <clocale>
#include <cstdio>
#include <curses.h>
#include <poll.h>

namespace fw::term {
using namespace win;

namespace {
// A resize reaches curses as a signal that may land on any thread; the loop looks at least this
// often.
constexpr int kLoopWaitMs = 100;
constexpr int kEscape = 27;

int Unshown(const BoxRequest& request) {
    std::fprintf(stderr, "[%s] %s\n", request.caption.c_str(), request.text.c_str());
    return DismissedAnswer(request.type);
}

} // namespace

TerminalBackend::TerminalBackend(ProgramResources resources)
    : resources_(std::move(resources)), uiThread_(std::this_thread::get_id()) {
    // Texts and line drawing follow the user's locale; only the character type is taken, so
    // that number formats stay the C runtime's.
    std::setlocale(LC_CTYPE, "");
    buttonLabels_ = UserButtonLabels();
    replacedBackend_ = SetBackend(this);
    replacedPresenter_ = platform::SetMessageBoxPresenter(this);
}

TerminalBackend::~TerminalBackend() {
    shutDown();
}

void TerminalBackend::shutDown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    platform::SetMessageBoxPresenter(replacedPresenter_);
    SetBackend(replacedBackend_);
    calls_.close();
    boxes_.clear(); // each answers as dismissed
    session_.close();
}

bool TerminalBackend::isUiThread() const {
    return std::this_thread::get_id() == uiThread_;
}

bool TerminalBackend::callOnUiThread(const std::function<void()>& work) {
    if (isUiThread()) {
        work();
        return true;
    }
    return calls_.call(work);
}

std::unique_ptr<DialogPeer> TerminalBackend::createDialog(int templateId, DialogEvents& events) {
    auto found = std::find_if(resources_.dialogs.begin(), resources_.dialogs.end(),
                              [templateId](const DialogTemplate* dialog) {
                                  return dialog != nullptr && dialog->id == templateId;
                              });
    if (found == resources_.dialogs.end() || shutDown_ || !session_.open())
        return nullptr;
    auto dialog = std::make_unique<TerminalDialog>(**found, events, *this);
    dialogs_.push_back(dialog.get());
    invalidate();
    return dialog;
}

void TerminalBackend::forget(TerminalDialog& dialog) {
    dialogs_.erase(std::remove(dialogs_.begin(), dialogs_.end(), &dialog), dialogs_.end());
    const HWND handle = dialog.handle();
    std::erase_if(boxes_, [handle](const std::unique_ptr<MessageBoxView>& box) {
        return box->owner() == handle;
    });
    invalidate();
}

void TerminalBackend::runUntil(const std::function<bool()>& done) {
    while (!shutDown_ && !done()) {
        calls_.runPending();
        if (shutDown_ || done())
            break;
        readKeys();
        if (shutDown_ || done())
            break;
        dropAnsweredBoxes();
        paint();
        wait();
    }
    if (!shutDown_)
        paint();
}

void TerminalBackend::readKeys() {
    for (int code = getch(); code != ERR; code = getch()) {
        if (code == KEY_RESIZE) {
            invalidate();
            continue;
        }
        Key key{code, false};
        // Alt comes as Escape followed at once by the key.
        if (code == kEscape) {
            const int next = getch();
            if (next != ERR)
                key = Key{next, true};
        }
        invalidate();
        if (!boxes_.empty()) {
            boxes_.back()->key(key);
            return;
        }
        auto shown = std::find_if(dialogs_.rbegin(), dialogs_.rend(),
                                  [](TerminalDialog* dialog) { return dialog->shown(); });
        if (shown != dialogs_.rend()) {
            // A key may end the run or open a box: the loop looks again before the next key.
            (*shown)->key(key);
            return;
        }
    }
}

void TerminalBackend::dropAnsweredBoxes() {
    const auto before = boxes_.size();
    std::erase_if(boxes_,
                  [](const std::unique_ptr<MessageBoxView>& box) { return box->answered(); });
    if (boxes_.size() != before)
        invalidate();
}

void TerminalBackend::paint() {
    if (!dirty_ || !session_.isOpen())
        return;
    dirty_ = false;
    erase();
    const CellRect screen{0, 0, LINES, COLS};
    for (TerminalDialog* dialog : dialogs_) {
        if (dialog->shown())
            dialog->paint(session_);
    }
    for (const auto& box : boxes_) {
        const auto owner = std::find_if(dialogs_.begin(), dialogs_.end(), [&](TerminalDialog* d) {
            return d->handle() == box->owner() && d->shown();
        });
        box->paint(owner != dialogs_.end() ? (*owner)->area(COLS, LINES) : screen);
    }
    refresh();
}

void TerminalBackend::wait() {
    std::array<pollfd, 2> sources{
        {{CursesSession::inputDescriptor(), POLLIN, 0}, {calls_.wakeDescriptor(), POLLIN, 0}}};
    ::poll(sources.data(), sources.size(), kLoopWaitMs);
}

void TerminalBackend::openBox(BoxRequest request, std::shared_ptr<Answer> answer) {
    boxes_.push_back(
        std::make_unique<MessageBoxView>(std::move(request), std::move(answer), buttonLabels_));
    invalidate();
}

// A box with an owner is modal to it; one without an owner is drawn over everything just the
// same and takes the keys first, while the loop keeps serving the dialog's calls and redraws.
// Either way only the calling thread waits for the answer.
int TerminalBackend::show(HWND owner, const char* text, const char* caption, UINT type) {
    BoxRequest request{owner, text, caption, type};
    auto answer = std::make_shared<Answer>(DismissedAnswer(type));
    if (isUiThread()) {
        if (shutDown_ || !session_.open())
            return Unshown(request);
        openBox(std::move(request), answer);
        runUntil([&] { return answer->given(); });
        dropAnsweredBoxes();
        return answer->wait();
    }
    bool shown = false;
    const bool ran = calls_.call([&] {
        shown = !shutDown_ && session_.open();
        if (shown)
            openBox(request, answer);
    });
    return ran && shown ? answer->wait() : Unshown(request);
}

} // namespace fw::term
