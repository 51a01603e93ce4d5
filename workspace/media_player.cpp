#include "media_player.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

#include "audio_player.h"
#include "errors.h"

namespace {

[[noreturn]] void raiseMixerError() {
    const std::string text = Mix_GetError();
    throw AppError(errkind::Media, text.empty() ? std::string("Unknown error code") : text);
}

}  // namespace

MediaPlayer::MediaPlayer(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    const auto make = [this, row](QStyle::StandardPixmap icon, const char* name, const char* tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(tip);
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

void MediaPlayer::Open() {
    Close();
    std::string error;
    if (!openAudioOutput(&error))
        throw AppError(errkind::Media, error.empty() ? std::string("Unknown error code") : error);
    Mix_ClearError();
    music_ = Mix_LoadMUS(FileName.c_str());
    updateButtons();
    if (!music_) raiseMixerError();
}

void MediaPlayer::Close() {
    if (!music_) return;
    Mix_HaltMusic();
    Mix_FreeMusic(music_);
    music_ = nullptr;
    updateButtons();
}

bool MediaPlayer::isPlaying() const {
    return music_ && Mix_PlayingMusic();
}

void MediaPlayer::Play() {
    if (music_) Mix_PlayMusic(music_, 1);
}

void MediaPlayer::Stop() {
    if (music_) Mix_HaltMusic();
}

void MediaPlayer::updateButtons() {
    play_->setEnabled(music_ != nullptr);
    stop_->setEnabled(music_ != nullptr);
}
