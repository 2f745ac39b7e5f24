#pragma once

#include <QColor>
#include <QWidget>

namespace brisvale {

// A pie gauge from 0 to 100: the filled share in the fore colour on the
// background colour, with the percentage written over it.
class PieGauge : public QWidget {
    Q_OBJECT
public:
    explicit PieGauge(QWidget *parent = nullptr);

    int progress() const { return progress_; }
    void setProgress(int percent);
    QColor foreColor() const { return fore_; }
    void setForeColor(const QColor &color);
    QColor backColor() const { return back_; }
    void setBackColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int progress_ = 0;
    QColor fore_ = Qt::red;
    QColor back_ = Qt::yellow;
};

} // namespace brisvale
