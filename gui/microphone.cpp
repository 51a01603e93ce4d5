#include "gui/microphone.h"

#include <fcntl.h>
#include <unistd.h>

#include <QBitmap>
#include <QImageReader>
#include <QPainter>
#include <cerrno>

#include "core/errors.h"
#include "core/fileio.h"
#include "gui/picture.h"

QPixmap loadMaskedBitmap(const std::string& path, int width, int height) {
    checkPictureFile(path, true);
    QImage image;
    try {
        image = decodePlainBitmap(ReadFileText(path, /*followLinks=*/true));
    } catch (const std::exception&) {
        // The reader below says what is wrong with it.
    }
    if (image.isNull()) {
        QImageReader reader(QString::fromStdString(path), "bmp");
        reader.setDecideFormatFromContent(false);
        if (!reader.read(&image) || image.isNull())
            throw AppError(errkind::kImage, "Bitmap image is not valid");
    }
    if (image.width() < width || image.height() < height)
        throw AppError(errkind::kImage, "Invalid image size");

    const bool monochrome = image.depth() == 1;
    const QRgb mask =
        monochrome ? qRgb(255, 255, 255) : image.pixel(0, image.height() - 1) | 0xFF000000u;
    QImage picture = image.copy(0, 0, width, height).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            line[x] |= 0xFF000000u;  // an alpha channel of the file does not count
            if (line[x] == mask) line[x] = 0;
        }
    }
    return QPixmap::fromImage(picture);
}

void ImageList::draw(QPainter& painter, int x, int y, int index) const {
    if (index < 0 || index >= count()) return;
    painter.drawPixmap(x, y, pictures_[static_cast<size_t>(index)]);
}

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {}

void PaintBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ensureCanvas();
}

void PaintBox::ensureCanvas() {
    if (canvas_.size() == size()) return;
    canvas_ = QPixmap(size());
    canvas_.fill(Qt::transparent);
}

void PaintBox::drawNow(const std::function<void(QPainter&)>& draw) {
    ensureCanvas();
    {
        QPainter painter(&canvas_);
        draw(painter);
    }
    presenting_ = true;
    repaint();
    presenting_ = false;
}

void PaintBox::paintEvent(QPaintEvent*) {
    ensureCanvas();
    if (!presenting_) {
        // A repaint of the window system: the page shows through, then the owner paints.
        canvas_.fill(Qt::transparent);
        QPainter painter(&canvas_);
        painter_ = &painter;
        if (OnPaint) OnPaint(this);
        painter_ = nullptr;
    }
    QPainter(this).drawPixmap(0, 0, canvas_);
}
