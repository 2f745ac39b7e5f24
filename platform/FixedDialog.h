#pragma once

#include <QObject>

namespace brisvale::platform {

// A dialog of fixed size: a title bar with the system menu and a close box,
// and the window manager told there is no minimise or maximise button.
// Openbox heeds none of that for a dialog: it takes minimise and maximise
// away from menus and toolbars only, draws a dead maximise button between
// the title and the minimise one, and a fixed size only makes that button
// dead. A dialog there is kept from being minimised away below.
inline constexpr Qt::WindowFlags kFixedDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                                     | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// Keeps a modal window, and the windows it stands over, from being minimised
// away: a window manager without a task bar offers no way back, and the
// program waits on the modal window meanwhile. Installed once on the
// application.
class ModalWindowKeeper : public QObject {
public:
    explicit ModalWindowKeeper(QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace brisvale::platform
