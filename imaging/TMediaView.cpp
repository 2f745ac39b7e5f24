#include "imaging/TMediaView.h"

#include "imaging/TMediaPlayer.h"
#include "platform/FileSystem.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>
#include <cmath>

namespace brisvale {

namespace fs = platform::fs;

namespace {

CodecProgress &notifier()
{
    static CodecProgress slot;
    return slot;
}

bool isMediaKind(const QString &kind)
{
    static const QStringList media = {QStringLiteral(".MID"), QStringLiteral(".RMI"), QStringLiteral(".AVI"),
                                      QStringLiteral(".MOV"), QStringLiteral(".WAV")};
    return media.contains(kind);
}

} // namespace

TMediaView::TMediaView(QWidget *parent) : TCustomImageView(parent)
{
    setUseTwainWindow(false);
    setTabStop(true);
}

TMediaView::~TMediaView() = default;

CodecProgress TMediaView::ProgressNotifier() { return notifier(); }

void TMediaView::setProgressNotifier(CodecProgress n) { notifier() = std::move(n); }

void TMediaView::setMediaName(const QString &name) { load(name); }

QString TMediaView::MediaName() { return load(loadedName()); }

TMediaPlayer *TMediaView::MediaPlayer() const { return player_; }

void TMediaView::setMediaPlayer(TMediaPlayer *player) { player_ = player; }

bool TMediaView::TabStop() const { return focusPolicy() & Qt::TabFocus; }

void TMediaView::setTabStop(bool on)
{
    // Without a tab stop a click does not take the focus either.
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
}

void TMediaView::StopMessages()
{
    TCustomImageView::StopMessages();
    mediaTimer_.stop();
}

// ---- loading ------------------------------------------------------------

void TMediaView::beforeLoad()
{
    if (player_)
        player_->Close();
}

QString TMediaView::kindOf(const QString &name) const
{
    // The whole extension: ".jpeg" and ".tiff" are no kinds of this control.
    return fs::upperAscii(fs::extensionOf(name));
}

bool TMediaView::loadMedia(const QString &kind, const QString &path)
{
    if (!isMediaKind(kind))
        return false;
    // Whether the kind has a handler is what the backend makes of the file:
    // it is tried, and a file it cannot open is said, naming the file.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    StopMessages();
    if (player_) {
        player_->Close();
        player_->setVisible(true);
        player_->setFileName(path);
        player_->Open();
        player_->setDisplay(this);
        player_->setDisplayRect(rect());
        if (autoPlay_)
            player_->Play();
        mediaTimer_.start(kMediaInterval, this);
    }
    QApplication::restoreOverrideCursor();
    return true;
}

void TMediaView::beforeImageLoad()
{
    if (player_ && autoHide_)
        player_->setVisible(false);
    mediaTimer_.stop();
    if (const CodecProgress n = notifier())
        n(0);
}

// ---- media progress -------------------------------------------------------

void TMediaView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != mediaTimer_.timerId()) {
        TCustomImageView::timerEvent(event);
        return;
    }
    reportProgress();
}

void TMediaView::reportProgress()
{
    if (!player_ || !(autoReplay_ || player_->Mode() == TMediaPlayer::TMPModes::mpPlaying))
        return;
    // Until the backend knows the length there is nothing to divide by.
    const qint64 length = player_->Length();
    const int percent = length > 0 ? int(std::lround(double(player_->Position()) * (100.0 / double(length)))) : 0;
    if (const CodecProgress n = notifier())
        n(percent);
    // The notifier may have let events run in which the player went away.
    if (player_ && autoReplay_ && percent >= 100 && !player_->FileName().isEmpty())
        player_->Play();
}

// ---- window -----------------------------------------------------------------

void TMediaView::paintEvent(QPaintEvent *event)
{
    TCustomImageView::paintEvent(event);
    if (player_ && player_->Display() == this && player_->hasFrame()) {
        QPainter p(this);
        player_->drawFrame(p);
    }
}

void TMediaView::resizeEvent(QResizeEvent *event)
{
    if (player_ && player_->Display() == this)
        player_->setDisplayRect(QRect(0, 0, width(), height()));
    TCustomImageView::resizeEvent(event);
}

void TMediaView::focusInEvent(QFocusEvent *event)
{
    update();
    TCustomImageView::focusInEvent(event);
}

void TMediaView::focusOutEvent(QFocusEvent *event)
{
    update();
    TCustomImageView::focusOutEvent(event);
}

void TMediaView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && TabStop() && isEnabled() && isVisible())
        setFocus(Qt::MouseFocusReason);
    TCustomImageView::mousePressEvent(event);
}

} // namespace brisvale
