#include "platform/ScriptedDialogService.h"

namespace brisvale::platform {

namespace {
// Answers the front of the queue, or the default answer (No, cancel) when the
// script has run out.
template <typename T>
T takeFront(std::deque<T> &queue)
{
    T value{};
    if (!queue.empty()) {
        value = queue.front();
        queue.pop_front();
    }
    return value;
}
} // namespace

void ScriptedDialogService::message(MessageKind kind, const QString &text)
{
    Kind k = Kind::Information;
    if (kind == MessageKind::Warning)
        k = Kind::Warning;
    else if (kind == MessageKind::Error)
        k = Kind::Error;
    entries_.push_back({k, text, {}, {}, QuestionIcon::Question, text});
}

bool ScriptedDialogService::confirm(const QString &text, QuestionIcon icon)
{
    entries_.push_back({Kind::Question, text, {}, {}, icon, text});
    return takeFront(confirms_);
}

bool ScriptedDialogService::confirmSaying(const QString &text, const QString &spoken)
{
    entries_.push_back({Kind::Question, text, {}, {}, QuestionIcon::Question, spoken});
    return takeFront(confirms_);
}

std::optional<QString> ScriptedDialogService::openFile(const OpenFileRequest &request)
{
    entries_.push_back({Kind::OpenFile, request.title, request, {}, QuestionIcon::Question, {}});
    return takeFront(files_);
}

std::optional<QColor> ScriptedDialogService::chooseColor(const QColor &initial)
{
    entries_.push_back({Kind::Color, QString(), {}, initial, QuestionIcon::Question, {}});
    return takeFront(colors_);
}

QStringList ScriptedDialogService::texts() const
{
    QStringList out;
    for (const Entry &e : entries_) {
        if (e.kind != Kind::OpenFile && e.kind != Kind::Color)
            out << e.text;
    }
    return out;
}

void ScriptedDialogService::clear()
{
    entries_.clear();
    confirms_.clear();
    files_.clear();
    colors_.clear();
}

} // namespace brisvale::platform
