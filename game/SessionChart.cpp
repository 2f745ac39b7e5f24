#include "game/SessionChart.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace brisvale {

namespace {

// A step of 1, 2 or 5 times a power of ten near `raw`, no finer than `finest`,
// so the marks on an axis fall on round amounts.
double roundStep(double raw, double finest)
{
    if (!(raw > finest))
        return finest;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    const double f = raw / power;
    return (f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10) * power;
}

QAccessibleInterface *chartFactory(const QString &className, QObject *object)
{
    // A chart to assistive technology, read by its name and description.
    if (className == QLatin1String(SessionChart::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Chart);
    return nullptr;
}

} // namespace

SessionChart::SessionChart(const QString &caption, QWidget *parent) : QWidget(parent), caption_(caption)
{
    static const bool factory = [] {
        QAccessible::installFactory(chartFactory);
        return true;
    }();
    (void)factory;
    setAccessibleName(caption);
    // Reached with Tab, so a screen reader reads it like any other control.
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setPoints({}, 0, QString());
}

void SessionChart::setPoints(std::vector<double> points, int decimals, const QString &words)
{
    points_ = std::move(points);
    decimals_ = decimals;
    if (words != words_) {
        words_ = words;
        setAccessibleDescription(words);
        setToolTip(words);
    }
    update();
}

QSize SessionChart::sizeHint() const
{
    const int line = fontMetrics().height();
    return {22 * line, 9 * line};
}

QSize SessionChart::minimumSizeHint() const
{
    const int line = fontMetrics().height();
    return {14 * line, 6 * line};
}

void SessionChart::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics fm = fontMetrics();
    const QPalette &pal = palette();
    const QRect all = rect().adjusted(2, 2, -2, -2);

    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(pal.color(QPalette::WindowText));
    const QRect captionRect(all.left(), all.top(), all.width(), fm.height());
    p.drawText(captionRect, Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(bold).elidedText(caption_, Qt::ElideRight, all.width()));
    p.setFont(font());

    const bool empty = points_.size() < 2;
    double low = 0;
    double high = 1;
    if (!empty) {
        const auto [lo, hi] = std::minmax_element(points_.begin(), points_.end());
        low = *lo;
        high = *hi;
    }
    const double finest = std::pow(10.0, -decimals_);
    if (high - low < finest) {
        low -= finest;
        high += finest;
    }
    const double step = roundStep((high - low) / 3, finest);
    const double bottom = std::floor(low / step) * step;
    const double top = std::ceil(high / step) * step;
    QStringList marks;
    int labelWidth = 0;
    for (double v = bottom; v <= top + step / 2; v += step) {
        marks << QString::number(v, 'f', decimals_);
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(marks.back()));
    }

    const int hands = empty ? 0 : int(points_.size()) - 1;
    const QString lastHand = QString::number(std::max(hands, 1));
    const QRect plot(QPoint(all.left() + labelWidth + 6, captionRect.bottom() + fm.height() / 2 + 2),
                     QPoint(all.right() - fm.horizontalAdvance(lastHand) / 2 - 2, all.bottom() - fm.height() - 3));
    if (plot.width() < 10 || plot.height() < 10)
        return;
    p.fillRect(plot, pal.color(QPalette::Base));
    // The line keeps clear of the frame, so a run along the top or the side shows.
    const QRect inner = plot.adjusted(3, 4, -3, -4);
    const auto yOf = [&](double v) { return inner.bottom() - (v - bottom) / (top - bottom) * inner.height(); };
    const auto xOf = [&](double hand) { return inner.left() + hand / std::max(hands, 1) * inner.width(); };

    // Amounts up the side, with faint lines across; none on an empty chart.
    QColor grid = pal.color(QPalette::Text);
    grid.setAlpha(40);
    for (int i = 0; i < (empty ? 0 : int(marks.size())); ++i) {
        const double y = yOf(bottom + i * step);
        p.setPen(grid);
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(pal.color(QPalette::WindowText));
        p.drawText(QRectF(all.left(), y - fm.height() / 2.0, labelWidth, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, marks[i]);
    }
    // Hands along the bottom.
    const int handStep = int(roundStep(std::max(hands, 1) / 4.0, 1));
    for (int hand = 0; hand <= (empty ? -1 : hands); hand += handStep) {
        const QString text = QString::number(hand);
        const double x = xOf(hand);
        const int w = fm.horizontalAdvance(text);
        p.drawText(QRectF(x - w / 2.0 - 1, plot.bottom() + 3, w + 2, fm.height()), Qt::AlignCenter, text);
    }
    p.setPen(pal.color(QPalette::Mid));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(plot).adjusted(0.5, 0.5, -0.5, -0.5));

    if (empty) {
        p.setPen(pal.color(QPalette::Text));
        p.drawText(plot.adjusted(6, 4, -6, -4), Qt::AlignCenter | Qt::TextWordWrap, words_);
    } else {
        QPainterPath line;
        line.moveTo(xOf(0), yOf(points_.front()));
        for (int hand = 1; hand <= hands; ++hand)
            line.lineTo(xOf(hand), yOf(points_[std::size_t(hand)]));
        p.setClipRect(plot);
        p.setPen(QPen(pal.color(QPalette::Highlight), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(line);
        p.setClipping(false);
    }

    if (hasFocus()) {
        p.setPen(QPen(pal.color(QPalette::Highlight), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

} // namespace brisvale
