#include "gui/errorreport.h"

#include <QCoreApplication>
#include <deque>
#include <functional>

#include "core/errors.h"

void enqueueReport(std::function<void()> show) {
    ReportQueue* queue = Installed<ReportQueue>::get();
    if (!queue) return show();
    const bool first = queue->pending_.empty();
    queue->pending_.push_back(std::move(show));
    // One call through the event loop shows whatever is queued by then.
    if (first && QCoreApplication::instance())
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { showQueuedReports(); }, Qt::QueuedConnection);
}

void queueErrorReport(const std::string& message) {
    enqueueReport([text = withFinalDot(message)] { dialogs().showErrorReport(text); });
}

void queueMessage(Dialogs::Kind kind, const std::string& text) {
    enqueueReport([kind, text] { dialogs().showMessage(kind, text); });
}

void showQueuedReports() {
    ReportQueue* queue = Installed<ReportQueue>::get();
    if (!queue || queue->showing_) return;
    struct Showing {
        bool& flag;
        ~Showing() { flag = false; }
    } scope{queue->showing_ = true};
    while (!queue->pending_.empty()) {
        const std::function<void()> show = std::move(queue->pending_.front());
        queue->pending_.pop_front();
        show();
    }
}

void discardQueuedReports() {
    if (ReportQueue* queue = Installed<ReportQueue>::get()) queue->pending_.clear();
}
