#include "thumbs/TPictureSaveDialog.h"

#include "imaging/MediaTypes.h"
#include "imaging/TMediaView.h"
#include "platform/FileSystem.h"
#include "thumbs/DirectoryListBox.h"
#include "thumbs/FilterComboBox.h"
#include "thumbs/TSaveForm.h"

#include <QCheckBox>
#include <QWidget>

namespace brisvale {

TPictureSaveDialog::TPictureSaveDialog(QObject *owner) : QObject(owner), filter_(MediaFilter()) {}

TPictureSaveDialog::~TPictureSaveDialog() { delete form_; }

bool TPictureSaveDialog::Execute()
{
    QWidget *window = qobject_cast<QWidget *>(parent());
    form_ = new TSaveForm(window ? window->window() : nullptr);
    TSaveForm &form = *form_;
    form.FilterComboBox1->setFilter(filter_);
    // A folder removed since it was remembered gives way to the nearest one left.
    form.DirectoryListBox1->setDirectory(platform::fs::nearestExistingFolder(initialDir_));
    form.CheckBox1->setChecked(autoDisplay_);
    form.CheckBox2->setChecked(autoPlay_);
    form.MediaView1->setAutoPlayMedia(autoPlay_);
    form.setWindowTitle(title_);

    const bool ok = form.exec() == QDialog::Accepted;
    if (form_) {
        fileName_ = form_->chosenPath();
        delete form_;
    }
    return ok;
}

} // namespace brisvale
