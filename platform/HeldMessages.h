#pragma once

#include "platform/DialogService.h"

namespace brisvale::platform {

// Holds the messages told meanwhile and tells them together in one box when
// flushed: one damaged file is one box, though its reader, the control that
// shows it and the file's details each say what is wrong. The same words are
// told once, and the box is an error if any message was one. Questions go
// straight on to the service it stands over.
class HeldMessages : public DialogService {
public:
    explicit HeldMessages(DialogService &inner) : inner_(inner) {}

    void message(MessageKind kind, const QString &text) override;
    using DialogService::confirm;
    bool confirm(const QString &text, QuestionIcon icon) override { return inner_.confirm(text, icon); }
    bool confirmSaying(const QString &text, const QString &spoken) override
    {
        return inner_.confirmSaying(text, spoken);
    }
    std::optional<QString> openFile(const OpenFileRequest &request) override { return inner_.openFile(request); }
    std::optional<QColor> chooseColor(const QColor &initial) override { return inner_.chooseColor(initial); }

    // Tells what is held in one box, and forgets it.
    void flush();
    // Forgets what is held without telling it.
    void drop() { held_.clear(); }

private:
    DialogService &inner_;
    QStringList held_;
    MessageKind kind_ = MessageKind::Information;
};

// The service in force while it lives: what is told meanwhile comes in one
// box when it goes, and the service it stood over is back.
class OneMessageBox {
public:
    OneMessageBox() : outer_(dialogs()), held_(outer_) { setDialogService(&held_); }
    ~OneMessageBox()
    {
        setDialogService(&outer_);
        held_.flush();
    }
    OneMessageBox(const OneMessageBox &) = delete;
    OneMessageBox &operator=(const OneMessageBox &) = delete;

private:
    DialogService &outer_;
    HeldMessages held_;
};

} // namespace brisvale::platform
