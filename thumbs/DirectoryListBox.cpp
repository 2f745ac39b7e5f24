#include "thumbs/DirectoryListBox.h"

#include "platform/FileSystem.h"
#include "thumbs/CurrentItemFocus.h"
#include "thumbs/DriveComboBox.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>

namespace brisvale {

namespace fs = platform::fs;

namespace {
constexpr int kFolderRole = Qt::UserRole + 1;
}

DirectoryListBox::DirectoryListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { setDirectory(item->data(kFolderRole).toString()); });
}

QString DirectoryListBox::folderAt(int row) const
{
    const QListWidgetItem *it = item(row);
    return it ? it->data(kFolderRole).toString() : QString();
}

bool DirectoryListBox::setDirectory(const QString &path)
{
    const QString wanted = path.isEmpty() ? fs::currentDirectory() : path;
    const QFileInfo info(fs::resolve(wanted));
    if (!info.exists() || !info.isDir())
        return false;
    const QString absolute = QDir::cleanPath(info.absoluteFilePath());
    if (absolute == directory_)
        return true;
    directory_ = absolute;
    drive_ = DriveComboBox::driveOf(directory_, DriveComboBox::availableDrives());
    lastOnDrive_.insert(drive_, directory_);
    rebuild();
    emit directoryChanged(directory_);
    return true;
}

void DirectoryListBox::setDrive(const QString &root)
{
    const QString target = lastOnDrive_.value(root, root);
    if (!setDirectory(target))
        setDirectory(root);
}

void DirectoryListBox::rebuild()
{
    clear();
    QFileIconProvider icons;
    const QIcon open = icons.icon(QFileIconProvider::Folder);

    // The chain from the drive's root down to the current folder.
    QStringList chain;
    for (QString at = directory_;; at = fs::folderOf(at)) {
        chain.prepend(at);
        if (at == drive_ || at == u"/" || at.isEmpty())
            break;
    }
    int depth = 0;
    for (const QString &folder : chain) {
        const QString label = folder == drive_ ? folder : fs::fileNameOf(folder);
        auto *it = new QListWidgetItem(open, QString(qsizetype(depth) * 2, u' ') + label, this);
        it->setData(kFolderRole, folder);
        ++depth;
    }
    setCurrentRow(count() - 1);
    for (const QString &name : fs::findFiles(directory_, QStringLiteral("*"), fs::Entries::Directories)) {
        auto *it = new QListWidgetItem(open, QString(qsizetype(depth) * 2, u' ') + name, this);
        it->setData(kFolderRole, fs::join(directory_, name));
    }
}

void DirectoryListBox::focusInEvent(QFocusEvent *event)
{
    QListWidget::focusInEvent(event);
    tellCurrentEntry(this);
}

} // namespace brisvale
