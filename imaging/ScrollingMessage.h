#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

namespace brisvale {

// Where a scrolling message band is and how it moves, without any drawing:
// the image controls render the text once and copy it at position() after
// every step that moved.
class ScrollingMessage {
public:
    // Width and height of a text in the message font.
    using Measure = std::function<QSize(const QString &text)>;
    // The control's size as it is now.
    using ControlSize = std::function<QSize()>;
    // The rendered band is never wider than this (text past it is cut), so a
    // long message in a large font cannot take hundreds of megabytes.
    static constexpr int kMaxBandWidth = 16384;

    bool horizontal() const { return horizontal_; }
    bool vertical() const { return vertical_; }
    bool running() const { return horizontal_ || vertical_; }

    void setSpeed(int speed) { speed_ = speed; }
    int speed() const { return speed_; }

    // One line moving right to left through the middle of a control of `control` size.
    void startSideways(QSize control, QSize text);
    // Lines rising one after another through the control; its size is taken
    // again for each line, so a control that was resized centres the next
    // line in its new width. Nothing runs when the first line is empty (or
    // there is none).
    void startUpward(const ControlSize &control, const QStringList &lines, const Measure &measure);
    void startUpward(QSize control, const QStringList &lines, const Measure &measure);

    // The control was resized: a sideways line keeps its way across and is
    // centred in the new height, and wraps at the new width.
    void resizeControl(QSize control);

    // The host's two step messages. Each returns true when the band moved
    // and must be drawn again.
    bool stepHorizontal();
    bool stepVertical();

    void stop();

    QPoint position() const { return {x_, y_}; }
    // Size of the rendered band.
    QSize bandSize() const { return band_; }
    // The text of the band (the current line with its padding, upward).
    QString text() const { return text_; }
    int lineIndex() const { return index_; }
    // True when the last step started a new line, which needs a new band.
    bool lineChanged() const { return lineChanged_; }

private:
    bool tick();
    bool prepareLine();

    bool horizontal_ = false;
    bool vertical_ = false;
    bool lineChanged_ = false;
    int speed_ = 1;
    int ticks_ = 0;
    int x_ = 0, y_ = 0, endX_ = 0, endY_ = 0;
    int textWidth_ = 0, textHeight_ = 0;
    QSize control_;
    QSize band_;
    QString text_;
    QStringList lines_;
    int index_ = 0;
    Measure measure_;
    ControlSize controlSize_;
};

} // namespace brisvale
