#include "game/GaugeAccessible.h"

#include "game/PieGauge.h"

namespace brisvale {

namespace {

QAccessibleInterface *gaugeFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(PieGauge::staticMetaObject.className()))
        return new GaugeAccessible(static_cast<PieGauge *>(object));
    return nullptr;
}

} // namespace

GaugeAccessible::GaugeAccessible(PieGauge *gauge) : QAccessibleWidget(gauge, QAccessible::ProgressBar) {}

void GaugeAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(gaugeFactory);
        return true;
    }();
    (void)installed;
}

PieGauge *GaugeAccessible::gauge() const { return static_cast<PieGauge *>(widget()); }

void *GaugeAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

QString GaugeAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && gauge()->accessibleName().isEmpty())
        return gauge()->toolTip();
    if (t == QAccessible::Value)
        return QStringLiteral("%1%").arg(gauge()->progress());
    return QAccessibleWidget::text(t);
}

QAccessible::State GaugeAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    return s;
}

QVariant GaugeAccessible::currentValue() const { return gauge()->progress(); }

} // namespace brisvale
