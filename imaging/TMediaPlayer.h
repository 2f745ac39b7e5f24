#pragma once

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>

class QAudioOutput;
class QMediaPlayer;
class QPainter;
class QPushButton;
class QVideoFrame;
class QVideoSink;

namespace brisvale {

// A small media player: Play, Pause and Stop buttons over Qt's media player.
// Video goes to a display widget of the caller's choosing, which draws the
// latest frame into the display rectangle (drawFrame) from its own paint.
class TMediaPlayer : public QWidget {
    Q_OBJECT
public:
    enum class TMPModes { mpNotReady, mpStopped, mpPlaying, mpPaused, mpOpen };

    explicit TMediaPlayer(QWidget *parent = nullptr);
    ~TMediaPlayer() override;

    QString FileName() const { return fileName_; }
    void setFileName(const QString &name) { fileName_ = name; }

    // Opens FileName; the length is known once the backend has read it.
    void Open();
    void Close();
    // Plays from the current position, from the start when at the end.
    void Play();
    void Pause();
    void Stop();

    bool isOpen() const { return open_; }
    TMPModes Mode() const;
    // In milliseconds; 0 while unknown.
    qint64 Position() const;
    qint64 Length() const;

    QWidget *Display() const { return display_; }
    void setDisplay(QWidget *display);
    QRect DisplayRect() const { return displayRect_; }
    void setDisplayRect(const QRect &rect);
    // Draws the latest video frame into the display rectangle.
    void drawFrame(QPainter &painter) const;
    bool hasFrame() const { return !frame_.isNull(); }

    QPushButton *playButton() const { return play_; }
    QPushButton *pauseButton() const { return pause_; }
    QPushButton *stopButton() const { return stop_; }

signals:
    // The mode changed (opened, playing, paused, stopped, at the end, closed).
    void Notify();

private:
    void frameArrived(const QVideoFrame &frame);
    void repaintDisplay();

    QMediaPlayer *player_ = nullptr;
    QAudioOutput *audio_ = nullptr;
    QVideoSink *sink_ = nullptr;
    QPushButton *play_ = nullptr;
    QPushButton *pause_ = nullptr;
    QPushButton *stop_ = nullptr;

    QString fileName_;
    bool open_ = false;
    bool errorShown_ = false;
    bool stopped_ = false;
    QPointer<QWidget> display_;
    QRect displayRect_;
    QImage frame_;
};

} // namespace brisvale
