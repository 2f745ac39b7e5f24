#pragma once

#include <QListWidget>
#include <functional>

class QMimeData;

namespace brisvale {

// The files of one folder that match a mask ("*.JPG;*.GIF", any letter case),
// in case-insensitive name order, each with the icon of its type. Items can
// be dragged; the drag carries the file and names the list it came from.
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    static constexpr const char *kMimeType = "application/x-brisvale-file-list";

    explicit FileListBox(QWidget *parent = nullptr);

    QString directory() const { return directory_; }
    void setDirectory(const QString &directory);
    QString mask() const { return mask_; }
    void setMask(const QString &mask);
    // Reads the folder again, keeping the selected name when it is still there.
    void refresh();

    // Full path of the selected file, empty when none is selected.
    QString fileName() const;
    // Selects the named file (no folder); false when it is not listed.
    bool selectFile(const QString &name);
    QStringList fileNames() const;

    // Asked before a drag starts; a drag starts only when it answers true.
    std::function<bool()> dragAllowed;

    // What a drag of the selected file carries.
    QMimeData *dragData() const;
    // True when the drag data came from this very list.
    bool isSourceOf(const QMimeData *data) const;

protected:
    void focusInEvent(QFocusEvent *event) override;
    QMimeData *mimeData(const QList<QListWidgetItem *> &items) const override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    QString directory_;
    QString mask_ = QStringLiteral("*.*");
};

} // namespace brisvale
