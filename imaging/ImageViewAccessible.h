#pragma once

#include <QAccessibleWidget>

namespace brisvale {

class TCustomImageView;

// What assistive technology is told about an image control: a picture named
// by the file it shows (without its folder).
class ImageViewAccessible : public QAccessibleWidget {
public:
    explicit ImageViewAccessible(TCustomImageView *view);

    // Makes Qt ask this class for every image control; safe to call often.
    static void install();

    QString text(QAccessible::Text t) const override;

private:
    TCustomImageView *view() const;
};

} // namespace brisvale
