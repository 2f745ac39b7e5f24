#include "platform/DialogService.h"

#include "platform/ScriptedDialogService.h"

namespace brisvale::platform {

namespace {
DialogService *installed = nullptr;
}

DialogService &dialogs()
{
    if (installed)
        return *installed;
    static ScriptedDialogService fallback;
    return fallback;
}

void setDialogService(DialogService *service)
{
    installed = service;
}

} // namespace brisvale::platform
