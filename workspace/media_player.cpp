#include "media_player.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

#include "errors.h"
#include "music_preview.h"

MediaPlayer::MediaPlayer(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    const auto make = [this, row](QStyle::StandardPixmap icon, const char* name, const char* tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        row->addWidget(b);
        return b;
    };
    play_ = make(QStyle::SP_MediaPlay, "Play", "Play");
    stop_ = make(QStyle::SP_MediaStop, "Stop", "Stop");
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
