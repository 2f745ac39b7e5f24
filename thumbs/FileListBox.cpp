#include "thumbs/FileListBox.h"

#include "platform/FileSystem.h"
#include "thumbs/CurrentItemFocus.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace brisvale {

namespace fs = platform::fs;

namespace {

QByteArray sourceTag(const FileListBox *list) { return QByteArray::number(reinterpret_cast<quintptr>(list), 16); }

} // namespace

FileListBox::FileListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
}

void FileListBox::setDirectory(const QString &directory)
{
    directory_ = directory;
    refresh();
}

void FileListBox::setMask(const QString &mask)
{
    mask_ = mask;
    refresh();
}

void FileListBox::refresh()
{
    const QListWidgetItem *selected = currentItem();
    const QString keep = selected && selected->isSelected() ? selected->text() : QString();
    const QSignalBlocker block(this);
    clear();
    if (directory_.isEmpty())
        return;
    QFileIconProvider icons;
    for (const QString &name : fs::findFiles(directory_, mask_, fs::Entries::Files))
        addItem(new QListWidgetItem(icons.icon(QFileInfo(fs::join(directory_, name))), name));
    if (!keep.isEmpty())
        selectFile(keep);
}

QString FileListBox::fileName() const
{
    const QListWidgetItem *it = currentItem();
    if (!it || !it->isSelected())
        return QString();
    return fs::join(directory_, it->text());
}

bool FileListBox::selectFile(const QString &name)
{
    const auto found = findItems(name, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (found.isEmpty())
        return false;
    setCurrentItem(found.first());
    return true;
}

QStringList FileListBox::fileNames() const
{
    QStringList names;
    for (int i = 0; i < count(); ++i)
        names << item(i)->text();
    return names;
}

QMimeData *FileListBox::dragData() const
{
    auto *data = new QMimeData;
    const QString path = fileName();
    data->setData(QLatin1String(kMimeType), sourceTag(this));
    if (!path.isEmpty())
        data->setUrls({QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())});
    return data;
}

bool FileListBox::isSourceOf(const QMimeData *data) const
{
    return data && data->data(QLatin1String(kMimeType)) == sourceTag(this);
}

QMimeData *FileListBox::mimeData(const QList<QListWidgetItem *> &) const { return dragData(); }

void FileListBox::startDrag(Qt::DropActions supportedActions)
{
    if (dragAllowed && !dragAllowed())
        return;
    if (fileName().isEmpty())
        return;
    QListWidget::startDrag(supportedActions);
}

void FileListBox::focusInEvent(QFocusEvent *event)
{
    QListWidget::focusInEvent(event);
    tellCurrentEntry(this);
}

} // namespace brisvale
