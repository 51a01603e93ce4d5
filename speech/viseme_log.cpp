#include "viseme_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "errors.h"

std::string visemeLogLine(uint32_t visemeId, int32_t duration) {
    return format("%u %d\r\n", visemeId, duration);
}

void appendVisemeLog(const std::string& path, uint32_t visemeId, int32_t duration) {
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
    if (fd < 0) throw inOutError(errno);
    const std::string line = visemeLogLine(visemeId, duration);
    const ssize_t written = ::write(fd, line.data(), line.size());
    const int writeError =
        written < 0 ? errno : (written < static_cast<ssize_t>(line.size()) ? ENOSPC : 0);
    const int closeError = ::close(fd) != 0 ? errno : 0;
    if (writeError) throw inOutError(writeError);
    if (closeError) throw inOutError(closeError);
}

int pictureForViseme(uint32_t visemeId) {
    return visemeId < std::size(VisemePictureMap) ? VisemePictureMap[visemeId] : 0;
}

int eyesOverPicture(int picture) {
    return picture % 6 == 2 ? 14 : -1;
}
