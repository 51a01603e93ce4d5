#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs.h"

class QWidget;

// A temporary folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // The folder, ending with "/".
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A temporary workspace with flash/bots, flash/chars, flash/backs, flash/music and the
// microphone pictures in res/, made the program folder and the working folder for the life of
// the object.
class TempWorkspace : public TempDir {
public:
    // `inner`: a sub-folder of the temporary folder to hold the workspace (for names with
    // blanks, say), ending with "/".
    explicit TempWorkspace(const std::string& inner = "");
    ~TempWorkspace();
    // The workspace folder, ending with "/".
    const std::string& path() const { return folder_; }
    std::string bot(const std::string& name) const { return path() + "flash/bots/" + name + "/"; }
    // Creates a bot folder, optionally with a phrase list and a settings file.
    void addBot(const std::string& name) const;

    // Makes the workspace's lame.exe a link to the system's encoder.
    void linkEncoder() const;
    // Makes the workspace's lame.exe a shell script with this body (for the tests that start
    // the encoder as a process, with ProcessEncoder).
    void fakeEncoder(const std::string& script) const;
    // The body of an encoder script that writes one silent MPEG audio frame to its output.
    static constexpr const char* kWritesMp3 =
        "printf '\\377\\373\\220\\144' > \"$2\"; head -c 413 /dev/zero >> \"$2\"";

private:
    std::string folder_;
    std::string previousWorkingFolder_;
};

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

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool exists(const std::string& path);

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

// The message of the error that `f` raises, or "(no error)".
std::string errorMessageOf(const std::function<void()>& f);
