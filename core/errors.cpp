#include "core/errors.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <vector>

#include "core/paths.h"

AppError::AppError(std::string kind, const std::string& message)
    : std::runtime_error(message), kind_(std::move(kind)), address_(__builtin_return_address(0)) {}

std::string format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out;
    if (size > 0) {
        std::vector<char> buffer(static_cast<size_t>(size) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), fmt, args);
        out.assign(buffer.data(), static_cast<size_t>(size));
    }
    va_end(args);
    return out;
}

std::string withFinalDot(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

std::string systemErrorText(int err) {
    return std::strerror(err);
}

AppError fileOpenError(const std::string& fileName, int err) {
    return AppError(errkind::kFileOpen,
                    format("Cannot open file \"%s\". %s", absolutePath(fileName).c_str(),
                           systemErrorText(err).c_str()));
}

AppError fileCreateError(const std::string& fileName, int err) {
    return AppError(errkind::kFileCreate,
                    format("Cannot create file \"%s\". %s", absolutePath(fileName).c_str(),
                           systemErrorText(err).c_str()));
}

AppError inOutError(int err) {
    switch (err) {
        case ENOENT:
            return AppError(errkind::kInOut, "File not found");
        case EMFILE:
            return AppError(errkind::kInOut, "Too many open files");
        case EACCES:
        case EPERM:
        case EROFS:
            return AppError(errkind::kInOut, "File access denied");
        case ENOSPC:
            return AppError(errkind::kInOut, "Disk full");
        default:
            return AppError(errkind::kInOut, format("I/O error %d", err));
    }
}

std::string applicationErrorText(const std::string& kind, const std::string& module,
                                 const void* address, const std::string& message) {
    return format("Exception %s in module %s at %p.\n", kind.c_str(), module.c_str(), address) +
           withFinalDot(message);
}

std::string applicationErrorText(const std::exception& error) {
    const auto* appError = dynamic_cast<const AppError*>(&error);
    return applicationErrorText(appError ? appError->kind() : "Exception",
                                fileNameOf(executablePath()),
                                appError ? appError->address() : nullptr, error.what());
}
