#include "thumbs/FilterComboBox.h"

#include "platform/FileSystem.h"
#include "thumbs/ChoiceAccessible.h"

#include <QSignalBlocker>
#include <algorithm>

namespace brisvale {

FilterComboBox::FilterComboBox(QWidget *parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) { emit maskChanged(mask()); });
    ChoiceAccessible::serve(this);
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

namespace brisvale {

bool FilterComboBox::accepts(const QString &name) const
{
    if (masks_.isEmpty())
        return true;
    return std::any_of(masks_.begin(), masks_.end(), [&](const QString &masks) {
        const QStringList list = masks.split(u';', Qt::SkipEmptyParts);
        return std::any_of(list.begin(), list.end(),
                           [&](const QString &mask) { return platform::fs::matchesMask(name, mask); });
    });
}

QStringList FilterComboBox::extensions() const
{
    QStringList out;
    for (const QString &masks : masks_) {
        for (const QString &mask : masks.split(u';', Qt::SkipEmptyParts)) {
            const QString m = mask.trimmed();
            if (m.startsWith(QStringLiteral("*.")) && m.size() > 2 && m.indexOf(u'*', 2) < 0 && !m.contains(u'?'))
                if (const QString ext = platform::fs::upperAscii(m.mid(1)); !out.contains(ext))
                    out << ext;
        }
    }
    return out;
}

} // namespace brisvale
