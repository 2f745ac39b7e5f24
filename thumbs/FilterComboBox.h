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
    // Whether the name matches a mask of any entry.
    bool accepts(const QString &name) const;
    // The extensions the entries' masks name, each once, as ".BMP".
    QStringList extensions() const;

signals:
    void maskChanged(const QString &mask);

private:
    QString filter_;
    QStringList masks_;
};

} // namespace brisvale
