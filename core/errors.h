#pragma once

#include <exception>
#include <stdexcept>
#include <string>

// Every failure in Parlomat is an AppError: a kind (what went wrong, for the "Application Error"
// box) and a message that the user sees.
class AppError : public std::runtime_error {
public:
    AppError(std::string kind, const std::string& message);
    const std::string& kind() const { return kind_; }
    // The code address where the error was raised, shown by the "Application Error" box.
    const void* address() const { return address_; }

private:
    std::string kind_;
    const void* address_;
};

// Kinds used across the program.
namespace errkind {
inline constexpr const char* kFileOpen = "FileOpenError";
inline constexpr const char* kFileCreate = "FileCreateError";
inline constexpr const char* kFileWrite = "FileWriteError";
inline constexpr const char* kInOut = "InOutError";
inline constexpr const char* kListIndex = "ListIndexError";
inline constexpr const char* kEngine = "EngineError";
inline constexpr const char* kImage = "ImageError";
inline constexpr const char* kMedia = "MediaError";
inline constexpr const char* kEdit = "EditError";
}  // namespace errkind

// printf-style formatting into a std::string.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// The error message as the error reports show it: "." appended when the message is not empty
// and its last byte sorts after ".".
std::string withFinalDot(const std::string& message);

// The text of the platform's error code (strerror).
std::string systemErrorText(int err);

// The input/output error of a file written line by line, after the platform's error code:
// "File not found", "Too many open files", "File access denied", "Disk full", "I/O error %d".
AppError inOutError(int err);

// "Cannot open file "%s". %s" and "Cannot create file "%s". %s" with the absolute path.
AppError fileOpenError(const std::string& fileName, int err);
AppError fileCreateError(const std::string& fileName, int err);

// The text of the "Application Error" box for an error that escaped the creation of the main
// window: "Exception %s in module %s at %p." and the message on the next line.
std::string applicationErrorText(const std::string& kind, const std::string& module,
                                 const void* address, const std::string& message);
std::string applicationErrorText(const std::exception& error);
