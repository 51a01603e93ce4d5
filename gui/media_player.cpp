#include "gui/media_player.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPolygonF>
#include <QToolButton>

#include "core/errors.h"
#include "core/music_preview.h"

namespace {

// The buttons' symbols, drawn: a triangle to play, a square to stop (the style's media icons
// come from an icon theme that is slow to load and not everywhere the same).
QIcon symbol(bool play) {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 40, 40));
    if (play)
        painter.drawPolygon(QPolygonF({{2, 1}, {11, 6}, {2, 11}}));
    else
        painter.drawRect(QRectF(2, 2, 8, 8));
    return QIcon(pixmap);
}

}  // namespace

MediaPlayer::MediaPlayer(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    const auto make = [this, row](bool play, const char* name, const char* tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setIcon(symbol(play));
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        row->addWidget(b);
        return b;
    };
    play_ = make(true, "Play", "Play");
    stop_ = make(false, "Stop", "Stop");
    connect(play_, &QToolButton::clicked, this, [this] { Play(); });
    connect(stop_, &QToolButton::clicked, this, [this] { Stop(); });
    updateButtons();
}

MediaPlayer::~MediaPlayer() {
    Close();
}

MusicPreview* MediaPlayer::preview() const {
    return Installed<MusicPreview>::get();
}

void MediaPlayer::Open(const std::string& path) {
    Close();
    MusicPreview* music = preview();
    if (!music) throw AppError(errkind::kMedia, "Unknown error code");
    try {
        music->open(path);
    } catch (...) {
        updateButtons();
        throw;
    }
    updateButtons();
}

void MediaPlayer::Close() {
    if (MusicPreview* music = preview(); music && music->isOpen()) music->close();
    updateButtons();
}

bool MediaPlayer::isOpen() const {
    const MusicPreview* music = preview();
    return music && music->isOpen();
}

bool MediaPlayer::isPlaying() const {
    const MusicPreview* music = preview();
    return music && music->isPlaying();
}

void MediaPlayer::Play() {
    if (isOpen()) preview()->play();
}

void MediaPlayer::Stop() {
    if (isOpen()) preview()->stop();
}

void MediaPlayer::updateButtons() {
    play_->setEnabled(isOpen());
    stop_->setEnabled(isOpen());
}
