#pragma once

#include "thumbs/ThumbGridModel.h"

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMimeData;
class QProgressBar;
class QRadioButton;
class QTableView;
class QToolButton;

namespace brisvale {

class DirectoryListBox;
class DriveComboBox;
class FileListBox;
class PreviewBatch;
class PreviewStore;
class TImageView;

namespace platform {
class DesignScaler;
}

// The thumbnail previewer: a folder's pictures as a grid of previews, the
// batches that load and make them, and the choice of one picture. Batches run
// inside the button handlers and keep the window live between files.
class TThumbForm : public QDialog {
    Q_OBJECT
public:
    static constexpr QSize kDesignSize{609, 352};

    explicit TThumbForm(QWidget *parent = nullptr);
    ~TThumbForm() override;

    QString DataFileName;
    QString DataFileDir;
    QString PreviewsDir;

    // The path returned when the window closes with OK.
    QString currentFile() const { return currentFile_; }
    // The folder list's folder with a trailing separator.
    QString listedFolder() const;
    // "THB" or "THJ", from the Optimize choice.
    QString previewExtension() const { return extension_; }
    bool stopRequested() const { return stop_; }
    bool isBusy() const { return busy_; }
    bool inBatch() const { return batchDepth_ > 0; }
    // True once the opening has run.
    bool isOpened() const { return opened_; }
    ThumbGridModel &grid() { return *grid_; }
    PreviewStore &store() { return *store_; }
    // How much the window has grown from its design size.
    double scale() const;

    QLabel *Label1 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    FileListBox *FileListBox1 = nullptr;
    DirectoryListBox *DirectoryListBox1 = nullptr;
    DriveComboBox *DriveComboBox1 = nullptr;
    QTableView *Thumbs = nullptr;
    QFrame *Panel1 = nullptr;
    QToolButton *LoadBtn = nullptr;
    QToolButton *CreateNewKeep = nullptr;
    QToolButton *CreateNewDelete = nullptr;
    QToolButton *DeleteAllBtn = nullptr;
    QToolButton *ClearAllBtn = nullptr;
    QCheckBox *AutoLoad = nullptr;
    QCheckBox *GPall = nullptr;
    QToolButton *CloseBtn = nullptr;
    TImageView *ImageView1 = nullptr;
    TImageView *ImageView2 = nullptr;
    QLabel *Label2 = nullptr;
    QToolButton *StopBtn = nullptr;
    QLabel *Image1 = nullptr;
    QProgressBar *Gauge1 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QRadioButton *SaveRes4System = nullptr;
    QRadioButton *SaveRes8 = nullptr;
    QRadioButton *SaveRes24 = nullptr;
    QRadioButton *SaveResAuto = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QRadioButton *RSpeed = nullptr;
    QRadioButton *RSize = nullptr;

    void FormActivate();
    void FormClose();
    void LoadBtnClick();
    void IncAllKeepBtnClick();
    void CreateNewDeleteClick();
    void IncAllBtnClick();
    void DeleteAllBtnClick();
    void ClearAllBtnClick();
    void CancelBtnClick();
    void AbortBtnClick() { stop_ = true; }
    void AutoLoadClick();
    void GPallClick();
    void RSpeedClick();
    void Saveresclick();
    void ComboBox1Change();
    void StopClick() { stop_ = true; }
    void DriveComboBox1Change(const QString &root);
    void DirectoryListBox1Change();
    void FileListBox1Change();
    void FileListBox1DblClick();
    void FileListBox1KeyDown(int key);
    void ThumbsMouseMove(const QPoint &pos);
    void ThumbsMouseDown(Qt::MouseButton button, const QPoint &pos);
    void ThumbsKeyDown(int key);
    void ThumbsDblClick(const QPoint &pos);
    bool ThumbsDragOver(const QPoint &pos, const QMimeData *data);
    void ThumbsDragDrop(const QPoint &pos, const QMimeData *data);
    bool Image1DragOver(const QMimeData *data) const;
    void Image1DragDrop(const QMimeData *data);

    // Empties every cell and the thumbnail cache.
    void clearGrid();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    void done(int result) override;
    void reject() override;

private:
    void buildControls();
    void enterBatchMode();
    void leaveBatchMode();
    // The controls batch mode disables, and the Stop button it shows.
    void setBatchControls(bool enabled);
    // Closes at once, or when the running batch has ended.
    void closeWith(int result);
    void scrollToSlot(const ThumbSlot &slot);
    void scrollToTop();
    void showCurrentFile();
    void deleteOnePreview(int column, int row);
    std::optional<ThumbSlot> slotUnder(const QPoint &viewportPos) const;
    void applyScale(double factor);
    void connectStore();
    void nameForAssistiveTechnology();
    bool forgetShownPreviews();
    // Batch create; `orphans` also clears the previews folder of previews no
    // entry names.
    void createPreviews(bool orphans);
    // Runs a step that may write the data file; a failed write is shown and
    // ends the step.
    bool guarded(const std::function<void()> &step);

    ThumbGridModel *grid_ = nullptr;
    std::unique_ptr<PreviewStore> store_;
    std::unique_ptr<PreviewBatch> batch_;
    platform::DesignScaler *scaler_ = nullptr;
    QString currentFile_;
    QString extension_ = QStringLiteral("THB");
    bool stop_ = false;
    bool busy_ = true;
    bool opened_ = false;
    bool activationQueued_ = false;
    bool closed_ = false;
    int batchDepth_ = 0;
    std::optional<int> pendingResult_;
    std::optional<ThumbSlot> dropSlot_;
    // Where the focus was when the running batch began.
    QPointer<QWidget> batchFocus_;
    bool batchTookFocus_ = false;
};

} // namespace brisvale
