#pragma once

#include "picture/PictureSelector.h"

#include <QDialog>
#include <functional>
#include <optional>

class QAction;
class QActionGroup;
class QTimer;
class QMenu;
class QMenuBar;

namespace brisvale {

class TImageView;
class TPictureSaveDialog;
class TThumbDialog;

// The reward window: one of the player's pictures, chosen by the picture mode,
// shown full screen until a left click. Made once at start-up and opened
// modally as often as the game likes.
class TPicture : public QDialog {
    Q_OBJECT
public:
    explicit TPicture(QWidget *parent = nullptr);
    ~TPicture() override;

    // Opens the window maximized and returns when it is closed.
    void showModal();

    PictureState &state() { return state_; }
    PictureSelector &selector() { return selector_; }
    PictureMode markedMode() const;

    TImageView *ImageView1 = nullptr;
    QMenuBar *MainMenu1 = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *FixedPicture1 = nullptr;
    QAction *RandomPictures1 = nullptr;
    QAction *SequentialAZ1 = nullptr;
    TPictureSaveDialog *PictureSaveDialog1 = nullptr;
    TThumbDialog *ThumbDialog1 = nullptr;

    // How the save dialog and the previewer are run: the chosen path, or
    // nothing when the player cancelled. Tests answer in their place.
    std::function<std::optional<QString>(TPictureSaveDialog &)> runSaveDialog;
    std::function<std::optional<QString>(TThumbDialog &)> runThumbDialog;

    void FormCreate();
    // The picture selection, run at every opening and by "New Picture".
    void FormActivate();
    void FormDestroy();
    void PictureCClick();
    void FixedPicture1Click() { markMode(PictureMode::Fixed); }
    void RandomPictures1Click() { markMode(PictureMode::Random); }
    void SequentialAZ1Click() { markMode(PictureMode::Sequential); }
    void Exit1Click() { close(); }
    void ImageView1Click() { close(); }
    void Flip1Click();
    void Rotate1Click();
    void ZoomClick();
    void Zoom1Click();
    void NewPicture1Click();
    void LastPicture1Click();
    void SaveImage1Click();
    void ThumbnailsClick();

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void markMode(PictureMode mode);
    void loadPath(const QString &path);
    // Places the image control over the picture's fitted box in the area under
    // the menu, so the whole picture shows and a click beside it hits the area.
    void fitImageView();
    // A message file shown here scrolls by the steps this timer sends.
    void stepMessagesWhileRunning();
    void waitUntilExposed();
    void storeSettings(bool storeFile);

    PictureState state_;
    PictureSelector selector_;
    QActionGroup *modes_ = nullptr;
    // Everything under the menu bar; the image control lives inside it.
    QWidget *pictureArea_ = nullptr;
    bool fitting_ = false;
    QTimer *messageSteps_ = nullptr;
};

} // namespace brisvale
