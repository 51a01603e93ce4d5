#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/dialogs.h"
#include "tests/support/files.h"

class QWidget;

// Dialogs that answer without a person, installed for the life of the object: messages and
// error reports are recorded, input dialogs take the next scripted answer (nullopt: "Cancel").
class ScriptedDialogs : public Dialogs {
public:
    ScriptedDialogs() : install_(this) {}
    ~ScriptedDialogs() override;

    void showMessage(Kind kind, const std::string& text) override;
    void showErrorReport(const std::string& text) override;
    void showApplicationError(const std::string& text) override;
    bool inputQuery(const std::string& caption, const std::string& prompt, std::string& value,
                    int maxLength) override;

    // Everything shown, as "Information: text", "Warning: text", "Error: text"; the reports
    // still queued are shown first.
    std::vector<std::string>& shown();
    std::deque<std::optional<std::string>> answers;
    // What the last input dialog was opened with: caption, prompt, pre-filled value.
    std::vector<std::string> lastQuery;
    int lastQueryMaxLength = 0;

private:
    std::vector<std::string> shown_;
    Install<Dialogs> install_;
};

// Qt's own modal boxes, closed as a user closes them: every message box that comes up gets the
// key Return once it is on the screen (from a timer, inside the box's own event loop), and its
// caption and text are recorded. The reports queued but not shown are dropped at the end.
class RealBoxes {
public:
    RealBoxes();
    ~RealBoxes();
    RealBoxes(const RealBoxes&) = delete;
    RealBoxes& operator=(const RealBoxes&) = delete;
    // Runs the event loop until `count` boxes have been closed in all and none is open (at most
    // a minute, should one never come); returns the boxes closed so far, as "caption: text".
    const std::vector<std::string>& waitFor(size_t count);
    // Shows whatever reports are queued, closing each box as it comes, until none is queued or
    // open; returns all the boxes closed. For "no further box came".
    const std::vector<std::string>& settle();
    const std::vector<std::string>& closed() const { return closed_; }

private:
    std::unique_ptr<Dialogs> qtDialogs_;
    Install<Dialogs> install_;
    class QTimer* timer_;
    std::vector<std::string> closed_;
};

// Runs `action` once, at the first turn of the event loop at which `ready` holds, for a test that
// acts in the middle of a flow (a generation waiting for its audible pass, say): the action comes
// when the flow has reached that state, however long the machine takes to get there.
class OnceWhen {
public:
    OnceWhen(std::function<bool()> ready, std::function<void()> action);
    ~OnceWhen();
    OnceWhen(const OnceWhen&) = delete;
    OnceWhen& operator=(const OnceWhen&) = delete;
    bool done() const { return done_; }

private:
    std::unique_ptr<class QTimer> timer_;
    bool done_ = false;
};

// The order in which Tab visits `widgets`, starting at the first of them.
std::vector<QWidget*> tabOrderOf(const std::vector<QWidget*>& widgets);
