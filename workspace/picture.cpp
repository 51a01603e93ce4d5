#include "picture.h"

#include <fcntl.h>
#include <unistd.h>

#include <QImageReader>
#include <cerrno>

#include "errors.h"
#include "paths.h"

std::string extensionOf(const std::string& path) {
    const std::string name = fileNameOf(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

QImage loadPreviewPicture(const std::string& path, int box) {
    const QString extension = QString::fromStdString(extensionOf(path)).toLower();
    const char* kind = nullptr;
    if (extension == "bmp")
        kind = "bmp";
    else if (extension == "ico")
        kind = "ico";
    else if (extension == "jpg" || extension == "jpeg")
        kind = "jpeg";
    else if (extension != "wmf" && extension != "emf")
        throw AppError(errkind::Image,
                       format("Unknown picture file extension (.%s)", extensionOf(path).c_str()));

    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw fileOpenError(path, errno);
    ::close(fd);
    if (!kind)
        throw AppError(errkind::Image,
                       "Windows metafiles (.wmf, .emf) cannot be shown on this platform");

    QImageReader reader(QString::fromStdString(path), kind);
    reader.setDecideFormatFromContent(false);
    // A large picture is decoded straight to the size it is shown at.
    const QSize full = reader.size();
    if (full.isValid() && (full.width() > 2 * box || full.height() > 2 * box))
        reader.setScaledSize(full.scaled(2 * box, 2 * box, Qt::KeepAspectRatio));
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        const QString reason = reader.errorString();
        throw AppError(errkind::Image, reason.isEmpty()
                                           ? std::string("Picture is not valid")
                                           : "Picture is not valid: " + reason.toStdString());
    }
    return image.scaled(box, box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}
