#include "tests/support/support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "core/errors.h"
#include "gui/errorreport.h"
#include "platform/qt_dialogs.h"

ScriptedDialogs::~ScriptedDialogs() {
    discardQueuedReports();
}

std::vector<std::string>& ScriptedDialogs::shown() {
    showQueuedReports();
    return shown_;
}

void ScriptedDialogs::showMessage(Kind kind, const std::string& text) {
    shown_.push_back((kind == Kind::Information ? "Information: " : "Warning: ") + text);
}

void ScriptedDialogs::showErrorReport(const std::string& text) {
    shown_.push_back("Error: " + text);
}

void ScriptedDialogs::showApplicationError(const std::string& text) {
    shown_.push_back("Application Error: " + text);
}

bool ScriptedDialogs::inputQuery(const std::string& caption, const std::string& prompt,
                                 std::string& value, int maxLength) {
    lastQuery = {caption, prompt, value};
    lastQueryMaxLength = maxLength;
    if (answers.empty()) return false;
    const auto answer = answers.front();
    answers.pop_front();
    if (!answer) return false;
    value = *answer;
    return true;
}

RealBoxes::RealBoxes()
    : qtDialogs_(makeQtDialogs()), install_(qtDialogs_.get()), timer_(new QTimer) {
    QObject::connect(timer_, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        // A user presses the key once the box is in front and has the keyboard.
        if (!box || !box->isVisible() || QApplication::activeWindow() != box) return;
        closed_.push_back(box->windowTitle().toStdString() + ": " + box->text().toStdString());
        QWidget* target = box->focusWidget() ? box->focusWidget() : box;
        QTest::keyClick(target, Qt::Key_Return);
    });
    timer_->start(20);
}

RealBoxes::~RealBoxes() {
    delete timer_;
    discardQueuedReports();
}

const std::vector<std::string>& RealBoxes::waitFor(size_t count) {
    QElapsedTimer clock;
    clock.start();
    while ((closed_.size() < count || QApplication::activeModalWidget()) && clock.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return closed_;
}

const std::vector<std::string>& RealBoxes::settle() {
    // The reports are queued through the event loop: a few turns show every one of them, and
    // each box that comes is closed before the next turn.
    for (int turn = 0; turn < 5; ++turn) {
        QCoreApplication::sendPostedEvents();
        QApplication::processEvents();
        waitFor(closed_.size());
    }
    return closed_;
}

OnceWhen::OnceWhen(std::function<bool()> ready, std::function<void()> action)
    : timer_(std::make_unique<QTimer>()) {
    QObject::connect(timer_.get(), &QTimer::timeout,
                     [this, ready = std::move(ready), action = std::move(action)] {
                         if (done_ || !ready()) return;
                         done_ = true;
                         timer_->stop();
                         action();
                     });
    timer_->start(0);
}

OnceWhen::~OnceWhen() = default;

std::vector<QWidget*> tabOrderOf(const std::vector<QWidget*>& widgets) {
    std::vector<QWidget*> order;
    QWidget* w = widgets.front();
    do {
        if (std::find(widgets.begin(), widgets.end(), w) != widgets.end()) order.push_back(w);
        w = w->nextInFocusChain();
    } while (w != widgets.front());
    return order;
}
