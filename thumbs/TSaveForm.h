#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace brisvale {

class DirectoryListBox;
class DriveComboBox;
class FileListBox;
class FilterComboBox;
class TMediaPlayer;
class TMediaView;
namespace platform {
class DesignScaler;
}

// The save dialog's window: pick a folder and a name, with a preview of the
// selected file. OK asks before an existing file is replaced; nothing is
// written here.
class TSaveForm : public QDialog {
    Q_OBJECT
public:
    explicit TSaveForm(QWidget *parent = nullptr);
    ~TSaveForm() override;

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    FilterComboBox *FilterComboBox1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    FileListBox *FileListBox1 = nullptr;
    DirectoryListBox *DirectoryListBox1 = nullptr;
    DriveComboBox *DriveComboBox1 = nullptr;
    QFrame *Panel1 = nullptr;
    TMediaView *MediaView1 = nullptr;
    TMediaPlayer *MediaPlayer1 = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QCheckBox *CheckBox2 = nullptr;
    QProgressBar *Gauge1 = nullptr;
    QPushButton *CancelBtn = nullptr;
    QPushButton *OKBtn = nullptr;
    QTimer *Timer1 = nullptr;

    void FormCreate();
    void FormDestroy();
    void FileListBox1Change();
    void CheckBox1Click();
    void CheckBox2Click();
    void FileListBox1DblClick();
    void OKBtnClick();
    void CancelBtnClick();
    void Timer1Timer();

    // The shown folder and the name in the edit box, joined by one separator;
    // a name that starts at the root on its own.
    QString chosenPath() const;
    // What is said of a name under which nothing would be written.
    static QString unsavableNameText(const QString &path, const QStringList &extensions);
    // Told the percentage of a preview read or of a playing media file;
    // answers zero to stop a read that OK, Cancel or closing has overtaken.
    int32_t progressHook(int32_t percent);
    bool stopFlag() const { return stop_; }

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void folderChanged();
    void showFolderLabel();
    void fileListChanged();

    bool stop_ = false;
    bool terminating_ = false;
    bool previewing_ = false;
    bool previewAgain_ = false;
    bool readStopped_ = false;
    std::function<int32_t(int32_t)> previousNotifier_;
    platform::DesignScaler *scaler_ = nullptr;
};

} // namespace brisvale
