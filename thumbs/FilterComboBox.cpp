#include "thumbs/FilterComboBox.h"

#include <QSignalBlocker>

namespace brisvale {

FilterComboBox::FilterComboBox(QWidget *parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) { emit maskChanged(mask()); });
}

void FilterComboBox::setFilter(const QString &filter)
{
    filter_ = filter;
    masks_.clear();
    {
        const QSignalBlocker block(this);
        clear();
        const QStringList parts = filter.split(u'|');
        for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
            addItem(parts[i]);
            masks_ << parts[i + 1];
        }
        // A lone description without masks still shows, matching everything.
        if (parts.size() % 2 == 1 && !parts.last().isEmpty()) {
            addItem(parts.last());
            masks_ << QStringLiteral("*.*");
        }
        setCurrentIndex(count() > 0 ? 0 : -1);
    }
    emit maskChanged(mask());
}

QString FilterComboBox::mask() const
{
    const int index = currentIndex();
    return index >= 0 && index < masks_.size() ? masks_[index] : QStringLiteral("*.*");
}

} // namespace brisvale
