#include "core/shell.h"

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
