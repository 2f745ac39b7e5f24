#pragma once

#include <QObject>

namespace brisvale::platform {

// Keeps a tap of Alt from reaching the menu bars twice while a screen reader
// listens to the keyboard. Qt's bridge to the accessibility bus holds each
// key until the reader has seen it and then sends a copy on; a menu bar has
// already taken the real Alt into its keyboard mode by then, and the late
// copy took it straight out again, so the bar read its first item and Enter
// then did nothing. Installed once on the application.
class AltKeyEchoes : public QObject {
public:
    explicit AltKeyEchoes(QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool pressEchoed_ = false;
};

} // namespace brisvale::platform
