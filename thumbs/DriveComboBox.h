#pragma once

#include <QComboBox>
#include <QStringList>

namespace brisvale {

// The drives of this system: the root folder and every mounted volume, each
// shown by its mount point. Choosing one emits driveChanged with its root.
class DriveComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveComboBox(QWidget *parent = nullptr);

    // The roots offered, "/" first, the others in name order.
    static QStringList availableDrives();
    // The drive a path lies on: the longest drive root that contains it.
    static QString driveOf(const QString &path, const QStringList &drives);

    QString drive() const { return currentText(); }
    // Selects the drive of the path (adding it when it is not listed); emits
    // nothing.
    void setDriveOf(const QString &path);
    // Reads the mounted volumes again.
    void refresh();

signals:
    void driveChanged(const QString &root);
};

} // namespace brisvale
