#pragma once

#include <QComboBox>
#include <QStringList>

namespace brisvale {

// The descriptions of a "description|masks|description|masks" filter; the
// chosen entry's masks go to a file list. The first entry is chosen when the
// filter is set.
class FilterComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit FilterComboBox(QWidget *parent = nullptr);

    QString filter() const { return filter_; }
    void setFilter(const QString &filter);
    // The masks of the chosen entry.
    QString mask() const;

signals:
    void maskChanged(const QString &mask);

private:
    QString filter_;
    QStringList masks_;
};

} // namespace brisvale
