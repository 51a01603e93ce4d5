#include "errorreport.h"

#include "dialogs.h"
#include "errors.h"
#include "paths.h"

void showDefaultErrorReport(const std::exception& error) {
    dialogs().showErrorReport(withFinalDot(error.what()));
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
