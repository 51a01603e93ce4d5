#pragma once

#include <deque>
#include <exception>
#include <functional>
#include <string>

#include "core/dialogs.h"
#include "core/installed.h"

// Reports that the user sees in a modal box (the default error report and the message dialogs)
// are queued and shown once the running handler has returned to the event loop, one box at a
// time and in the order they came. A box's own event loop must never run inside a widget's
// signal: while it runs, the widget could be deleted (a cell editor that closes when the box
// takes the focus) or re-entered, and its own code would go on with it afterwards.

// The reports waiting to be shown. The program installs one when it starts (and the tests one
// for each test); without one, a report is shown at once.
class ReportQueue {
public:
    ReportQueue() : install_(this) {}
    ~ReportQueue() = default;
    ReportQueue(const ReportQueue&) = delete;
    ReportQueue& operator=(const ReportQueue&) = delete;

private:
    friend void enqueueReport(std::function<void()> show);
    friend void showQueuedReports();
    friend void discardQueuedReports();
    std::deque<std::function<void()>> pending_;
    bool showing_ = false;
    Install<ReportQueue> install_;
};

// The default error report: the error's message (with the final "." rule) in a message box
// captioned by the application title.
void queueErrorReport(const std::string& message);
// A message dialog of `kind` ("Information", "Warning").
void queueMessage(Dialogs::Kind kind, const std::string& text);
// Shows every queued report now, each box after the one before has closed; does nothing while a
// queued box is being shown (the reports that come meanwhile follow it).
void showQueuedReports();
// Drops the reports that have not been shown yet (the window they belong to goes).
void discardQueuedReports();

// Runs `f` as the message loop runs a handler: an error that escapes it ends it and is queued
// for the default error report. Returns false when an error was reported.
template <class F>
bool runReported(F&& f) {
    try {
        f();
        return true;
    } catch (const std::exception& error) {
        queueErrorReport(error.what());
        return false;
    }
}
