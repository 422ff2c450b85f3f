// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/qt/UiDispatcher.h"

#include <QCoreApplication>
#include <QEvent>
#include <condition_variable>
#include <memory>

namespace fw::qt {
namespace {

const QEvent::Type kCallEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

/// Where a caller waits: released when its event is destroyed, whether it ran or was dropped.
class Completion {
public:
    void finish(bool ran) {
        std::lock_guard lock(mutex_);
        ran_ = ran;
        finished_ = true;
        done_.notify_one();
    }
    bool wait() {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return finished_; });
        return ran_;
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    bool ran_ = false;
};

class CallEvent final : public QEvent {
public:
    CallEvent(const std::function<void()>& work, std::shared_ptr<Completion> completion)
        : QEvent(kCallEvent), work_(work), completion_(std::move(completion)) {}
    ~CallEvent() override { completion_->finish(ran_); }
    CallEvent(const CallEvent&) = delete;
    CallEvent& operator=(const CallEvent&) = delete;

    void run() {
        work_();
        ran_ = true;
    }

private:
    const std::function<void()>& work_; // the caller waits, so it outlives the event
    std::shared_ptr<Completion> completion_;
    bool ran_ = false;
};

} // namespace

UiDispatcher::UiDispatcher() = default;

UiDispatcher::~UiDispatcher() {
    close();
}

bool UiDispatcher::call(const std::function<void()>& work) {
    auto completion = std::make_shared<Completion>();
    {
        std::lock_guard lock(mutex_);
        if (!open_)
            return false;
        // Qt owns the event from here, and destroys it after delivery or when it is dropped.
        QCoreApplication::postEvent(this, new CallEvent(work, completion));
    }
    return completion->wait();
}

void UiDispatcher::close() {
    {
        std::lock_guard lock(mutex_);
        open_ = false;
    }
    QCoreApplication::removePostedEvents(this, kCallEvent);
}

bool UiDispatcher::event(QEvent* event) {
    if (event->type() != kCallEvent)
        return QObject::event(event);
    static_cast<CallEvent*>(event)->run();
    return true;
}

} // namespace fw::qt
