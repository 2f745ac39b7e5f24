#pragma once

#include "platform/DialogService.h"

class QWidget;

namespace brisvale::platform {

// The real dialogs: Qt message boxes, file and colour dialogs, parented to
// the active window so they stay on top of the program.
class QtDialogService : public DialogService {
public:
    void message(MessageKind kind, const QString &text) override;
    using DialogService::confirm;
    bool confirm(const QString &text, QuestionIcon icon) override;
    bool confirmSaying(const QString &text, const QString &spoken) override;
    std::optional<QString> openFile(const OpenFileRequest &request) override;
    std::optional<QColor> chooseColor(const QColor &initial) override;
};

} // namespace brisvale::platform
