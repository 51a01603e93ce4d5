#include "layout.h"

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

QFont boldFont13() {
    QFont font = windowFont();
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

QLabel* label(QWidget* parent, const char* name, const char* text, QRect place, unsigned style) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setObjectName(name);
    if (style & Large) {
        l->setFont(boldFont13());
    } else if (style & Bold) {
        QFont font = windowFont();
        font.setBold(true);
        l->setFont(font);
    }
    if (style & (Navy | Red)) {
        QPalette palette = l->palette();
        palette.setColor(QPalette::WindowText, (style & Navy) ? QColor(0, 0, 128) : Qt::red);
        l->setPalette(palette);
    }
    l->setWordWrap(style & WordWrap);
    l->setAlignment(((style & Centred) ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    if (place.width() == 0 && place.height() == 0) {
        l->move(place.topLeft());
        l->adjustSize();
    } else {
        l->setGeometry(place);
    }
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const char* text, QRect place) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(name);
    b->setGeometry(place);
    return b;
}

}  // namespace layout
