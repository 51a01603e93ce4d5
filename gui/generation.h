#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <exception>
#include <string>

// What the generation of phrase audio is doing: the values that connect the engine's events
// with it, and whether one runs. A component of the main window without a control of its own;
// nothing else holds any of it.
class SpeechGeneration : public QObject {
public:
    explicit SpeechGeneration(QObject* owner) : QObject(owner) {}

    // Lowered by the end-of-stream event of the audible pass, raised after each audible pass is
    // requested; a generation waits while it is above 0.
    int32_t PendingStreams = 0;
    // The stream number of the audible pass of the phrase being made (0: none). Events of other
    // streams (a preview still heard when the generation began) neither end its wait nor reach
    // its log.
    int32_t AloudStream = 0;
    // The viseme log that viseme events of `AloudStream` are appended to; empty: events are not
    // logged.
    std::string VisemeLogPath;
    // An error of the viseme log that came during a generation; the generation raises it.
    std::exception_ptr VisemeLogError;

    // "Generate Speech" or "Generate changed" is running.
    bool Running = false;
    // The user asked it to stop (or closed the window): it stops after the phrase being made, and
    // an encoder still running gets a few seconds more. Read by the encoders' threads too.
    std::atomic<bool> StopRequested = false;
    // The window was closed meanwhile: it closes once the generation has ended.
    bool CloseRequested = false;
    // When it began, in seconds of the steady clock.
    double Started = 0;
};

// Creates the file empty (or truncates it) and closes it; raises the input/output error.
void createEmptyFile(const std::string& path);
