#include "imaging/ImageViewAccessible.h"

#include "imaging/TCustomImageView.h"

#include <QFileInfo>

namespace brisvale {

namespace {

QAccessibleInterface *imageViewFactory(const QString &className, QObject *object)
{
    // Both image controls derive from this one class.
    if (className == QLatin1String(TCustomImageView::staticMetaObject.className()))
        return new ImageViewAccessible(static_cast<TCustomImageView *>(object));
    return nullptr;
}

} // namespace

ImageViewAccessible::ImageViewAccessible(TCustomImageView *view) : QAccessibleWidget(view, QAccessible::Graphic) {}

void ImageViewAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(imageViewFactory);
        return true;
    }();
    (void)installed;
}

TCustomImageView *ImageViewAccessible::view() const { return static_cast<TCustomImageView *>(widget()); }

QString ImageViewAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && view()->accessibleName().isEmpty())
        return QFileInfo(view()->loadedName()).fileName();
    return QAccessibleWidget::text(t);
}

} // namespace brisvale
