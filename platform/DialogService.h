#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

namespace brisvale::platform {

enum class MessageKind { Information, Warning, Error };
// The icon beside a Yes/No question.
enum class QuestionIcon { Question, Information };

// What an open-file dialog is asked with. The filter is a list of
// "description|masks" pairs joined by '|', masks separated by ';'
// ("Windows WAV files (*.WAV)|*.WAV"); the first pair is in effect when the
// dialog opens. Masks match without regard to case.
struct OpenFileRequest {
    QString title;
    QString filter;
    QString initialDir;
    QString fileName;
    // Asks for a file to write instead: it need not exist, and replacing one
    // is confirmed first.
    bool save = false;
};

// The filter's pairs as Qt name filters ("Description (*.wav *.WAV ...)"),
// each mask made to match any letter case.
QStringList qtNameFilters(const QString &filter);

// Every modal question the program puts to the player goes through this one
// service, so tests can script the answers and read back the exact words.
class DialogService {
public:
    virtual ~DialogService() = default;

    // A message box with a single OK button.
    virtual void message(MessageKind kind, const QString &text) = 0;
    // A Yes/No question; true only for Yes.
    bool confirm(const QString &text) { return confirm(text, QuestionIcon::Question); }
    virtual bool confirm(const QString &text, QuestionIcon icon) = 0;
    // A Yes/No question whose words a screen reader is given as `spoken`
    // (the card codes it shows said as names, say); the box shows `text`.
    virtual bool confirmSaying(const QString &text, const QString &spoken)
    {
        (void)spoken;
        return confirm(text);
    }
    // The chosen path, or nothing when the player cancelled.
    virtual std::optional<QString> openFile(const OpenFileRequest &request) = 0;
    // The chosen colour, or nothing when the player cancelled.
    virtual std::optional<QColor> chooseColor(const QColor &initial) = 0;
};

// The service in force. Until one is installed, a scripted service that
// answers "cancel" to everything stands in, so nothing ever blocks.
DialogService &dialogs();
// Installs a service (not owned); nullptr restores the stand-in.
void setDialogService(DialogService *service);

} // namespace brisvale::platform
