#pragma once

#include <QWidget>
#include <string>

class QToolButton;
struct _Mix_Music;

// The music preview: a file opened through SDL2_mixer, played and stopped with the control's
// own Play and Stop buttons, which are usable only while a track is open.
class MediaPlayer : public QWidget {
public:
    explicit MediaPlayer(QWidget* parent);
    ~MediaPlayer() override;

    std::string FileName;
    // Closes the track held before, then opens FileName and waits for the result; raises the
    // library's error text ("Unknown error code" when it has none). Nothing plays.
    void Open();
    // Closes the track; does nothing when none is open.
    void Close();
    bool isOpen() const { return music_ != nullptr; }
    bool isPlaying() const;

    void Play();
    void Stop();

    QToolButton* playButton() const { return play_; }
    QToolButton* stopButton() const { return stop_; }

private:
    void updateButtons();
    _Mix_Music* music_ = nullptr;
    QToolButton* play_;
    QToolButton* stop_;
};
