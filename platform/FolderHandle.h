#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <sys/stat.h>

namespace brisvale::platform {

class FolderHandle;

// A file being written in a held folder, through the descriptor that made
// it. It has no name until the folder gives it one, or a short temporary one
// where the file system cannot make a file without a name; a temporary name
// still its own is removed when the object goes.
class NewFile {
public:
    NewFile() = default;
    ~NewFile();
    NewFile(NewFile &&other) noexcept;
    NewFile &operator=(NewFile &&other) noexcept;
    NewFile(const NewFile &) = delete;
    NewFile &operator=(const NewFile &) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

private:
    friend class FolderHandle;
    void discard();
    int fd_ = -1;
    int folder_ = -1; // the folder's descriptor, not owned
    QByteArray temp_; // empty once it has no temporary name of its own
};

// A folder held open by its descriptor. Every file made, replaced or removed
// in it is named relative to that descriptor and checked there at the moment
// it is acted on, without following a link, so another program writing in
// the folder (or swapping the folder itself for a link) can send nothing
// elsewhere: a racing writer at worst spoils its own names in the folder.
class FolderHandle {
public:
    FolderHandle() = default;
    // "" is the current folder. Links on the way to the folder are followed.
    explicit FolderHandle(const QString &path);
    ~FolderHandle();
    FolderHandle(FolderHandle &&other) noexcept;
    FolderHandle &operator=(FolderHandle &&other) noexcept;
    FolderHandle(const FolderHandle &) = delete;
    FolderHandle &operator=(const FolderHandle &) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // What stands at the name, a link not followed.
    bool statOf(const QString &name, struct stat &st) const;

    // A new empty file (0666 less the umask). `unnamed` asks for a file with
    // no name at all where the file system can make one; otherwise, and as a
    // fallback, it is created exclusively under a fresh name `prefix`XXXXXX.
    NewFile create(const char *prefix, bool unnamed) const;
    // Gives the written file `name` unless anything stands there (false with
    // errno EEXIST). False too, undone, when what came to stand at the name
    // is not the file written.
    bool link(NewFile &file, const QString &name) const;
    // Puts the written file in place of whatever regular file stands at
    // `name`; false when it could not, or when what came to stand at the
    // name is not the file written (that is taken away again).
    bool replace(NewFile &file, const QString &name) const;
    // Removes the name when `accept` takes what stands there at that moment.
    bool removeIf(const QString &name, const std::function<bool(const struct stat &)> &accept) const;
    // The names in the folder, "." and ".." left out, in no order.
    QStringList entries() const;

private:
    // True when the name now stands for the file written.
    bool holds(const NewFile &file, const QByteArray &name) const;
    int fd_ = -1;
};

} // namespace brisvale::platform
