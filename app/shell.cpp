#include "shell.h"

#include <QProcess>
#include <QString>

namespace {
std::string& opener() {
    static std::string program = "xdg-open";
    return program;
}
}  // namespace

std::string shellTarget(const std::string& target) {
    if (target.size() >= 2 && target.front() == '"' && target.back() == '"')
        return target.substr(1, target.size() - 2);
    return target;
}

std::string quotedTarget(const std::string& path) {
    std::string quoted;
    quoted.reserve(path.size() + 2);
    quoted.append(1, '"').append(path).append(1, '"');
    return quoted;
}

void shellOpen(const std::string& target) {
    // Started detached: the opener belongs to nobody, and its result is not waited for.
    QProcess::startDetached(QString::fromStdString(opener()),
                            {QString::fromStdString(shellTarget(target))});
}

void setShellOpenerForTests(const std::string& program) {
    opener() = program.empty() ? "xdg-open" : program;
}
