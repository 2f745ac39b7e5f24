#include "platform/QtDialogService.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QScreen>
#include <QSplitter>
#include <QTreeView>
#include <algorithm>

#include "platform/ApplicationTitle.h"
#include "platform/FileSystem.h"
#include "platform/FixedDialog.h"

namespace brisvale::platform {

namespace {
QWidget *owner() { return QApplication::activeWindow(); }
QString title() { return applicationTitle(); }

// A box of fixed size with only a close box, as the program's dialogs have.
// A screen reader reads its text as `spoken` when that is given.
QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString &text,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
                                    const QString &spoken = QString())
{
    QMessageBox box(icon, title(), text, buttons, owner(), kFixedDialogFlags);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label")); label && !spoken.isEmpty())
        label->setAccessibleName(spoken);
    return QMessageBox::StandardButton(box.exec());
}
} // namespace

void QtDialogService::message(MessageKind kind, const QString &text)
{
    switch (kind) {
    case MessageKind::Information: showBox(QMessageBox::Information, text); break;
    case MessageKind::Warning: showBox(QMessageBox::Warning, text); break;
    case MessageKind::Error: showBox(QMessageBox::Critical, text); break;
    }
}

bool QtDialogService::confirm(const QString &text, QuestionIcon icon)
{
    const auto buttons = QMessageBox::Yes | QMessageBox::No;
    const QMessageBox::Icon shown = icon == QuestionIcon::Information ? QMessageBox::Information
                                                                      : QMessageBox::Question;
    return showBox(shown, text, buttons, QMessageBox::No) == QMessageBox::Yes;
}

bool QtDialogService::confirmSaying(const QString &text, const QString &spoken)
{
    return showBox(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, spoken)
           == QMessageBox::Yes;
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
    // Its own small default cuts names and sizes in its columns: it takes most
    // of a small screen, and no more than it needs of a large one.
    if (const QScreen *screen = dialog.screen()) {
        const QRect room = screen->availableGeometry();
        dialog.resize(std::min(room.width() * 9 / 10, 960), std::min(room.height() * 4 / 5, 640));
    }
    // The size, type and date columns as wide as what they hold, the names
    // taking the rest; the places beside them as wide as their names.
    if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        details->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        details->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    auto *places = dialog.findChild<QListView *>(QStringLiteral("sidebar"));
    auto *splitter = dialog.findChild<QSplitter *>(QStringLiteral("splitter"));
    if (places && splitter && splitter->count() == 2) {
        const int placesWidth = places->sizeHintForColumn(0) + 2 * places->frameWidth() + 8;
        splitter->setSizes({placesWidth, std::max(1, dialog.width() - placesWidth)});
    }
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
