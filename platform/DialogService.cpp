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

void setDialogService(DialogService *service) { installed = service; }

QStringList qtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList masks;
        for (const QString &mask : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            QString anyCase;
            for (QChar c : mask.trimmed()) {
                if (c.isLetter() && c.toLower() != c.toUpper())
                    anyCase += QStringLiteral("[%1%2]").arg(c.toLower(), c.toUpper());
                else
                    anyCase += c;
            }
            masks << anyCase;
        }
        // The description is shown as written; the dialog hides the patterns.
        out << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), masks.join(u' '));
    }
    return out;
}

} // namespace brisvale::platform
