#include "imaging/TMediaPlayer.h"

#include "platform/DialogService.h"

#include <QAudioOutput>
#include <QHBoxLayout>
#include <QMediaPlayer>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>
#include <utility>

namespace brisvale {

TMediaPlayer::TMediaPlayer(QWidget *parent) : QWidget(parent)
{
    player_ = new QMediaPlayer(this);
    audio_ = new QAudioOutput(this);
    sink_ = new QVideoSink(this);
    player_->setAudioOutput(audio_);
    player_->setVideoSink(sink_);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    const auto button = [this, row](QStyle::StandardPixmap icon, const QString &tip) {
        auto *b = new QPushButton(style()->standardIcon(icon), QString(), this);
        b->setToolTip(tip);
        b->setFocusPolicy(Qt::TabFocus);
        row->addWidget(b);
        return b;
    };
    play_ = button(QStyle::SP_MediaPlay, QStringLiteral("Play"));
    pause_ = button(QStyle::SP_MediaPause, QStringLiteral("Pause"));
    stop_ = button(QStyle::SP_MediaStop, QStringLiteral("Stop"));
    connect(play_, &QPushButton::clicked, this, &TMediaPlayer::Play);
    connect(pause_, &QPushButton::clicked, this, &TMediaPlayer::Pause);
    connect(stop_, &QPushButton::clicked, this, &TMediaPlayer::Stop);

    connect(sink_, &QVideoSink::videoFrameChanged, this, &TMediaPlayer::frameArrived);
    connect(player_, &QMediaPlayer::playbackStateChanged, this, &TMediaPlayer::Notify);
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, &TMediaPlayer::Notify);
    // A stream the backend stumbles on may report the same error from more
    // than one of its parts: one box per opened file is enough. Whatever it
    // could show stays.
    connect(player_, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error, const QString &text) {
        if (open_ && !std::exchange(errorShown_, true))
            platform::dialogs().message(platform::MessageKind::Error, text + u'\n' + fileName_);
    });
    resize(85, 30);
}

TMediaPlayer::~TMediaPlayer()
{
    // The display must not draw a frame of a player that is gone.
    frame_ = QImage();
    repaintDisplay();
}

void TMediaPlayer::Open()
{
    Close();
    open_ = true;
    stopped_ = false;
    errorShown_ = false;
    player_->setSource(QUrl::fromLocalFile(fileName_));
    emit Notify();
}

void TMediaPlayer::Close()
{
    if (!open_)
        return;
    open_ = false;
    player_->stop();
    player_->setSource(QUrl());
    frame_ = QImage();
    repaintDisplay();
    emit Notify();
}

void TMediaPlayer::Play()
{
    if (!open_)
        return;
    if (player_->mediaStatus() == QMediaPlayer::EndOfMedia)
        player_->setPosition(0);
    stopped_ = false;
    player_->play();
}

void TMediaPlayer::Pause()
{
    if (open_) {
        stopped_ = false;
        player_->pause();
    }
}

void TMediaPlayer::Stop()
{
    // A stopped player stays where it is, ready to go on from there.
    if (open_) {
        stopped_ = true;
        player_->pause();
    }
}

TMediaPlayer::TMPModes TMediaPlayer::Mode() const
{
    if (!open_)
        return TMPModes::mpNotReady;
    switch (player_->playbackState()) {
    case QMediaPlayer::PlayingState: return TMPModes::mpPlaying;
    case QMediaPlayer::PausedState: return stopped_ ? TMPModes::mpStopped : TMPModes::mpPaused;
    case QMediaPlayer::StoppedState: break;
    }
    return TMPModes::mpStopped;
}

qint64 TMediaPlayer::Position() const
{
    if (!open_)
        return 0;
    // The backend may stop a little short of the length at the end.
    if (player_->mediaStatus() == QMediaPlayer::EndOfMedia)
        return Length();
    return player_->position();
}

qint64 TMediaPlayer::Length() const { return open_ ? player_->duration() : 0; }

void TMediaPlayer::setDisplay(QWidget *display)
{
    if (display_ == display)
        return;
    repaintDisplay();
    display_ = display;
    repaintDisplay();
}

void TMediaPlayer::setDisplayRect(const QRect &rect)
{
    displayRect_ = rect;
    repaintDisplay();
}

void TMediaPlayer::drawFrame(QPainter &painter) const
{
    if (!frame_.isNull() && !displayRect_.isEmpty())
        painter.drawImage(displayRect_, frame_);
}

void TMediaPlayer::frameArrived(const QVideoFrame &frame)
{
    if (!open_)
        return;
    frame_ = frame.isValid() ? frame.toImage() : QImage();
    repaintDisplay();
}

void TMediaPlayer::repaintDisplay()
{
    if (display_)
        display_->update();
}

} // namespace brisvale
