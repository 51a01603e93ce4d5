#include "platform/detached_opener.h"

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

std::unique_ptr<ShellOpener> makeDetachedOpener(const std::string& program) {
    return std::make_unique<DetachedOpener>(program);
}
