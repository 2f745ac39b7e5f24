#include "thumbs/DriveComboBox.h"

#include "platform/FileSystem.h"

#include <QFileIconProvider>
#include <QSignalBlocker>
#include <QStorageInfo>

#include <algorithm>

namespace brisvale {

namespace fs = platform::fs;

DriveComboBox::DriveComboBox(QWidget *parent) : QComboBox(parent)
{
    refresh();
    connect(this, &QComboBox::activated, this, [this](int index) { emit driveChanged(itemText(index)); });
}

QStringList DriveComboBox::availableDrives()
{
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (!volume.isValid() || !volume.isReady() || root.isEmpty() || root == u"/")
            continue;
        // Kernel and runtime file systems are no place for pictures.
        if (root.startsWith(u"/proc") || root.startsWith(u"/sys") || root.startsWith(u"/dev")
            || root.startsWith(u"/run"))
            continue;
        if (!roots.contains(root))
            roots << root;
    }
    std::sort(roots.begin(), roots.end(), fs::nameLess);
    roots.prepend(QStringLiteral("/"));
    return roots;
}

QString DriveComboBox::driveOf(const QString &path, const QStringList &drives)
{
    QString best = QStringLiteral("/");
    for (const QString &root : drives) {
        const bool inside = path == root || path.startsWith(root.endsWith(u'/') ? root : root + u'/');
        if (inside && root.size() > best.size())
            best = root;
    }
    return best;
}

void DriveComboBox::refresh()
{
    const QSignalBlocker block(this);
    const QString current = currentText();
    clear();
    const QIcon icon = QFileIconProvider().icon(QFileIconProvider::Drive);
    for (const QString &root : availableDrives())
        addItem(icon, root);
    const int index = findText(current);
    setCurrentIndex(index >= 0 ? index : 0);
}

void DriveComboBox::setDriveOf(const QString &path)
{
    QStringList drives;
    for (int i = 0; i < count(); ++i)
        drives << itemText(i);
    const QString root = driveOf(path, drives);
    const QSignalBlocker block(this);
    int index = findText(root);
    if (index < 0) {
        addItem(QFileIconProvider().icon(QFileIconProvider::Drive), root);
        index = count() - 1;
    }
    setCurrentIndex(index);
}

} // namespace brisvale
