#include "imaging/ScrollingMessage.h"

#include <algorithm>

namespace brisvale {

void ScrollingMessage::startSideways(QSize control, QSize text)
{
    control_ = control;
    textWidth_ = text.width();
    textHeight_ = text.height();
    x_ = control.width();
    endX_ = control.width() + textWidth_;
    y_ = (control.height() - textHeight_) / 2;
    band_ = QSize(std::min(textWidth_, kMaxBandWidth), textHeight_);
    horizontal_ = true;
}

void ScrollingMessage::startUpward(QSize control, const QStringList &lines, const Measure &measure)
{
    startUpward([control] { return control; }, lines, measure);
}

void ScrollingMessage::startUpward(const ControlSize &control, const QStringList &lines, const Measure &measure)
{
    controlSize_ = control;
    lines_ = lines;
    measure_ = measure;
    index_ = 0;
    prepareLine();
}

bool ScrollingMessage::prepareLine()
{
    if (index_ >= lines_.size())
        index_ = 0;
    QString line = lines_.value(index_);
    if (line.isEmpty())
        return false;
    if (!line.startsWith(u' '))
        line.prepend(QStringLiteral("  "));
    if (!line.endsWith(u' '))
        line.append(u' ');
    text_ = line;
    control_ = controlSize_ ? controlSize_() : control_;
    const QSize measured = measure_ ? measure_(line) : QSize();
    // Widened by one average character, so italic text is not cut off; a line
    // of two characters has no average to add.
    const int divisor = int(line.size()) - 2;
    textWidth_ = measured.width() + (divisor != 0 ? measured.width() / divisor : 0);
    textHeight_ = measured.height();
    x_ = (control_.width() - textWidth_) / 2;
    y_ = control_.height();
    endY_ = control_.height() + textHeight_;
    band_ = QSize(std::clamp(textWidth_, 0, kMaxBandWidth), textHeight_ + 5);
    vertical_ = true;
    lineChanged_ = true;
    return true;
}

bool ScrollingMessage::tick()
{
    ++ticks_;
    if (speed_ >= ticks_)
        return false;
    ticks_ = 0;
    return true;
}

void ScrollingMessage::resizeControl(QSize control)
{
    if (!horizontal_)
        return;
    control_ = control;
    y_ = (control.height() - textHeight_) / 2;
}

bool ScrollingMessage::stepHorizontal()
{
    if (!horizontal_ || !tick())
        return false;
    --x_;
    --endX_;
    if (endX_ < 0) {
        x_ = control_.width();
        endX_ = control_.width() + textWidth_;
    }
    return true;
}

bool ScrollingMessage::stepVertical()
{
    lineChanged_ = false;
    if (!vertical_ || !tick())
        return false;
    --y_;
    --endY_;
    if (y_ < -textHeight_ - 5) {
        if (!lines_.isEmpty()) {
            index_ = index_ + 1 >= lines_.size() ? 0 : index_ + 1;
            prepareLine();
        } else {
            y_ = control_.height();
            endY_ = control_.height() + textHeight_;
        }
    }
    return true;
}

void ScrollingMessage::stop()
{
    horizontal_ = false;
    vertical_ = false;
    lineChanged_ = false;
}

} // namespace brisvale
