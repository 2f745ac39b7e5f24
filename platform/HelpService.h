#pragma once

#include <QString>

class QWidget;

namespace brisvale::platform {

// Opens the program's help document in a help window at a numbered topic.
// The document named "TANVIK.hlp" is our own, shipped inside the program.
class HelpService {
public:
    static void setHelpFile(const QString &name);
    static QString helpFile();
    // Shows (or raises) the help window at topic `context` (1 = the first).
    static QWidget *showContext(int context);
    // Closes the help window if it is open.
    static void closeWindow();
};

} // namespace brisvale::platform
