#include "core/viseme_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "core/errors.h"
#include "core/fileio.h"

std::string visemeLogLine(uint32_t visemeId, int32_t duration) {
    return format("%u %d\r\n", visemeId, duration);
}

void appendVisemeLog(const std::string& path, uint32_t visemeId, int32_t duration) {
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) throw inOutError(errno);
    const std::string line = visemeLogLine(visemeId, duration);
    const ssize_t written = ::write(fd, line.data(), line.size());
    const int writeError =
        written < 0 ? errno : (written < static_cast<ssize_t>(line.size()) ? ENOSPC : 0);
    const int closeError = ::close(fd) != 0 ? errno : 0;
    if (writeError) throw inOutError(writeError);
    if (closeError) throw inOutError(closeError);
}

void writeVisemeLog(const std::string& path, const std::vector<SpeechViseme>& visemes) {
    std::string text;
    for (const SpeechViseme& v : visemes) text += visemeLogLine(v.id, v.durationMs);
    clearForNewFile(path);
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) throw inOutError(errno);
    size_t done = 0;
    int err = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            err = n < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0 && !err) err = errno;
    if (err) throw inOutError(err);
}

int pictureForViseme(uint32_t visemeId) {
    return visemeId < std::size(VisemePictureMap) ? VisemePictureMap[visemeId] : 0;
}

int eyesOverPicture(int picture) {
    return picture % 6 == 2 ? 14 : -1;
}
