#pragma once

#include "imaging/TCustomImageView.h"

#include <QBasicTimer>
#include <QPointer>

namespace brisvale {

class TMediaPlayer;

// The image control's twin for previews: it loads and shows pictures and
// message files as the image control does (without flipping, rotating,
// zooming or writing) and hands sound and video files to an attached player,
// reporting how far it has played through the process-wide progress notifier.
class TMediaView : public TCustomImageView {
    Q_OBJECT
public:
    // How often an open media file reports its progress, in milliseconds.
    static constexpr int kMediaInterval = 500;

    explicit TMediaView(QWidget *parent = nullptr);
    ~TMediaView() override;

    // Loads the file; the status text is returned by MediaName().
    void setMediaName(const QString &name);
    // Loads the file named last again and answers the status text.
    QString MediaName();

    bool AutoPlayMedia() const { return autoPlay_; }
    void setAutoPlayMedia(bool on) { autoPlay_ = on; }
    bool AutoRePlayMedia() const { return autoReplay_; }
    void setAutoRePlayMedia(bool on) { autoReplay_ = on; }
    bool AutoHideMediaPlayer() const { return autoHide_; }
    void setAutoHideMediaPlayer(bool on) { autoHide_ = on; }
    // Not owned; forgotten when the player is destroyed.
    TMediaPlayer *MediaPlayer() const;
    void setMediaPlayer(TMediaPlayer *player);
    bool TabStop() const;
    void setTabStop(bool on);

    // The one progress notifier of the process, told the percentage of a
    // picture read or of a media file played (non-zero answer: go on).
    static CodecProgress ProgressNotifier();
    static void setProgressNotifier(CodecProgress notifier);

    // Moves a running message file one step each way.
    void StepMessages() { postStepMessages(); }
    void StopMessages() override;
    bool mediaTimerActive() const { return mediaTimer_.isActive(); }

protected:
    void beforeLoad() override;
    QString kindOf(const QString &name) const override;
    bool loadMedia(const QString &kind, const QString &path) override;
    void beforeImageLoad() override;
    bool readsPreviews() const override { return false; }
    CodecProgress readProgress() const override { return ProgressNotifier(); }

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    void reportProgress();

    bool autoPlay_ = false;
    bool autoReplay_ = false;
    bool autoHide_ = false;
    QPointer<TMediaPlayer> player_;
    QBasicTimer mediaTimer_;
};

} // namespace brisvale
