#include "shell.h"

#include <QProcess>
#include <QString>

namespace {

class DetachedOpener final : public ShellOpener {
public:
    explicit DetachedOpener(std::string program) : program_(std::move(program)) {}
    void open(const std::string& target) override {
        // Started detached: the opener belongs to nobody, and its result is not waited for.
        QProcess::startDetached(QString::fromStdString(program_), {QString::fromStdString(target)});
    }

private:
    std::string program_;
};

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
    if (ShellOpener* opener = Installed<ShellOpener>::get()) opener->open(shellTarget(target));
}

std::unique_ptr<ShellOpener> makeDetachedOpener(const std::string& program) {
    return std::make_unique<DetachedOpener>(program);
}
