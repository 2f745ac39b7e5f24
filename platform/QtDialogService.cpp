#include "platform/QtDialogService.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

#include "platform/ApplicationTitle.h"
#include "platform/FileSystem.h"

namespace brisvale::platform {

namespace {
QWidget *owner() { return QApplication::activeWindow(); }
QString title() { return applicationTitle(); }
} // namespace

void QtDialogService::message(MessageKind kind, const QString &text)
{
    switch (kind) {
    case MessageKind::Information: QMessageBox::information(owner(), title(), text); break;
    case MessageKind::Warning: QMessageBox::warning(owner(), title(), text); break;
    case MessageKind::Error: QMessageBox::critical(owner(), title(), text); break;
    }
}

bool QtDialogService::confirm(const QString &text, QuestionIcon icon)
{
    const auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (icon == QuestionIcon::Information)
        return QMessageBox::information(owner(), title(), text, buttons, QMessageBox::No) == QMessageBox::Yes;
    return QMessageBox::question(owner(), title(), text, buttons, QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> QtDialogService::openFile(const OpenFileRequest &request)
{
    QFileDialog dialog(owner(), request.title.isEmpty() ? title() : request.title);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Our own dialog, so the letter-case-free masks work the same everywhere.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = qtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.first());
    }
    // A name typed without an extension gets the filter's.
    const QString firstMask = request.filter.section(u'|', 1, 1).section(u';', 0, 0).trimmed();
    if (request.save && firstMask.startsWith(QStringLiteral("*.")) && firstMask.indexOf(u'*', 1) < 0)
        dialog.setDefaultSuffix(firstMask.mid(2).toLower());
    if (!request.initialDir.isEmpty())
        dialog.setDirectory(fs::resolve(request.initialDir));
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QColor> QtDialogService::chooseColor(const QColor &initial)
{
    const QColor chosen = QColorDialog::getColor(initial, owner(), title());
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

} // namespace brisvale::platform
