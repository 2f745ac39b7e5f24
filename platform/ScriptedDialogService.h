#pragma once

#include "platform/DialogService.h"

#include <deque>
#include <vector>

namespace brisvale::platform {

// A dialog service for tests: records every text shown and answers from
// queues. An empty queue answers No / cancel.
class ScriptedDialogService : public DialogService {
public:
    enum class Kind { Information, Warning, Error, Question, OpenFile, Color };
    struct Entry {
        Kind kind;
        QString text;
        OpenFileRequest request; // for OpenFile
        QColor initial;          // for Color
        QuestionIcon icon;       // for Question
        QString spoken;          // for Question: the words a screen reader is given
    };

    void message(MessageKind kind, const QString &text) override;
    using DialogService::confirm;
    bool confirm(const QString &text, QuestionIcon icon) override;
    bool confirmSaying(const QString &text, const QString &spoken) override;
    std::optional<QString> openFile(const OpenFileRequest &request) override;
    std::optional<QColor> chooseColor(const QColor &initial) override;

    void queueConfirm(bool yes) { confirms_.push_back(yes); }
    void queueOpenFile(std::optional<QString> path) { files_.push_back(std::move(path)); }
    void queueColor(std::optional<QColor> color) { colors_.push_back(color); }

    const std::vector<Entry> &entries() const { return entries_; }
    // The texts of all message boxes and questions, in order.
    QStringList texts() const;
    void clear();

private:
    std::vector<Entry> entries_;
    std::deque<bool> confirms_;
    std::deque<std::optional<QString>> files_;
    std::deque<std::optional<QColor>> colors_;
};

} // namespace brisvale::platform
