#pragma once

#include <QSpinBox>

namespace brisvale {

// A spin edit that lets the player type anything and settles it when the
// field loses focus: a number is brought into the range, anything that is not
// a number counts as the minimum.
class SpinEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit SpinEdit(QWidget *parent = nullptr);

    // What typed text becomes under the rule above.
    int settle(const QString &text) const;

signals:
    // The text in the field changed, by typing or by a new value; it may not
    // be settled yet.
    void edited(const QString &text);

protected:
    bool event(QEvent *event) override;
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
    int valueFromText(const QString &text) const override;
};

} // namespace brisvale
