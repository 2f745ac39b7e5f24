#pragma once

#include "platform/HiveDocument.h"

#include <QString>
#include <functional>
#include <optional>

namespace brisvale::platform {

// The current user's registry hive, kept as a REGEDIT4 text file. Every read
// takes the file as it is on disk now. Every change is made under an advisory
// lock on a lock file beside the hive: the hive is read afresh, changed, written
// to a temporary file in the same folder, flushed to disk and renamed over the
// old one. Two running copies of the program therefore never lose each
// other's values or leave a mixed file, and a crash leaves either the old hive
// or the new one. flush() makes the renames themselves durable.
class RegistryHive {
public:
    // Files larger than this are not taken for a hive.
    static constexpr qint64 kMaximumSize = qint64(16) * 1024 * 1024;

    // $XDG_CONFIG_HOME/brisvale/registry.reg, or ~/.config/brisvale/registry.reg.
    static QString defaultPath();

    explicit RegistryHive(QString filePath = defaultPath());

    const QString &filePath() const { return path_; }

    // The hive as it is now; a missing file is an empty hive. Nothing when
    // the file cannot be read.
    std::optional<HiveDocument> read() const;

    // Applies `change` to the hive read under the lock and writes the result
    // back when `change` returns true. False when the hive could not be read
    // or written; the file on disk is then unchanged.
    bool modify(const std::function<bool(HiveDocument &)> &change) const;

    // Commits the folder entry of the last replacement to disk.
    bool flush() const;

    // For tests: runs once the new hive is complete in its temporary file,
    // just before it replaces the old one. Returning false abandons the write
    // as a failing disk would.
    void setBeforeReplace(std::function<bool()> hook) { beforeReplace_ = std::move(hook); }

private:
    QString path_;
    std::function<bool()> beforeReplace_;
};

} // namespace brisvale::platform
