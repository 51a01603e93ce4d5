#pragma once

#include <QWidget>
#include <string>

class MusicPreview;
class QToolButton;

// The music preview's control: its Play and Stop buttons, usable only while a track is open,
// over the music preview installed (a platform part).
class MediaPlayer : public QWidget {
public:
    explicit MediaPlayer(QWidget* parent);
    ~MediaPlayer() override;

    // Closes the track held before, then opens `path`; raises the preview's error text. Nothing
    // plays.
    void Open(const std::string& path);
    // Closes the track; does nothing when none is open.
    void Close();
    bool isOpen() const;
    bool isPlaying() const;
    void Play();
    void Stop();

    QToolButton* playButton() const { return play_; }
    QToolButton* stopButton() const { return stop_; }

private:
    MusicPreview* preview() const;
    void updateButtons();
    QToolButton* play_;
    QToolButton* stop_;
};
