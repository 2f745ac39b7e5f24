#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

namespace brisvale {

class PieGauge;

// What assistive technology is told about the win gauge: a progress
// indicator from 0 to 100, named by its hint, whose value is the winning
// percentage.
class GaugeAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit GaugeAccessible(PieGauge *gauge);

    // Makes Qt ask this class for every gauge; safe to call often.
    static void install();

    void *interface_cast(QAccessible::InterfaceType t) override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;

    QVariant currentValue() const override;
    // The gauge shows what was played; nobody sets it.
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    PieGauge *gauge() const;
};

} // namespace brisvale
