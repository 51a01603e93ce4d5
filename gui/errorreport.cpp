#include "gui/errorreport.h"

#include <QCoreApplication>
#include <deque>
#include <functional>

#include "core/errors.h"

namespace {

std::deque<std::function<void()>>& pending() {
    static std::deque<std::function<void()>> queue;
    return queue;
}
bool showing = false;

void enqueue(std::function<void()> show) {
    const bool first = pending().empty();
    pending().push_back(std::move(show));
    // One call through the event loop shows whatever is queued by then.
    if (first && QCoreApplication::instance())
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { showQueuedReports(); }, Qt::QueuedConnection);
}

}  // namespace

void queueErrorReport(const std::string& message) {
    enqueue([text = withFinalDot(message)] { dialogs().showErrorReport(text); });
}

void queueMessage(Dialogs::Kind kind, const std::string& text) {
    enqueue([kind, text] { dialogs().showMessage(kind, text); });
}

void showQueuedReports() {
    if (showing) return;
    struct Showing {
        Showing() { showing = true; }
        ~Showing() { showing = false; }
    } scope;
    while (!pending().empty()) {
        const std::function<void()> show = std::move(pending().front());
        pending().pop_front();
        show();
    }
}

void discardQueuedReports() {
    pending().clear();
}

bool showingQueuedReport() {
    return showing;
}
