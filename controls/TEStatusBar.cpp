#include "controls/TEStatusBar.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLocale>
#include <QTimer>
#include <QTimerEvent>
#include <algorithm>

namespace brisvale {

namespace {

void applyBevel(TMyCustomPanel *panel, TSectionBevels style)
{
    const SectionBevel bevel = sectionBevel(style);
    panel->setBevelOuter(bevel.outer);
    panel->setBevelInner(bevel.inner);
}

TMyCustomPanel *makeSection(TEStatusBar *bar)
{
    // A section takes the bar's font by not having one of its own.
    auto *section = new TMyCustomPanel(bar);
    section->setBevelOuter(TBevelCut::bvLowered);
    section->setBevelInner(TBevelCut::bvNone);
    return section;
}

} // namespace

QString longTimeFormat(const QLocale &locale)
{
    // The toolkit's long format ends in the time-zone name ("t"); the clock
    // shows the time of day only. Quoted text is kept as it stands.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't') {
            while (i + 1 < format.size() && format.at(i + 1) == u't')
                ++i;
            // Drop the blank that separated the zone from the rest.
            if (out.endsWith(u' '))
                out.chop(1);
            else if (i + 1 < format.size() && format.at(i + 1) == u' ')
                ++i;
            continue;
        }
        out += c;
    }
    return out.trimmed();
}

TEStatusBar::TEStatusBar(QWidget *parent) : TMyCustomPanel(parent), now_([] { return QDateTime::currentDateTime(); })
{
    // The bar's own bevels stay outer raised, inner none until SectMainBevel
    // is set, although SectMainBevel reads sbLow from the start.
    resize(width(), kHeight);
    setAlign(TAlign::alBottom);

    date_ = makeSection(this);
    date_->setObjectName(QStringLiteral("DateSection"));
    time_ = makeSection(this);
    time_->setObjectName(QStringLiteral("TimeSection"));

    setWidthTime(100);
    setWidthDate(100);
    setAlignDate(TAlign::alLeft);
    setAlignTime(TAlign::alLeft);
    setSectDateBevel(TSectionBevels::sbLow);
    setSectTimeBevel(TSectionBevels::sbLow);

    messageTimer_ = new QTimer(this);
    messageTimer_->setSingleShot(true);
    connect(messageTimer_, &QTimer::timeout, this, &TEStatusBar::clearMessage);
}

TEStatusBar::~TEStatusBar() = default;

void TEStatusBar::setSectMainBevel(TSectionBevels style)
{
    mainBevel_ = style;
    applyBevel(this, style);
}

void TEStatusBar::setSectDateBevel(TSectionBevels style)
{
    dateBevel_ = style;
    applyBevel(date_, style);
}

void TEStatusBar::setSectTimeBevel(TSectionBevels style)
{
    timeBevel_ = style;
    applyBevel(time_, style);
}

void TEStatusBar::setAlignDate(TAlign align)
{
    alignDate_ = align;
    date_->setAlign(align);
}

void TEStatusBar::setAlignTime(TAlign align)
{
    alignTime_ = align;
    time_->setAlign(align);
}

void TEStatusBar::setWidthDate(int width)
{
    widthDate_ = width;
    date_->resize(width, date_->height());
    dockChildren();
}

void TEStatusBar::setWidthTime(int width)
{
    widthTime_ = width;
    time_->resize(width, time_->height());
    dockChildren();
}

void TEStatusBar::setEnabled(bool enabled)
{
    enabled_ = enabled;
    if (enabled) {
        clockPeriod_ = std::max(updateInterval_, kMinimumPeriodMs);
        clock_.start(clockPeriod_, this); // restarts a running clock
    } else {
        clock_.stop();
    }
}

void TEStatusBar::setUpdateInterval(int ms)
{
    updateInterval_ = ms;
    setEnabled(false);
    setEnabled(true);
}

void TEStatusBar::showMessage(const QString &text, int ms)
{
    const bool changed = message_ != text;
    message_ = text;
    update();
    if (changed)
        announceCaption();
    if (ms > 0)
        messageTimer_->start(ms);
    else
        messageTimer_->stop();
}

void TEStatusBar::clearMessage()
{
    messageTimer_->stop();
    if (message_.isEmpty())
        return;
    message_.clear();
    update();
    announceCaption();
}

QString TEStatusBar::paintedCaption() const { return message_.isEmpty() ? Caption() : message_; }

QRect TEStatusBar::captionRect(const QRect &inside) const
{
    if (message_.isEmpty())
        return inside;
    int left = inside.left();
    for (const TMyCustomPanel *section : {date_, time_}) {
        if (section->isVisible() && section->x() < width() / 2)
            left = std::max(left, section->geometry().right() + 1);
    }
    constexpr int kGap = 6;
    return QRect(QPoint(left + kGap, inside.top()), inside.bottomRight());
}

Qt::Alignment TEStatusBar::captionAlignment() const
{
    return message_.isEmpty() ? Qt::Alignment(Qt::AlignCenter) : (Qt::AlignLeft | Qt::AlignVCenter);
}

QFont TEStatusBar::captionFont(const QString &text, const QRect &area) const
{
    constexpr int kSmallestPixels = 8;
    QFont f = font();
    if (message_.isEmpty())
        return f;
    int pixels = QFontInfo(f).pixelSize();
    while (pixels > kSmallestPixels && QFontMetrics(f).horizontalAdvance(text) > area.width())
        f.setPixelSize(--pixels);
    return f;
}

void TEStatusBar::timerEvent(QTimerEvent *event)
{
    TMyCustomPanel::timerEvent(event);
    if (event->timerId() != clock_.timerId())
        return;
    if (onTimer_)
        onTimer_(this);
    showDateAndTime();
}

void TEStatusBar::showDateAndTime()
{
    const QDateTime now = now_();
    const QLocale locale;
    date_->setCaption(locale.toString(now.date(), QLocale::ShortFormat));
    time_->setCaption(locale.toString(now.time(), longTimeFormat(locale)));
}

} // namespace brisvale
