#pragma once

#include <QWidget>
#include <vector>

namespace brisvale {

// A small line chart of the run, one point before the first hand and one
// after each: hands along the bottom, the amount up the side, with its
// caption above. Painted here rather than with a charting library. Assistive
// technology is told the caption as its name and the chart in words as its
// description.
class SessionChart : public QWidget {
    Q_OBJECT

public:
    SessionChart(const QString &caption, QWidget *parent = nullptr);

    // The points from hand 0 on, with decimals for the amounts on the side
    // and the chart in words. Fewer than two points leave the chart empty,
    // with the words in its place.
    void setPoints(std::vector<double> points, int decimals, const QString &words);
    const std::vector<double> &points() const { return points_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString caption_;
    std::vector<double> points_;
    int decimals_ = 0;
    QString words_;
};

} // namespace brisvale
