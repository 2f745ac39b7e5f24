#include "thumbs/PictureBin.h"

#include "platform/DialogService.h"
#include "platform/FileSystem.h"
#include "platform/PrivateProfile.h"
#include "platform/Trash.h"
#include "thumbs/FileListBox.h"
#include "thumbs/PreviewStore.h"
#include "thumbs/TThumbForm.h"
#include "thumbs/ThumbGridModel.h"

#include <QTableView>

namespace brisvale {

namespace fs = platform::fs;

bool BinChosenPicture(TThumbForm &form)
{
    const QString path = form.FileListBox1->fileName();
    if (path.isEmpty() || !platform::dialogs().confirm(QStringLiteral("Delete File?")))
        return false;
    const QString real = fs::resolve(path);
    bool gone = platform::Trash::moveToTrash(real);
    if (!gone
        && platform::dialogs().confirm(
            QStringLiteral("%1 cannot be moved to the trash. Delete it for good?").arg(fs::fileNameOf(real)),
            platform::QuestionIcon::Information)) {
        gone = fs::removeFile(real);
        if (!gone)
            platform::dialogs().message(platform::MessageKind::Error,
                                        QStringLiteral("%1 could not be deleted").arg(fs::fileNameOf(real)));
    }
    if (!gone)
        return false;
    const QString name = fs::lowerAscii(fs::fileNameOf(path));
    if (const auto slot = form.grid().findCaption(name)) {
        try {
            form.store().ForgetPreview(name);
            form.grid().setCaption(*slot, QString());
        } catch (const platform::ProfileWriteError &error) {
            platform::dialogs().message(platform::MessageKind::Error, error.text());
        }
    }
    form.FileListBox1->refresh();
    form.Thumbs->viewport()->update();
    return true;
}

} // namespace brisvale
