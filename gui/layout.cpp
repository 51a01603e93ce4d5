#include "gui/layout.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

namespace layout {

QFont windowFont() {
    QFont font("Liberation Sans");
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

void applyApplicationLook() {
    QApplication::setFont(windowFont());
}

QFont boldFont13() {
    QFont font = windowFont();
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

QLabel* label(QWidget* parent, const char* name, const char* text, QRect place, unsigned style) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setObjectName(name);
    if (style & kLarge) {
        l->setFont(boldFont13());
    } else if (style & kBold) {
        QFont font = windowFont();
        font.setBold(true);
        l->setFont(font);
    }
    if (style & (kNavy | kRed)) {
        QPalette palette = l->palette();
        palette.setColor(QPalette::WindowText, (style & kNavy) ? QColor(0, 0, 128) : Qt::red);
        l->setPalette(palette);
        // The window's background role is the button face, and a label whose foreground role is
        // not set draws with the text colour of its background role (the button text).
        l->setForegroundRole(QPalette::WindowText);
    }
    l->setWordWrap(style & kWordWrap);
    l->setAlignment(((style & kCentred) ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    // A word-wrapped label keeps its box; any other sizes itself to its text (wider than its
    // box when this platform's font needs it), a centred one about the box's centre.
    if (style & kFixed) {
        l->setGeometry(place);
        return l;
    }
    if (style & kWordWrap) {  // keeps its width, and grows when its lines need more height
        l->setGeometry(place.left(), place.top(), place.width(),
                       std::max(place.height(), l->heightForWidth(place.width())));
        return l;
    }
    const QSize hint = l->sizeHint();
    const int width = std::max(place.width(), hint.width());
    const int height = std::max(place.height(), hint.height());
    const int left = (style & kCentred) ? place.center().x() + 1 - width / 2 : place.left();
    l->setGeometry(left, place.top(), (style & kCentred) ? width : hint.width(), height);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const char* text, QRect place) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(name);
    b->setGeometry(place);
    return b;
}

void tabOrder(std::initializer_list<QWidget*> controls) {
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (previous) QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

}  // namespace layout
