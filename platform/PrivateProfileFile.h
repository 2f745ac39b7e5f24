#pragma once

#include "platform/FolderHandle.h"
#include "platform/ProfileDocument.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <sys/types.h>
#include <vector>

namespace brisvale::platform {

// One private-profile (INI) file kept open for a run of reads and changes:
// the file is read once and read again only when it changed on disk.
//
// The file may lie in a folder anyone fills. It is opened without following
// a link and without waiting, so a link, pipe, device or folder in its place
// reads as empty and cannot be written (ProfileWriteError). A write takes the
// advisory lock beside the file (waiting a bounded time only), reads the file
// again if another program changed it, applies this object's changes to that,
// writes the whole through the descriptor of a short-named temporary file it
// created in the same folder and renames it over the old file, checking
// through the held folder that the name then stands for what was written:
// two programs never lose each other's entries, a crash leaves the old file
// or the new one, and nothing is written through a link another program
// swapped in. While writes are deferred the folder is held open, so a
// folder swapped for a link meanwhile sends nothing elsewhere.
class PrivateProfileFile {
public:
    explicit PrivateProfileFile(QString path);

    const QString &path() const { return path_; }

    // Nothing when the file, the section or the key is missing.
    std::optional<QString> value(const QString &section, const QString &key);

    // A change is written at once unless writes are deferred. Throws
    // ProfileWriteError when it cannot be written.
    void setValue(const QString &section, const QString &key, const QString &value);
    void removeKey(const QString &section, const QString &key);

    // While deferred, changes are kept in memory (reads see them) and written
    // by flush(), or by flushIfDue() the first time and then once the time
    // since the last write is long against what a write costs. Ending the
    // deferral writes them.
    void setDeferred(bool on);
    void flush();
    void flushIfDue();
    bool hasPendingChanges() const { return !pending_.empty(); }

    // Told, under the lock, of each value on disk that a written change
    // replaced or removed and that no value of the file names any more.
    void setOnReplaced(std::function<void(const QString &)> hook) { onReplaced_ = std::move(hook); }

    // Runs `step` under the file's lock on the file as it is now, with the
    // pending changes written first.
    void locked(const std::function<void(const ProfileDocument &)> &step);

    // Called now and then while another program holds the lock; false gives
    // up waiting (the write then fails as any other).
    void setWaitHook(std::function<bool()> hook) { waitHook_ = std::move(hook); }

    // The lock file beside a file: hidden, named after it.
    static QString lockPathFor(const QString &path);

private:
    struct Change {
        QString section;
        QString key;
        std::optional<QString> value;
    };
    struct Stamp {
        bool present = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        qint64 modified = 0;
        bool operator==(const Stamp &) const = default;
    };
    // Reads the file again when its stamp changed; false when it cannot be
    // read (not a regular file, a link, too large).
    bool refresh();
    void change(Change c);
    // Under the lock: applies and writes the pending changes.
    void writePending();
    QString resolved() const;
    // The file's folder: opened afresh for each step, held while deferred
    // and under the lock.
    const FolderHandle &folder();

    QString path_;
    ProfileDocument doc_;
    std::optional<Stamp> stamp_; // of what doc_ was read from; nothing before the first read
    bool readable_ = true;
    std::vector<Change> pending_;
    bool deferred_ = false;
    bool wroteWhileDeferred_ = false;
    QElapsedTimer sinceWrite_;
    qint64 lastWriteCost_ = 0;
    std::function<void(const QString &)> onReplaced_;
    std::function<bool()> waitHook_;
    FolderHandle folder_;
    bool held_ = false;
};

} // namespace brisvale::platform
