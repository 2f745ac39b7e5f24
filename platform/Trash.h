#pragma once

#include <QString>

namespace brisvale::platform {

// The desktop trash as the freedesktop.org trash rules describe it: the home
// trash ($XDG_DATA_HOME/Trash, made with its files/ and info/ when missing)
// for files on the home trash's file system, otherwise the trash at the top
// of the file's own mount (.Trash/<uid> when the administrator made one,
// else .Trash-<uid>). Nothing is ever made beside the file, and a file
// already in the trash is never replaced.
class Trash {
public:
    // The home trash folder.
    static QString homeTrash();
    // Moves the file (a link is moved, not what it names) into the trash,
    // with its .trashinfo record; false when it could not go there.
    static bool moveToTrash(const QString &path);
};

} // namespace brisvale::platform
