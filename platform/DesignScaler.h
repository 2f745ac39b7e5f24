#pragma once

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <functional>
#include <vector>

namespace brisvale::platform {

// Lays out a window designed for a fixed design size (640 x 480 and the like)
// on whatever client area it gets: one uniform factor for positions, sizes and
// fonts, computed from the design at every resize so rounding never
// accumulates. The layout is centred in the spare room.
class DesignScaler : public QObject {
public:
    DesignScaler(QWidget *surface, QSize designSize);

    // Records the widget's current geometry (in design units, relative to its
    // parent) and its font's pixel size. Children of the surface are offset to
    // the centred layout; deeper widgets keep their parent's origin.
    void add(QWidget *widget);
    // Forgets and re-records the design geometry of an added widget.
    void setDesignGeometry(QWidget *widget, const QRect &rect);

    // Called after every layout pass with the factor in force, for what a
    // geometry cannot carry (column widths and the like).
    void setOnScaled(std::function<void(double)> callback) { onScaled_ = std::move(callback); }

    double factor() const { return factor_; }
    void apply();
    // Scales the widget's font again after its caption changed: a caption
    // wider than its box gets a smaller font instead of being cut.
    void refit(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void scaleFont(QWidget *widget, int designPixels) const;

    struct Item {
        QPointer<QWidget> widget;
        QRect design;
        int fontPixels;
    };
    QWidget *surface_;
    QSize design_;
    std::vector<Item> items_;
    double factor_ = 1.0;
    std::function<void(double)> onScaled_;
};

} // namespace brisvale::platform
