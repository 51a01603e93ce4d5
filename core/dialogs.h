#pragma once

#include <string>

#include "core/installed.h"

// The modal dialogs of the program, a platform part: Qt's boxes in the program, a double that
// answers without a person in the tests.
class Dialogs {
public:
    enum class Kind { Information, Warning };

    virtual ~Dialogs() = default;
    // A message dialog centred on the screen, captioned by its kind, with one "OK" button.
    virtual void showMessage(Kind kind, const std::string& text) = 0;
    // The default error report: caption = application title, error icon, one "OK" button.
    virtual void showErrorReport(const std::string& text) = 0;
    // The box for an error that escaped the creation of the main window.
    virtual void showApplicationError(const std::string& text) = 0;
    // A modal input dialog with an "OK" and a "Cancel" button and a one-line field pre-filled
    // with `value` (all of it selected, at most `maxLength` characters). Returns true and the
    // field's text in `value` on "OK"; false when cancelled or closed.
    virtual bool inputQuery(const std::string& caption, const std::string& prompt,
                            std::string& value, int maxLength) = 0;
};

// The dialogs installed (the program cannot go on without them).
Dialogs& dialogs();
