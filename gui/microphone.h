#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

// Loads a Windows bitmap as a masked picture: every pixel of exactly its mask colour (the
// bottom-left pixel, or white for a monochrome bitmap) is transparent. Raises
// "Cannot open file "%s". %s", "Bitmap image is not valid" or "Invalid image size" (smaller
// than width x height). A larger bitmap gives its top-left part.
QPixmap loadMaskedBitmap(const std::string& path, int width, int height);

// Pictures of one size, each with its mask, drawn by index.
class ImageList : public QObject {
public:
    ImageList(QObject* owner, int width, int height)
        : QObject(owner), width_(width), height_(height) {}
    int width() const { return width_; }
    int height() const { return height_; }
    int count() const { return static_cast<int>(pictures_.size()); }
    void add(QPixmap picture) { pictures_.push_back(std::move(picture)); }
    // Draws picture `index` masked: transparent pixels leave what is there. An index the list
    // does not hold draws nothing.
    void draw(QPainter& painter, int x, int y, int index) const;

private:
    int width_, height_;
    std::vector<QPixmap> pictures_;
};

// A box to paint on. A repaint by the window system runs OnPaint on a canvas that holds the
// page's background; drawing between repaints goes on the canvas as it is and is shown at once.
class PaintBox : public QWidget {
public:
    explicit PaintBox(QWidget* parent);
    // Draws on the canvas and shows the result at once, without erasing first.
    void drawNow(const std::function<void(QPainter&)>& draw);
    // The painter of the canvas, while OnPaint runs.
    QPainter* canvas() const { return painter_; }
    std::function<void(QObject* Sender)> OnPaint;
    // What the box shows now.
    const QPixmap& shown() const { return canvas_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ensureCanvas();
    QPixmap canvas_;
    QPainter* painter_ = nullptr;
    bool presenting_ = false;
};
