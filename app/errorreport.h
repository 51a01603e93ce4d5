#pragma once

#include <exception>
#include <string>

// The default error report: the error's message (with the final "." rule) in a message box
// captioned by the application title.
void showDefaultErrorReport(const std::exception& error);

// The text of the "Application Error" box for an error that escaped the creation of the main
// window: "Exception %s in module %s at %p." and the message on the next line.
std::string applicationErrorText(const std::string& kind, const std::string& module,
                                 const void* address, const std::string& message);
std::string applicationErrorText(const std::exception& error);

// Runs `f` as the message loop runs a handler: an error that escapes it is shown by the default
// error report and ends it. Returns false when an error was reported.
template <class F>
bool runReported(F&& f) {
    try {
        f();
        return true;
    } catch (const std::exception& error) {
        showDefaultErrorReport(error);
        return false;
    }
}
