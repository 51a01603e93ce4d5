#include "gui/picture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImageReader>
#include <cerrno>

#include "core/errors.h"
#include "core/paths.h"

std::string extensionOf(const std::string& path) {
    const std::string name = fileNameOf(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

bool bitmapComplete(const std::string& head, int64_t fileSize) {
    const auto u = [&head](size_t at, size_t bytes) {
        uint32_t v = 0;
        for (size_t i = bytes; i-- > 0;) v = v << 8 | static_cast<unsigned char>(head[at + i]);
        return v;
    };
    if (head.size() < 26 || head.compare(0, 2, "BM") != 0) return true;
    const uint32_t offset = u(10, 4);
    const uint32_t infoSize = u(14, 4);
    int64_t width = 0, height = 0;
    uint32_t bits = 0, compression = 0;
    if (infoSize == 12) {  // the old core header
        width = u(18, 2);
        height = u(20, 2);
        bits = u(24, 2);
    } else if (infoSize >= 40 && head.size() >= 34) {
        width = static_cast<int32_t>(u(18, 4));
        height = static_cast<int32_t>(u(22, 4));
        bits = u(28, 2);
        compression = u(30, 4);
    } else {
        return true;
    }
    if (compression != 0 && compression != 3) return true;  // run-length encoded and the like
    const int64_t rowBytes = (std::abs(width) * bits + 31) / 32 * 4;
    return fileSize >= offset + rowBytes * std::abs(height);
}

QImage decodePlainBitmap(const std::string& bytes) {
    const auto u = [&bytes](size_t at, size_t n) {
        uint32_t v = 0;
        for (size_t i = n; i-- > 0;) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
        return v;
    };
    if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0 || u(14, 4) < 40) return {};
    const uint32_t offset = u(10, 4), bits = u(28, 2), compression = u(30, 4);
    const auto width = static_cast<int32_t>(u(18, 4));
    const auto rawHeight = static_cast<int32_t>(u(22, 4));
    if (u(26, 2) != 1 || (bits != 24 && bits != 32) || compression != 0 || width <= 0 ||
        width > 32768 || rawHeight == 0 || rawHeight < -32768 || rawHeight > 32768)
        return {};
    const int height = std::abs(rawHeight);
    const size_t pixelBytes = bits / 8;
    const size_t rowBytes = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    if (offset < 54 || offset + rowBytes * static_cast<size_t>(height) > bytes.size()) return {};
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        // Rows run from the bottom up, unless the height is negative.
        const size_t row =
            rawHeight > 0 ? static_cast<size_t>(height - 1 - y) : static_cast<size_t>(y);
        const auto* in =
            reinterpret_cast<const unsigned char*>(bytes.data()) + offset + row * rowBytes;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x, in += pixelBytes) out[x] = qRgb(in[2], in[1], in[0]);
    }
    return image;
}

void checkPictureFile(const std::string& path, bool bitmap) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw fileOpenError(path, errno);
    std::string head(64, '\0');
    const ssize_t n = bitmap ? ::pread(fd, head.data(), head.size(), 0) : 0;
    struct stat st {};
    const bool sized = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    head.resize(static_cast<size_t>(std::max<ssize_t>(n, 0)));
    if (bitmap && sized && !bitmapComplete(head, st.st_size))
        throw AppError(errkind::kImage, "Bitmap image is not valid");
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
        throw AppError(errkind::kImage,
                       format("Unknown picture file extension (.%s)", extensionOf(path).c_str()));

    checkPictureFile(path, extension == "bmp");
    if (!kind)
        throw AppError(errkind::kImage,
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
        throw AppError(errkind::kImage, reason.isEmpty()
                                            ? std::string("Picture is not valid")
                                            : "Picture is not valid: " + reason.toStdString());
    }
    return image.scaled(box, box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}
