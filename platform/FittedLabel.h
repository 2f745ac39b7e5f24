#pragma once

#include <QLabel>

namespace brisvale::platform {

// A one-line label whose caption is never cut: one wider than the label is
// shown in a smaller font that fits.
class FittedLabel : public QLabel {
public:
    using QLabel::QLabel;

    // The font the caption is shown in.
    QFont fittedFont() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace brisvale::platform
