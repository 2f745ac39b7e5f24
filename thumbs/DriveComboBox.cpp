#include "thumbs/DriveComboBox.h"

#include "platform/FileSystem.h"
#include "thumbs/ChoiceAccessible.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QStorageInfo>

#include <algorithm>

namespace brisvale {

namespace fs = platform::fs;

DriveComboBox::DriveComboBox(QWidget *parent) : QComboBox(parent)
{
    refresh();
    ChoiceAccessible::serve(this);
    connect(this, &QComboBox::activated, this, [this](int index) { emit driveChanged(itemText(index)); });
}

QStringList DriveComboBox::availableDrives()
{
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        // Files bound into place (resolv.conf and the like) are no drives.
        if (!volume.isValid() || !volume.isReady() || root.isEmpty() || root == u"/" || !QFileInfo(root).isDir())
            continue;
        // Kernel and runtime file systems are no place for pictures; removable
        // media mounted under /run/media are.
        static const QList<QByteArray> pseudo = {"proc",    "sysfs",       "devtmpfs",  "devpts",  "cgroup",
                                                 "cgroup2", "securityfs",  "pstore",    "bpf",     "tracefs",
                                                 "debugfs", "mqueue",      "hugetlbfs", "fusectl", "configfs",
                                                 "autofs",  "binfmt_misc", "squashfs",  "nsfs",    "efivarfs"};
        if (pseudo.contains(volume.fileSystemType()))
            continue;
        const auto under = [&root](const char *top) {
            const QString t = QLatin1String(top);
            return root == t || root.startsWith(t + u'/');
        };
        if (under("/proc") || under("/sys") || under("/dev") || under("/boot")
            || (under("/run") && !under("/run/media")))
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
