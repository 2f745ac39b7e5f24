#include "thumbs/TThumbForm.h"

#include "imaging/DisplayDepth.h"
#include "imaging/SharedPalette.h"
#include "imaging/TImageView.h"
#include "platform/DesignScaler.h"
#include "platform/DialogService.h"
#include "platform/FileSystem.h"
#include "platform/FittedLabel.h"
#include "platform/FixedDialog.h"
#include "platform/PrivateProfile.h"
#include "thumbs/ButtonArt.h"
#include "thumbs/DirectoryListBox.h"
#include "thumbs/DriveComboBox.h"
#include "thumbs/FileListBox.h"
#include "thumbs/PictureBin.h"
#include "thumbs/PreviewBatch.h"
#include "thumbs/PreviewStore.h"
#include "thumbs/ThumbGridModel.h"
#include "thumbs/ThumbsView.h"
#include "thumbs/WasteBin.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

#include <cmath>

namespace brisvale {

namespace fs = platform::fs;

namespace {

const QString kAllPictures = QStringLiteral("*.JPG;*.GIF;*.PCX;*.BMP;*.PNG;*.TIF;*.WMF;*.ICO");

} // namespace

TThumbForm::TThumbForm(QWidget *parent) : QDialog(parent, platform::kFixedDialogFlags)
{
    setObjectName(QStringLiteral("ThumbForm"));
    setModal(true);
    setWindowTitle(QStringLiteral("Image Preview"));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);

    grid_ = new ThumbGridModel(this);
    store_ = std::make_unique<PreviewStore>();
    buildControls();
    connectStore();
}

TThumbForm::~TThumbForm()
{
    if (!closed_)
        FormClose();
}

void TThumbForm::buildControls()
{
    resize(kDesignSize);
    scaler_ = new platform::DesignScaler(this, kDesignSize);
    auto place = [this](QWidget *w, int left, int top, int width, int height) {
        w->setGeometry(left, top, width, height);
        scaler_->add(w);
    };

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAutoFillBackground(true);
    QPalette labelPalette = Label1->palette();
    labelPalette.setColor(QPalette::Window, Qt::gray);
    labelPalette.setColor(QPalette::WindowText, Qt::white);
    Label1->setPalette(labelPalette);
    place(Label1, 3, 6, 157, 15);

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMaxVisibleItems(15);
    ComboBox1->addItems({kAllPictures, QStringLiteral("*.JPG"), QStringLiteral("*.GIF"), QStringLiteral("*.PCX"),
                         QStringLiteral("*.BMP"), QStringLiteral("*.PNG"), QStringLiteral("*.TIF"),
                         QStringLiteral("*.WMF"), QStringLiteral("*.ICO"),
                         QStringLiteral("*.WEBP;*.AVIF;*.HEIC;*.HEIF")});
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(QStringLiteral("Select file type"));
    place(ComboBox1, 8, 27, 145, 22);
    connect(ComboBox1, &QComboBox::activated, this, [this] { ComboBox1Change(); });
    connect(ComboBox1->lineEdit(), &QLineEdit::returnPressed, this, [this] { ComboBox1Change(); });

    FileListBox1 = new FileListBox(this);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setMask(kAllPictures);
    FileListBox1->setProperty("hint", QStringLiteral("Drag Image on the grid to create thumbnail"));
    FileListBox1->dragAllowed = [this] { return !busy_; };
    place(FileListBox1, 8, 54, 144, 141);
    connect(FileListBox1, &QListWidget::itemSelectionChanged, this, [this] { FileListBox1Change(); });
    connect(FileListBox1, &QListWidget::itemPressed, this, [this] { StopClick(); });
    connect(FileListBox1, &QListWidget::itemDoubleClicked, this, [this] { FileListBox1DblClick(); });
    FileListBox1->installEventFilter(this);

    DirectoryListBox1 = new DirectoryListBox(this);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    place(DirectoryListBox1, 8, 199, 146, 117);
    connect(DirectoryListBox1, &QListWidget::itemPressed, this, [this] { StopClick(); });
    connect(DirectoryListBox1, &DirectoryListBox::directoryChanged, this, [this] { DirectoryListBox1Change(); });

    DriveComboBox1 = new DriveComboBox(this);
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    place(DriveComboBox1, 7, 322, 148, 21);
    connect(DriveComboBox1, &DriveComboBox::driveChanged, this, &TThumbForm::DriveComboBox1Change);

    Thumbs = new ThumbsView(this);
    Thumbs->setObjectName(QStringLiteral("Thumbs"));
    Thumbs->setModel(grid_);
    place(Thumbs, 168, 7, 324, 301);
    connect(grid_, &QAbstractItemModel::modelReset, this, [this] { applyScale(scaler_->factor()); });

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    place(Panel1, 167, 307, 325, 37);

    LoadBtn = buttonart::speedButton(Panel1, "LoadBtn", buttonart::camera(),
                                     QStringLiteral("Load all existing thumbs"));
    place(LoadBtn, 1, 2, 37, 34);
    CreateNewKeep = buttonart::speedButton(Panel1, "CreateNewKeep", buttonart::movieCamera(),
                                           QStringLiteral("Create new previews keep old ones"));
    place(CreateNewKeep, 37, 2, 37, 34);
    CreateNewDelete = buttonart::speedButton(Panel1, "CreateNewDelete", buttonart::landscape(),
                                             QStringLiteral("Create new previews and delete old ones"));
    place(CreateNewDelete, 73, 2, 37, 34);
    DeleteAllBtn = buttonart::speedButton(Panel1, "DeleteAllBtn", buttonart::blackCross(),
                                          QStringLiteral("Delete all previews"));
    place(DeleteAllBtn, 109, 2, 37, 34);
    ClearAllBtn = buttonart::speedButton(Panel1, "ClearAllBtn", buttonart::windowWithCross(),
                                         QStringLiteral("Clear preview window"));
    place(ClearAllBtn, 145, 2, 37, 34);
    AutoLoad = new QCheckBox(QStringLiteral("Autoload"), Panel1);
    AutoLoad->setObjectName(QStringLiteral("AutoLoad"));
    // Hints that are kept but not shown as tooltips.
    AutoLoad->setProperty("hint", QStringLiteral("Autoload Previews"));
    place(AutoLoad, 185, 4, 70, 17);
    GPall = new QCheckBox(QStringLiteral("Use best palette"), Panel1);
    GPall->setObjectName(QStringLiteral("GPall"));
    GPall->setToolTip(QStringLiteral("In 256 color mode use a shared palette"));
    place(GPall, 185, 18, 96, 17);
    CloseBtn = buttonart::speedButton(Panel1, "CloseBtn", buttonart::door(), QStringLiteral("Close window"));
    place(CloseBtn, 287, 2, 37, 34);

    connect(LoadBtn, &QToolButton::clicked, this, &TThumbForm::LoadBtnClick);
    connect(CreateNewKeep, &QToolButton::clicked, this, &TThumbForm::IncAllKeepBtnClick);
    connect(CreateNewDelete, &QToolButton::clicked, this, &TThumbForm::CreateNewDeleteClick);
    connect(DeleteAllBtn, &QToolButton::clicked, this, &TThumbForm::DeleteAllBtnClick);
    connect(ClearAllBtn, &QToolButton::clicked, this, &TThumbForm::ClearAllBtnClick);
    connect(CloseBtn, &QToolButton::clicked, this, &TThumbForm::CancelBtnClick);
    // A change of state, by the player or by the program, runs the handler.
    connect(AutoLoad, &QCheckBox::toggled, this, &TThumbForm::AutoLoadClick);
    connect(GPall, &QCheckBox::toggled, this, &TThumbForm::GPallClick);

    auto setUpBox = [this](TImageView *box, const char *name) {
        box->setObjectName(QLatin1String(name));
        box->setStretch(true);
        box->setCenter(true);
        box->setColor(palette().color(QPalette::Button));
        box->setImageReadRes(TLoadResolution::lAutoMatic);
        box->setImageWriteRes(TSaveResolution::sAutoMatic);
        box->setImageDither(true);
        box->setJPegSaveQuality(25);
        box->setJPegSaveSmooth(0);
    };
    ImageView1 = new TImageView(this);
    setUpBox(ImageView1, "ImageView1");
    ImageView1->setFocusPolicy(Qt::StrongFocus);
    ImageView1->setGeometry(521, 9, 60, 50);
    ImageView2 = new TImageView(this);
    setUpBox(ImageView2, "ImageView2");
    ImageView2->setGeometry(521, 9, 60, 50);
    ImageView2->hide();
    // The working box makes previews of exactly 60 x 50 pixels, so it keeps
    // its size when the window is scaled; only its place follows.
    scaler_->setOnScaled([this](double factor) { applyScale(factor); });

    Label2 = new platform::FittedLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);
    QFont statusFont(QStringLiteral("Arial"));
    statusFont.setPixelSize(9);
    Label2->setFont(statusFont);
    place(Label2, 496, 62, 112, 14);

    StopBtn = buttonart::speedButton(this, "StopBtn", buttonart::stopSign(), QString());
    place(StopBtn, 526, 80, 57, 30);
    StopBtn->hide();
    connect(StopBtn, &QToolButton::clicked, this, &TThumbForm::AbortBtnClick);

    Image1 = new WasteBin(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    place(Image1, 530, 115, 49, 37);

    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setTextVisible(false);
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    QPalette gaugePalette = Gauge1->palette();
    gaugePalette.setColor(QPalette::Highlight, QColor(0, 0, 128));
    gaugePalette.setColor(QPalette::Base, gaugePalette.color(QPalette::Button));
    Gauge1->setPalette(gaugePalette);
    place(Gauge1, 505, 160, 97, 9);

    GroupBox2 = new QGroupBox(QStringLiteral("Resolution"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setToolTip(QStringLiteral("Resolution of the previews"));
    place(GroupBox2, 501, 173, 102, 103);
    SaveRes4System = new QRadioButton(QStringLiteral("16 system colors"), GroupBox2);
    SaveRes8 = new QRadioButton(QStringLiteral("256 colors"), GroupBox2);
    SaveRes24 = new QRadioButton(QStringLiteral("True color"), GroupBox2);
    SaveResAuto = new QRadioButton(QStringLiteral("Automatic"), GroupBox2);
    int top = 18;
    for (QRadioButton *r : {SaveRes4System, SaveRes8, SaveRes24, SaveResAuto}) {
        place(r, 5, top, 95, 17);
        top += 20;
        // Hints of the buttons are not shown; the group's own one is.
        r->setToolTip(GroupBox2->toolTip());
        connect(r, &QRadioButton::clicked, this, &TThumbForm::Saveresclick);
    }
    SaveRes4System->setObjectName(QStringLiteral("SaveRes4System"));
    SaveRes8->setObjectName(QStringLiteral("SaveRes8"));
    SaveRes24->setObjectName(QStringLiteral("SaveRes24"));
    SaveResAuto->setObjectName(QStringLiteral("SaveResAuto"));
    SaveResAuto->setChecked(true);

    GroupBox1 = new QGroupBox(QStringLiteral("Optimize previews"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    place(GroupBox1, 500, 288, 104, 56);
    RSpeed = new QRadioButton(QStringLiteral("for speed"), GroupBox1);
    RSpeed->setObjectName(QStringLiteral("RSpeed"));
    RSpeed->setChecked(true);
    place(RSpeed, 8, 16, 90, 17);
    RSize = new QRadioButton(QStringLiteral("for size"), GroupBox1);
    RSize->setObjectName(QStringLiteral("RSize"));
    place(RSize, 8, 34, 90, 17);
    connect(RSpeed, &QRadioButton::clicked, this, &TThumbForm::RSpeedClick);
    connect(RSize, &QRadioButton::clicked, this, &TThumbForm::RSpeedClick);

    ImageView1->lower();
    ImageView2->lower();
    nameForAssistiveTechnology();

    // The window grows with the screen as the table does, with a dialog's
    // fixed border, centred on the screen's working area: the window itself,
    // as a move would place its frame and leave it a title lower.
    if (const QScreen *screen = QApplication::primaryScreen()) {
        const QSize s = screen->size();
        const double factor = std::max(1.0, std::min(s.width() / 640.0, s.height() / 480.0));
        setFixedSize(int(kDesignSize.width() * factor), int(kDesignSize.height() * factor));
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
    }
}

void TThumbForm::nameForAssistiveTechnology()
{
    Label1->setAccessibleDescription(QStringLiteral("Current file"));
    // A list that picks one of several is named by the value it holds, on
    // this desktop; what it is for is told by a label for it, unseen here.
    const auto labelFor = [this](QWidget *field, const QString &text) {
        auto *label = new QLabel(text, this);
        label->hide();
        label->setBuddy(field);
    };
    labelFor(ComboBox1, QStringLiteral("File type"));
    ComboBox1->lineEdit()->setAccessibleName(QStringLiteral("File type"));
    FileListBox1->setAccessibleName(QStringLiteral("Files"));
    FileListBox1->setAccessibleDescription(QStringLiteral("Enter chooses the selected picture"));
    DirectoryListBox1->setAccessibleName(QStringLiteral("Folders"));
    labelFor(DriveComboBox1, QStringLiteral("Drive"));
    Thumbs->setAccessibleName(QStringLiteral("Previews"));
    Thumbs->setAccessibleDescription(
        QStringLiteral("Arrow keys move between the previews, Enter chooses one, Delete deletes its preview"));
    Label2->setAccessibleDescription(QStringLiteral("Status"));
    StopBtn->setAccessibleName(QStringLiteral("Stop"));
    Image1->setAccessibleName(QStringLiteral("Waste bin"));
    Gauge1->setAccessibleName(QStringLiteral("Progress"));
    ImageView1->setAccessibleName(QStringLiteral("Preview being made"));
}

void TThumbForm::connectStore()
{
    PreviewStoreHooks &hooks = store_->hooks();
    hooks.focusWorkingBox = [this] { ImageView1->setFocus(); };
    hooks.showStatus = [this](const QString &text) { Label2->setText(text); };
    hooks.processMessages = [] { QCoreApplication::processEvents(); };
    hooks.showWorking = [this](const Bitmap &bitmap) {
        ViewPicture picture;
        if (!bitmap.isEmpty()) {
            picture.kind = ViewPicture::Kind::Bitmap;
            picture.bitmap = bitmap;
        }
        ImageView1->setPicture(picture);
    };
    hooks.repaintGrid = [this] { Thumbs->viewport()->update(); };
    // Waiting for another program's lock: Stop works in a batch; outside one
    // nothing but painting is let through.
    hooks.whileLockWaits = [this] {
        QCoreApplication::processEvents(inBatch() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        return !inBatch() || !stop_;
    };
    store_->setBackground(ImageView1->Color());

    batch_ = std::make_unique<PreviewBatch>(*store_, grid_);
    PreviewBatchHooks &steps = batch_->hooks();
    steps.started = [this](int files) { Gauge1->setMaximum(std::max(1, files)); };
    steps.progress = [this](int position) { Gauge1->setValue(position); };
    steps.showStatus = [this](const QString &text) { Label2->setText(text); };
    steps.processMessages = [] { QCoreApplication::processEvents(); };
    steps.stopRequested = [this] { return stop_; };
    steps.slotDone = [this](const ThumbSlot &slot) { scrollToSlot(slot); };
}

bool TThumbForm::guarded(const std::function<void()> &step)
{
    try {
        step();
        return true;
    } catch (const platform::ProfileWriteError &error) {
        platform::dialogs().message(platform::MessageKind::Error, error.text());
        return false;
    }
}

void TThumbForm::applyScale(double factor)
{
    const auto scale = [factor](int v) { return int(std::lround(v * factor)); };
    for (int c = 0; c < ThumbGridModel::kColumns; ++c)
        Thumbs->setColumnWidth(c, scale(ThumbGridModel::kColumnWidth));
    for (int r = 0; r < grid_->rowCount(); ++r)
        Thumbs->setRowHeight(r, scale(ThumbGridModel::rowHeight(r)));
    for (QToolButton *b : {LoadBtn, CreateNewKeep, CreateNewDelete, DeleteAllBtn, ClearAllBtn, CloseBtn})
        b->setIconSize(QSize(scale(28), scale(28)));
    StopBtn->setIconSize(QSize(scale(26), scale(26)));
    const int dx = int(std::lround((width() - kDesignSize.width() * factor) / 2));
    const int dy = int(std::lround((height() - kDesignSize.height() * factor) / 2));
    const int cx = dx + scale(521 + 30);
    const int cy = dy + scale(9 + 25);
    for (TImageView *box : {ImageView1, ImageView2})
        box->setGeometry(cx - 30, cy - 25, 60, 50);
}

double TThumbForm::scale() const { return scaler_->factor(); }

QString TThumbForm::listedFolder() const
{
    const QString dir = DirectoryListBox1->directory();
    return dir.endsWith(u'/') ? dir : dir + u'/';
}

// ---- opening and closing -------------------------------------------------

void TThumbForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!activationQueued_) {
        activationQueued_ = true;
        // The opening may start a batch, which must not run inside the show.
        QTimer::singleShot(0, this, &TThumbForm::FormActivate);
    }
}

void TThumbForm::FormActivate()
{
    busy_ = true;
    if (!DataFileDir.endsWith(u'/'))
        DataFileDir += u'/';
    if (!PreviewsDir.endsWith(u'/'))
        PreviewsDir += u'/';
    if (DirectoryListBox1->directory().isEmpty())
        DirectoryListBox1->setDirectory(QString());
    store_->setDataFile(DataFileDir + DataFileName);
    store_->setPreviewsDir(PreviewsDir);
    store_->setListedFolder(listedFolder());
    RSpeedClick();
    stop_ = false;
    grid_->layoutRows(FileListBox1->count());

    const int depth = DisplayColorDepth(this);
    store_->setDisplayDepth(depth);
    if (depth <= 8) {
        GPall->show();
        if (GPall->isChecked())
            GPallClick();
        else
            GPall->setChecked(true);
        SaveRes8->setChecked(true);
        Saveresclick();
    } else {
        GPall->hide();
    }
    busy_ = false;
    opened_ = true;
    if (AutoLoad->isChecked())
        LoadBtnClick();
}

void TThumbForm::FormClose()
{
    busy_ = true;
    closed_ = true;
    ClearSharedPalette();
    store_->ClearThumbnails();
}

void TThumbForm::closeEvent(QCloseEvent *event)
{
    stop_ = true;
    if (inBatch()) {
        pendingResult_ = QDialog::Rejected;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TThumbForm::reject()
{
    // Escape and the close box end a running batch; a choice made during one
    // lets it finish.
    stop_ = true;
    QDialog::reject();
}

void TThumbForm::done(int result)
{
    if (inBatch()) {
        pendingResult_ = result;
        return;
    }
    if (!closed_)
        FormClose();
    QDialog::done(result);
}

void TThumbForm::closeWith(int result) { done(result); }

// ---- buttons and options -----------------------------------------------

void TThumbForm::enterBatchMode()
{
    const bool first = batchDepth_++ == 0;
    if (first) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // Just after a question the window may not have the keys back yet;
        // its own focus is where they go back to.
        batchFocus_ = QApplication::focusWidget();
        if (!batchFocus_ || batchFocus_->window() != this)
            batchFocus_ = focusWidget();
    }
    setBatchControls(false);
    if (first)
        batchTookFocus_ = batchFocus_ && !batchFocus_->isEnabled();
}

void TThumbForm::setBatchControls(bool enabled)
{
    for (QWidget *w :
         std::initializer_list<QWidget *>{FileListBox1, ComboBox1, DirectoryListBox1, DriveComboBox1, CreateNewDelete,
                                          CreateNewKeep, CloseBtn, ClearAllBtn, DeleteAllBtn, LoadBtn})
        w->setEnabled(enabled);
    StopBtn->setVisible(!enabled);
}

void TThumbForm::leaveBatchMode()
{
    setBatchControls(true);
    if (--batchDepth_ == 0) {
        QApplication::restoreOverrideCursor();
        // The batch took the focus from the button that started it (disabled)
        // or gave it to the working box for each preview: it goes back.
        if (batchFocus_ && (batchTookFocus_ || ImageView1->hasFocus()))
            batchFocus_->setFocus();
        if (pendingResult_) {
            const int result = *pendingResult_;
            pendingResult_.reset();
            // Let the handler that ran the batch return before the window goes.
            QTimer::singleShot(0, this, [this, result] { done(result); });
        }
    }
}

void TThumbForm::LoadBtnClick()
{
    stop_ = false;
    enterBatchMode();
    batch_->load(FileListBox1->fileNames());
    leaveBatchMode();
    Label2->setText(stop_ ? QStringLiteral("Canceled") : QStringLiteral("Done"));
    ImageView1->setPicture({});
    Thumbs->viewport()->update();
    scrollToTop();
}

void TThumbForm::IncAllBtnClick() { createPreviews(false); }

void TThumbForm::createPreviews(bool orphans)
{
    stop_ = false;
    enterBatchMode();
    if (batch_->create(FileListBox1->fileNames(), orphans, FileListBox1->mask()) == PreviewBatch::Result::Failed)
        stop_ = true;
    leaveBatchMode();
    Label2->setText(stop_ ? QStringLiteral("Canceled") : QStringLiteral("Done"));
    ImageView1->setPicture({});
    scrollToTop();
}

void TThumbForm::IncAllKeepBtnClick()
{
    if (!platform::dialogs().confirm(QStringLiteral("Create new previews keep old ones?")))
        return;
    LoadBtnClick();
    IncAllBtnClick();
}

void TThumbForm::CreateNewDeleteClick()
{
    if (!platform::dialogs().confirm(QStringLiteral("Create new previews and delete old ones?")))
        return;
    if (!forgetShownPreviews())
        return;
    clearGrid();
    createPreviews(true);
}

void TThumbForm::DeleteAllBtnClick()
{
    if (!platform::dialogs().confirm(QStringLiteral("Delete all previews?")))
        return;
    if (forgetShownPreviews())
        clearGrid();
}

bool TThumbForm::forgetShownPreviews()
{
    return guarded([this] {
        for (const ThumbSlot &slot : grid_->takenSlots())
            store_->ForgetPreview(grid_->caption(slot));
    });
}

void TThumbForm::ClearAllBtnClick() { clearGrid(); }

void TThumbForm::clearGrid()
{
    grid_->clearCaptions();
    store_->ClearThumbnails();
}

void TThumbForm::CancelBtnClick()
{
    currentFile_.clear();
    closeWith(QDialog::Rejected);
}

void TThumbForm::AutoLoadClick() { LoadBtn->setEnabled(!AutoLoad->isChecked()); }

void TThumbForm::GPallClick()
{
    store_->setUseBestPalette(GPall->isChecked());
    ClearSharedPalette();
}

void TThumbForm::RSpeedClick()
{
    extension_ = RSpeed->isChecked() ? QStringLiteral("THB") : QStringLiteral("THJ");
    store_->setFormat(RSpeed->isChecked() ? PreviewFormat::ForSpeed : PreviewFormat::ForSize);
}

void TThumbForm::Saveresclick()
{
    PreviewResolution resolution = PreviewResolution::Automatic;
    if (SaveRes4System->isChecked())
        resolution = PreviewResolution::SystemColors16;
    else if (SaveRes8->isChecked())
        resolution = PreviewResolution::Colors256;
    else if (SaveRes24->isChecked())
        resolution = PreviewResolution::TrueColor;
    store_->setResolution(resolution);
    for (TImageView *box : {ImageView1, ImageView2}) {
        box->setImageReadRes(store_->readRes());
        box->setImageWriteRes(store_->writeRes());
        box->setImageDither(store_->dither());
    }
}

// ---- lists ---------------------------------------------------------------

void TThumbForm::ComboBox1Change()
{
    stop_ = true;
    FileListBox1->setMask(ComboBox1->currentText());
}

void TThumbForm::DriveComboBox1Change(const QString &root)
{
    stop_ = true;
    DirectoryListBox1->setDrive(root);
}

void TThumbForm::DirectoryListBox1Change()
{
    stop_ = true;
    const QString dir = DirectoryListBox1->directory();
    fs::setCurrentDirectory(dir);
    store_->setListedFolder(listedFolder());
    DriveComboBox1->setDriveOf(dir);
    FileListBox1->setDirectory(dir);
    grid_->layoutRows(FileListBox1->count());
    clearGrid();
    if (opened_ && AutoLoad->isChecked())
        LoadBtnClick();
}

void TThumbForm::FileListBox1Change()
{
    if (busy_)
        return;
    stop_ = true;
    currentFile_ = FileListBox1->fileName();
    if (const auto slot = grid_->findCaption(fs::lowerAscii(fs::fileNameOf(currentFile_))))
        scrollToSlot(*slot);
    showCurrentFile();
}

void TThumbForm::FileListBox1DblClick()
{
    if (busy_ || FileListBox1->fileName().isEmpty())
        return;
    busy_ = true;
    currentFile_ = FileListBox1->fileName();
    closeWith(QDialog::Accepted);
}

void TThumbForm::FileListBox1KeyDown(int key)
{
    if (busy_ || FileListBox1->fileName().isEmpty())
        return;
    if (key == Qt::Key_Delete)
        return Image1DragDrop(nullptr); // the bin, as a drop there, from the keyboard
    currentFile_ = FileListBox1->fileName();
    closeWith(QDialog::Accepted);
}

void TThumbForm::showCurrentFile() { Label1->setText(fs::lowerAscii(currentFile_)); }

// ---- the grid ------------------------------------------------------------

std::optional<ThumbSlot> TThumbForm::slotUnder(const QPoint &pos) const
{
    const QModelIndex index = Thumbs->indexAt(pos);
    if (!index.isValid())
        return std::nullopt;
    return grid_->slotAt(index.column(), index.row());
}

void TThumbForm::ThumbsMouseMove(const QPoint &pos)
{
    const QModelIndex index = Thumbs->indexAt(pos);
    if (!index.isValid())
        return;
    const auto slot = grid_->slotAt(index.column(), index.row());
    currentFile_ = listedFolder() + (slot ? grid_->caption(*slot) : QString());
    showCurrentFile();
}

void TThumbForm::ThumbsMouseDown(Qt::MouseButton button, const QPoint &pos)
{
    if (busy_ || button != Qt::RightButton)
        return;
    const QModelIndex index = Thumbs->indexAt(pos);
    if (index.isValid())
        deleteOnePreview(index.column(), index.row());
}

void TThumbForm::ThumbsKeyDown(int key)
{
    if (busy_)
        return;
    const QModelIndex index = Thumbs->currentIndex();
    if (!index.isValid())
        return;
    const auto slot = grid_->slotAt(index.column(), index.row());
    if (key == Qt::Key_Delete) {
        deleteOnePreview(index.column(), index.row());
    } else if (slot && !grid_->caption(*slot).isEmpty()) {
        currentFile_ = listedFolder() + grid_->caption(*slot);
        closeWith(QDialog::Accepted);
    }
}

void TThumbForm::ThumbsDblClick(const QPoint &pos)
{
    if (busy_)
        return;
    const auto slot = slotUnder(pos);
    if (slot && !grid_->caption(*slot).isEmpty())
        closeWith(QDialog::Accepted);
}

void TThumbForm::deleteOnePreview(int column, int row)
{
    const auto slot = grid_->slotAt(column, row);
    if (!slot || grid_->caption(*slot).isEmpty())
        return;
    // Said with its name: the cell asked about may be far from the focus.
    if (!platform::dialogs().confirm(QStringLiteral("Delete preview of %1?").arg(grid_->caption(*slot))))
        return;
    if (guarded([&] { store_->ForgetPreview(grid_->caption(*slot)); }))
        grid_->setCaption(*slot, QString());
}

bool TThumbForm::ThumbsDragOver(const QPoint &pos, const QMimeData *data)
{
    dropSlot_.reset();
    if (!FileListBox1->isSourceOf(data))
        return false;
    const QModelIndex index = Thumbs->indexAt(pos);
    if (!index.isValid() || !grid_->isFreeAt(index.column(), index.row()))
        return false;
    dropSlot_ = grid_->slotAt(index.column(), index.row());
    return true;
}

void TThumbForm::ThumbsDragDrop(const QPoint &, const QMimeData *)
{
    if (!dropSlot_)
        return;
    const ThumbSlot slot = *dropSlot_;
    const QString path = FileListBox1->fileName();
    if (path.isEmpty())
        return;
    const QString name = fs::lowerAscii(fs::fileNameOf(path));
    if (grid_->findCaption(name)) {
        platform::dialogs().message(platform::MessageKind::Information, QStringLiteral("Duplicate filename!"));
        return;
    }
    enterBatchMode();
    const bool made = batch_->createOne(fs::fileNameOf(path), slot);
    leaveBatchMode();
    if (made)
        Label2->setText(QStringLiteral("Done"));
}

bool TThumbForm::Image1DragOver(const QMimeData *data) const { return FileListBox1->isSourceOf(data); }

void TThumbForm::Image1DragDrop(const QMimeData *) { BinChosenPicture(*this); }

void TThumbForm::scrollToSlot(const ThumbSlot &slot) { Thumbs->verticalScrollBar()->setValue(slot.imageRow()); }

void TThumbForm::scrollToTop() { Thumbs->verticalScrollBar()->setValue(0); }

bool TThumbForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FileListBox1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Delete) {
            FileListBox1KeyDown(key);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace brisvale
