#include "thumbs/TThumbDialog.h"

#include "platform/DialogService.h"
#include "thumbs/DirectoryListBox.h"
#include "thumbs/TThumbForm.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>

namespace brisvale {

namespace {

QString programFolder()
{
    QString dir = QCoreApplication::applicationDirPath();
    if (dir.isEmpty())
        dir = QFileInfo(QStringLiteral(".")).absoluteFilePath();
    return dir.endsWith(u'/') ? dir : dir + u'/';
}

} // namespace

TThumbDialog::TThumbDialog(QObject *parent)
    : QObject(parent), DataFileDir(programFolder()), PreviewsDir(programFolder())
{}

bool TThumbDialog::Execute()
{
    using platform::MessageKind;
    if (DataFileName.isEmpty()) {
        platform::dialogs().message(MessageKind::Error, QStringLiteral("No DataFileName!"));
        return false;
    }
    if (DataFileDir.isEmpty()) {
        platform::dialogs().message(MessageKind::Error, QStringLiteral("No Directory for DataFile!"));
        return false;
    }
    if (PreviewsDir.isEmpty()) {
        platform::dialogs().message(MessageKind::Error, QStringLiteral("No Directory for Previews!"));
        return false;
    }

    TThumbForm form;
    form.DirectoryListBox1->setDirectory(InitialDir);
    form.AutoLoad->setChecked(AutoLoad);
    form.setWindowTitle(Title);
    form.DataFileName = DataFileName;
    form.DataFileDir = DataFileDir;
    form.PreviewsDir = PreviewsDir;
    const int result = form.exec();
    fileName_ = form.currentFile();
    return result == QDialog::Accepted;
}

} // namespace brisvale
