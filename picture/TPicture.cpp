#include "picture/TPicture.h"

#include "game/RandomGenerator.h"
#include "game/SettingsStore.h"
#include "game/SettingsTable.h"
#include "imaging/TImageView.h"
#include "picture/PictureFit.h"
#include "platform/DialogService.h"
#include "platform/FileSystem.h"
#include "platform/RegistryError.h"
#include "platform/WindowsDirectory.h"
// The save dialog's header hands out its window through a guarded pointer,
// which needs the window's class complete.
#include "thumbs/TPictureSaveDialog.h"
#include "thumbs/TSaveForm.h"
#include "thumbs/TThumbDialog.h"

#include <QAccessible>
#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace brisvale {

namespace fs = platform::fs;

namespace {

void reportRegistryError(const platform::RegistryError &error)
{
    platform::dialogs().message(platform::MessageKind::Error, error.text());
}

// The pictures phones and the web save, offered after the four kinds; they
// are shown, never written.
const QString kPhoneFilter = QStringLiteral("|WebP, AVIF and HEIC files (*.WEBP;*.AVIF;*.HEIC;*.HEIF)"
                                            "|*.WEBP;*.AVIF;*.HEIC;*.HEIF");

// The open dialog's filter, with the current type first.
QString filterFor(const QString &upperExt)
{
    if (upperExt == QLatin1String(".JPG"))
        return QStringLiteral(
            "JPG files (*.JPG)|*.JPG|BMP files (*.BMP)|*.BMP|GIF files (*.GIF)|*.GIF|PCX files (*.PCX)|*.PCX");
    if (upperExt == QLatin1String(".GIF"))
        return QStringLiteral(
            "GIF files (*.GIF)|*.GIF|BMP files (*.BMP)|*.BMP|JPG files (*.JPG)|*.JPG|PCX files (*.PCX)|*.PCX");
    if (upperExt == QLatin1String(".PCX"))
        return QStringLiteral(
            "PCX files (*.PCX)|*.PCX|BMP files (*.BMP)|*.BMP|GIF files (*.GIF)|*.GIF|JPG files (*.JPG)|*.JPG");
    return QStringLiteral(
        "BMP files (*.BMP)|*.BMP|JPG files (*.JPG)|*.JPG|GIF files (*.GIF)|*.GIF|PCX files (*.PCX)|*.PCX");
}

// The folder a stored path really lies in, whatever letter case it was
// stored in.
QString realFolderOf(const QString &path) { return fs::folderOf(QFileInfo(fs::resolve(path)).absoluteFilePath()); }

void moveToFolderOf(const QString &path)
{
    if (fs::fileExists(path))
        fs::setCurrentDirectory(realFolderOf(path));
}

} // namespace

TPicture::TPicture(QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                          | Qt::WindowCloseButtonHint),
      selector_(randomGenerator())
{
    setObjectName(QStringLiteral("Picture"));
    setWindowTitle(QStringLiteral("Left Mouse to Exit, Right for Menu"));
    setModal(true);
    resize(648, 482);
    QFont f = font();
    f.setPixelSize(13);
    setFont(f);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    MainMenu1 = new QMenuBar(this);
    layout->setMenuBar(MainMenu1);
    MainMenu1->installEventFilter(this);
    // The layout keeps the menu bar above this area whether or not the bar has
    // been shown yet, so the picture can never cover the menu.
    pictureArea_ = new QWidget(this);
    pictureArea_->setObjectName(QStringLiteral("PictureArea"));
    layout->addWidget(pictureArea_);
    pictureArea_->installEventFilter(this);

    ImageView1 = new TImageView(pictureArea_);
    ImageView1->setObjectName(QStringLiteral("ImageView1"));
    ImageView1->setGeometry(0, 8, 640, 441);
    ImageView1->setAutoSize(true);
    messageSteps_ = new QTimer(this);
    messageSteps_->setInterval(10);
    connect(messageSteps_, &QTimer::timeout, this, &TPicture::stepMessagesWhileRunning);
    ImageView1->setCenter(true);
    ImageView1->setStretchRatio(true);
    ImageView1->setShownSize([this](QSize picture) { return fittedPictureBox(pictureArea_->size(), picture).size(); });
    ImageView1->setColor(palette().color(QPalette::Button));
    ImageView1->setImageDither(true);
    ImageView1->setImageReadRes(TLoadResolution::lAutoMatic);
    ImageView1->setImageWriteRes(TSaveResolution::sAutoMatic);
    ImageView1->setTifSaveCompress(TTiffCompression::sNONE);
    ImageView1->setJPegSaveQuality(25);
    ImageView1->setJPegSaveSmooth(0);
    ImageView1->setFocusPolicy(Qt::NoFocus);
    connect(ImageView1, &TImageView::clicked, this, &TPicture::ImageView1Click);
    // The control takes its picture's size after every load, flip and rotate;
    // the window then puts it back in the fitted box.
    ImageView1->installEventFilter(this);

    PictureSaveDialog1 = new TPictureSaveDialog(this);
    // Only the kinds Save Image writes.
    PictureSaveDialog1->setFilter(
        QStringLiteral("All Pixs|*.BMP;*.GIF;*.JPG;*.PCX;|BMP|*.BMP|GIF|*.GIF|JPG|*.JPG|PCX|*.PCX"));
    PictureSaveDialog1->setTitle(QStringLiteral("Save Picture File"));
    PictureSaveDialog1->setAutoDisPlay(true);
    PictureSaveDialog1->setAutoPlay(false);
    runSaveDialog = [](TPictureSaveDialog &dialog) -> std::optional<QString> {
        if (dialog.Execute())
            return dialog.FileName();
        return std::nullopt;
    };

    ThumbDialog1 = new TThumbDialog(this);
    ThumbDialog1->AutoLoad = false;
    ThumbDialog1->Title = QStringLiteral("Image Preview");
    ThumbDialog1->DataFileName = QStringLiteral("thumbs.dat");
    runThumbDialog = [](TThumbDialog &dialog) -> std::optional<QString> {
        if (dialog.Execute())
            return dialog.FileName();
        return std::nullopt;
    };

    buildMenus();
    FormCreate();
}

TPicture::~TPicture() { FormDestroy(); }

void TPicture::buildMenus()
{
    MainMenu1->addAction(QStringLiteral("Select Picture"), this, &TPicture::PictureCClick);
    QMenu *mode = MainMenu1->addMenu(QStringLiteral("Picture Mode"));
    modes_ = new QActionGroup(this);
    FixedPicture1 = mode->addAction(QStringLiteral("Fixed Picture"), this, &TPicture::FixedPicture1Click);
    RandomPictures1 = mode->addAction(QStringLiteral("Random Pictures"), this, &TPicture::RandomPictures1Click);
    SequentialAZ1 = mode->addAction(QStringLiteral("Sequential A..Z"), this, &TPicture::SequentialAZ1Click);
    for (QAction *a : {FixedPicture1, RandomPictures1, SequentialAZ1}) {
        a->setCheckable(true);
        modes_->addAction(a);
    }
    RandomPictures1->setChecked(true);

    QMenu *effects = MainMenu1->addMenu(QStringLiteral("Special Effects"));
    effects->addAction(QStringLiteral("Flip"), this, &TPicture::Flip1Click);
    effects->addAction(QStringLiteral("Rotate "), this, &TPicture::Rotate1Click);
    effects->addAction(QStringLiteral("Zoom+"), this, &TPicture::ZoomClick);
    effects->addAction(QStringLiteral("Zoom-"), this, &TPicture::Zoom1Click);
    MainMenu1->addAction(QStringLiteral("Thumbnails"), this, &TPicture::ThumbnailsClick);
    MainMenu1->addAction(QStringLiteral("New Picture"), this, &TPicture::NewPicture1Click);
    MainMenu1->addAction(QStringLiteral("Exit"), this, &TPicture::Exit1Click);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(QStringLiteral("Zoom in"), this, &TPicture::ZoomClick);
    PopupMenu1->addAction(QStringLiteral("Zoom out"), this, &TPicture::Zoom1Click);
    PopupMenu1->addAction(QStringLiteral("Exit"), this, &TPicture::Exit1Click);
    PopupMenu1->addAction(QStringLiteral("Flip"), this, &TPicture::Flip1Click);
    PopupMenu1->addAction(QStringLiteral("Rotate"), this, &TPicture::Rotate1Click);
    PopupMenu1->addAction(QStringLiteral("New Picture"), this, &TPicture::NewPicture1Click);
    PopupMenu1->addAction(QStringLiteral("Save Image"), this, &TPicture::SaveImage1Click);
    PopupMenu1->addAction(QStringLiteral("Last Picture"), this, &TPicture::LastPicture1Click);
}

PictureMode TPicture::markedMode() const
{
    if (FixedPicture1->isChecked())
        return PictureMode::Fixed;
    if (SequentialAZ1->isChecked())
        return PictureMode::Sequential;
    return PictureMode::Random;
}

void TPicture::markMode(PictureMode mode)
{
    QApplication::restoreOverrideCursor();
    (mode == PictureMode::Fixed        ? FixedPicture1
     : mode == PictureMode::Sequential ? SequentialAZ1
                                       : RandomPictures1)
        ->setChecked(true);
}

void TPicture::FormCreate()
{
    state_.thumbnailsUsed = false;
    state_.fileMask = QStringLiteral("*.BMP");
    int code = -1;
    try {
        SettingsStore store;
        state_.currentPicture = readStringSetting(store, SettingId::PictureFile);
        code = readIntegerSetting(store, SettingId::PictureMode);
    } catch (const platform::RegistryError &error) {
        reportRegistryError(error);
    }
    moveToFolderOf(state_.currentPicture);
    state_.currentExt = PictureSelector::upperExtension(state_.currentPicture);
    PictureMode mode = PictureMode::Random;
    if (PictureSelector::modeFromCode(code, mode))
        markMode(mode);
}

void TPicture::storeSettings(bool storeFile)
{
    try {
        SettingsStore store;
        if (storeFile)
            writeStringSetting(store, SettingId::PictureFile, state_.currentPicture);
        writeIntegerSetting(store, SettingId::PictureMode, int(markedMode()));
    } catch (const platform::RegistryError &error) {
        reportRegistryError(error);
    }
}

void TPicture::FormDestroy() { storeSettings(fs::fileExists(state_.currentPicture)); }

void TPicture::showModal()
{
    // Without a window manager a maximize request does nothing, so start at the
    // full working area as well.
    if (QScreen *screen = QApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    show();
    // A message from the selection should stand over a drawn window.
    waitUntilExposed();
    repaint();
    FormActivate();
    exec();
}

void TPicture::waitUntilExposed()
{
    QWindow *handle = windowHandle();
    if (!handle || handle->isExposed())
        return;
    QEventLoop loop;
    QTimer poll;
    const QDeadlineTimer deadline(2000);
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (handle->isExposed() || deadline.hasExpired())
            loop.quit();
    });
    poll.start(10);
    loop.exec();
}

void TPicture::loadPath(const QString &path)
{
    ImageView1->setCursor(Qt::WaitCursor);
    ImageView1->setImageName(path);
    ImageView1->unsetCursor();
    fitImageView();
}

void TPicture::fitImageView()
{
    if (fitting_)
        return;
    fitting_ = true;
    const QRect box = fittedPictureBox(pictureArea_->size(), ImageView1->Picture().size());
    if (ImageView1->geometry() != box)
        ImageView1->setGeometry(box);
    fitting_ = false;
    // The title is an instruction for the mouse; a screen reader names the
    // window by the picture it shows.
    if (QAccessibleInterface *shown = QAccessible::queryAccessibleInterface(ImageView1))
        setAccessibleName((QStringLiteral("Picture ") + shown->text(QAccessible::Name)).trimmed());
    // Every load ends in a fit, so a message that has just started is seen here.
    if (ImageView1->message().running() && !messageSteps_->isActive())
        messageSteps_->start();
}

void TPicture::stepMessagesWhileRunning()
{
    if (ImageView1->message().running())
        ImageView1->postStepMessages();
    else
        messageSteps_->stop();
}

bool TPicture::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && (watched == pictureArea_ || watched == ImageView1))
        fitImageView();
    // Alt leaves the focus on the menu bar, the window's only place for it,
    // and the bar would keep Escape for itself once closed.
    if (watched == MainMenu1 && event->type() == QEvent::KeyPress && !MainMenu1->activeAction()
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Cancel)) {
        reject();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TPicture::FormActivate()
{
    state_.mode = markedMode();
    setCursor(Qt::WaitCursor);
    const PictureSelection s = selector_.select(state_);
    for (const QString &caption : s.captions)
        setWindowTitle(caption);
    if (!s.message.isEmpty())
        platform::dialogs().message(platform::MessageKind::Information, s.message);
    if (s.load)
        loadPath(s.path);
    else if (s.show) {
        ImageView1->setImageName(s.path);
        fitImageView();
    }
    unsetCursor();
}

void TPicture::PictureCClick()
{
    platform::OpenFileRequest request;
    // The remembered path may carry an upper-cased folder; the dialog only
    // finds the file, and enables Open, under its real name.
    if (state_.currentPicture != QLatin1String("Error"))
        request.fileName = fs::resolve(state_.currentPicture);
    else
        request.fileName = property("lastOpenName").toString();
    state_.currentExt = PictureSelector::upperExtension(state_.currentPicture);
    request.filter = filterFor(state_.currentExt) + kPhoneFilter;
    if (fs::fileExists(request.fileName))
        request.initialDir = fs::folderOf(QFileInfo(fs::resolve(request.fileName)).absoluteFilePath());

    const std::optional<QString> chosen = platform::dialogs().openFile(request);
    if (chosen) {
        const QString f = *chosen;
        setProperty("lastOpenName", f);
        // Nothing would be read: the caption and the remembered picture stay
        // with the picture on screen.
        if (!ImageView1->showsKind(f)) {
            platform::dialogs().message(platform::MessageKind::Information,
                                        f
                                            + QStringLiteral(" cannot be shown: the picture window does not read "
                                                             "files of this kind"));
            return;
        }
        setWindowTitle(QStringLiteral("Right Mouse Menu, Left Exits ") + f);
        loadPath(f);
        state_.currentExt = PictureSelector::upperExtension(f);
        PictureSelector::applyMaskRule(state_.currentExt, state_.fileMask);
        setWindowTitle(f);
        state_.currentPicture = f;
        moveToFolderOf(f);
        storeSettings(fs::fileExists(f));
        return;
    }
    const QString castle = fs::join(platform::windowsDirectory(), QStringLiteral("CASTLE.BMP"));
    if (fs::fileExists(castle)) {
        setWindowTitle(QStringLiteral("Left Mouse Exit, Right for Menu Loading "));
        loadPath(castle);
        unsetCursor();
    }
    setWindowTitle(QStringLiteral("Use File Picture to set the Picture BMP, GIF,JPG, or PCX file or directory"));
}

void TPicture::Flip1Click()
{
    unsetCursor();
    ImageView1->FlipImage();
}

void TPicture::Rotate1Click()
{
    unsetCursor();
    ImageView1->RotateImage();
}

void TPicture::ZoomClick()
{
    unsetCursor();
    ImageView1->ZoomIn();
}

void TPicture::Zoom1Click()
{
    unsetCursor();
    ImageView1->ZoomOut();
}

void TPicture::NewPicture1Click()
{
    // The picture on screen by its real name. Its status would read the file
    // again (and tell again what is wrong with a damaged one), and its
    // capitals can name a twin that differs only in letter case.
    const QString shown = ImageView1->loadedFile();
    state_.lastPicture = fs::fileExists(shown) ? fs::resolve(shown) : ImageView1->statusText();
    fitImageView();
    FormActivate();
}

void TPicture::LastPicture1Click()
{
    unsetCursor();
    if (state_.lastPicture.size() < 4)
        state_.lastPicture = state_.currentPicture;
    ImageView1->setImageName(state_.lastPicture);
    fitImageView();
    state_.currentPicture = state_.lastPicture;
    setWindowTitle(QStringLiteral("Right Mouse Menu, Left Exit ") + state_.currentPicture);
}

void TPicture::SaveImage1Click()
{
    if (fs::fileExists(state_.currentPicture))
        PictureSaveDialog1->setInitialDir(fs::join(realFolderOf(state_.currentPicture), QString()));
    if (const std::optional<QString> target = runSaveDialog(*PictureSaveDialog1)) {
        setCursor(Qt::WaitCursor);
        const QString ext = PictureSelector::upperExtension(*target);
        // Any other extension has no writer: nothing is written, and that is said.
        bool written = false;
        if (ext == QLatin1String(".PCX"))
            written = ImageView1->SaveAsPCX(*target);
        else if (ext == QLatin1String(".GIF"))
            written = ImageView1->SaveAsGIF(*target);
        else if (ext == QLatin1String(".JPG"))
            written = ImageView1->SaveAsJPG(*target);
        else if (ext == QLatin1String(".BMP"))
            written = ImageView1->SaveAsBMP(*target);
        else
            platform::dialogs().message(
                platform::MessageKind::Information,
                TSaveForm::unsavableNameText(*target, {QStringLiteral(".BMP"), QStringLiteral(".GIF"),
                                                       QStringLiteral(".JPG"), QStringLiteral(".PCX")}));
        unsetCursor();
        // Only a write that succeeded says so; a file that merely exists
        // already proves nothing.
        if (written)
            platform::dialogs().message(platform::MessageKind::Information,
                                        QStringLiteral(" File ") + *target + QStringLiteral(" saved "));
    }
    ImageView1->update();
}

void TPicture::ThumbnailsClick()
{
    if (state_.thumbnailsUsed || !fs::fileExists(state_.currentPicture))
        return;
    state_.thumbnailsUsed = true;
    // The previews and their data file live in the pictures' own folder.
    const QString folder = realFolderOf(state_.currentPicture);
    ThumbDialog1->PreviewsDir = folder;
    ThumbDialog1->DataFileDir = folder;
    ThumbDialog1->InitialDir = folder;
    // The picked picture is only shown: the remembered pictures and the
    // caption stay as they were.
    if (const std::optional<QString> picked = runThumbDialog(*ThumbDialog1))
        loadPath(*picked);
}

void TPicture::contextMenuEvent(QContextMenuEvent *event)
{
    PopupMenu1->popup(event->globalPos());
    // Opened by the Menu key it starts on its first item, as a menu of the
    // menu bar does, so a screen reader tells that it opened.
    if (event->reason() == QContextMenuEvent::Keyboard)
        PopupMenu1->setActiveAction(PopupMenu1->actions().value(0));
}

} // namespace brisvale
