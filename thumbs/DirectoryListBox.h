#pragma once

#include <QHash>
#include <QListWidget>

namespace brisvale {

// The folder tree of one drive as a list: the drive's root, each folder on
// the way down to the current one, then the current folder's subfolders.
// Activating an entry (double click, Enter) makes it the current folder.
class DirectoryListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirectoryListBox(QWidget *parent = nullptr);

    // The current folder, absolute, without a trailing separator (except "/").
    QString directory() const { return directory_; }
    // Makes the folder current (relative paths and letter-case variants are
    // resolved; an empty path means the process's current folder) and emits
    // directoryChanged when it differs. A folder that does not exist is refused.
    bool setDirectory(const QString &path);

    QString drive() const { return drive_; }
    // Switches to the folder last current on that drive (its root the first
    // time), which emits directoryChanged.
    void setDrive(const QString &root);

    // The folder an entry stands for.
    QString folderAt(int row) const;

signals:
    void directoryChanged(const QString &directory);

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    void rebuild();

    QString directory_;
    QString drive_ = QStringLiteral("/");
    QHash<QString, QString> lastOnDrive_;
};

} // namespace brisvale
