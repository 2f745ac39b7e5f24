#pragma once

#include "controls/TMyCustomPanel.h"

#include <QBasicTimer>
#include <QDateTime>
#include <functional>

class QTimer;

namespace brisvale {

// A status bar docked to the bottom of its window: a main section showing the
// caption across the whole bar, and a date and a time section kept current
// by a clock. A left-button press on any of them reaches the window.
class TEStatusBar : public TMyCustomPanel {
    Q_OBJECT
public:
    static constexpr int kHeight = 25;
    // The shortest period the clock ticks at; shorter ones, 0 included, run
    // at this one.
    static constexpr int kMinimumPeriodMs = 10;
    static constexpr int kMessageMs = 5000;

    explicit TEStatusBar(QWidget *parent = nullptr);
    ~TEStatusBar() override;

    TSectionBevels SectMainBevel() const { return mainBevel_; }
    void setSectMainBevel(TSectionBevels style);
    TSectionBevels SectDateBevel() const { return dateBevel_; }
    void setSectDateBevel(TSectionBevels style);
    TSectionBevels SectTimeBevel() const { return timeBevel_; }
    void setSectTimeBevel(TSectionBevels style);

    TAlign AlignDate() const { return alignDate_; }
    void setAlignDate(TAlign align);
    TAlign AlignTime() const { return alignTime_; }
    void setAlignTime(TAlign align);

    int WidthDate() const { return widthDate_; }
    void setWidthDate(int width);
    int WidthTime() const { return widthTime_; }
    void setWidthTime(int width);

    // Whether the clock runs. This takes the place of the widget's enabled
    // state: it starts and stops the clock and leaves mouse input alone.
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    // Clock period in milliseconds. Setting it restarts the clock, so the
    // clock runs afterwards and Enabled reads true.
    int UpdateInterval() const { return updateInterval_; }
    void setUpdateInterval(int ms);

    // Called with the bar as sender on every tick, before the date and time
    // change.
    using TimerHandler = std::function<void(QObject *sender)>;
    const TimerHandler &OnTimer() const { return onTimer_; }
    void setOnTimer(TimerHandler handler) { onTimer_ = std::move(handler); }

    TMyCustomPanel *dateSection() const { return date_; }
    TMyCustomPanel *timeSection() const { return time_; }
    bool clockRunning() const { return clock_.isActive(); }
    // The period the running clock ticks at, 0 while it is stopped.
    int clockPeriod() const { return clockRunning() ? clockPeriod_ : 0; }

    // Where the date and time come from (the local clock unless a test
    // supplies another).
    void setClock(std::function<QDateTime()> now) { now_ = std::move(now); }

    // Shows `text` in the main section instead of the caption for `ms`
    // milliseconds (until cleared when `ms` is 0 or less); a newer message
    // replaces it. The caption itself stays as set.
    void showMessage(const QString &text, int ms = kMessageMs);
    void clearMessage();
    QString message() const { return message_; }

protected:
    QString paintedCaption() const override;
    // A message is longer than the caption: it starts right of the date and
    // time sections instead of running under them.
    QRect captionRect(const QRect &inside) const override;
    Qt::Alignment captionAlignment() const override;
    // A message too long for the bar is shown in a smaller font, not cut.
    QFont captionFont(const QString &text, const QRect &area) const override;
    void timerEvent(QTimerEvent *event) override;

private:
    void showDateAndTime();

    TSectionBevels mainBevel_ = TSectionBevels::sbLow;
    TSectionBevels dateBevel_ = TSectionBevels::sbLow;
    TSectionBevels timeBevel_ = TSectionBevels::sbLow;
    TAlign alignDate_ = TAlign::alNone;
    TAlign alignTime_ = TAlign::alNone;
    int widthDate_ = 0;
    int widthTime_ = 0;
    bool enabled_ = false;
    int updateInterval_ = 0;
    int clockPeriod_ = 0;
    TimerHandler onTimer_;
    TMyCustomPanel *date_ = nullptr;
    TMyCustomPanel *time_ = nullptr;
    QBasicTimer clock_;
    std::function<QDateTime()> now_;
    QString message_;
    QTimer *messageTimer_ = nullptr;
};

// The locale's long time format (hours, minutes and seconds with its
// separators and AM/PM designators) without the time-zone name.
QString longTimeFormat(const QLocale &locale);

} // namespace brisvale
