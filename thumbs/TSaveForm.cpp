#include "thumbs/TSaveForm.h"

#include "imaging/TMediaPlayer.h"
#include "imaging/TMediaView.h"
#include "platform/DesignScaler.h"
#include "platform/DialogService.h"
#include "platform/FileSystem.h"
#include "platform/FixedDialog.h"
#include "platform/HeldMessages.h"
#include "thumbs/DirectoryListBox.h"
#include "thumbs/DriveComboBox.h"
#include "thumbs/FileListBox.h"
#include "thumbs/FilterComboBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <algorithm>

namespace brisvale {

namespace fs = platform::fs;

namespace {

constexpr QSize kDesignSize(392, 295);
constexpr QPoint kDesignPlace(123, 120);

// A folder path that fits the width: leading folders give way to "..." first.
QString shortenedFolder(const QString &path, const QFontMetrics &metrics, int width)
{
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype drop = 1; drop < parts.size(); ++drop) {
        const QString candidate = QStringLiteral("/.../") + parts.mid(drop).join(u'/');
        if (metrics.horizontalAdvance(candidate) <= width)
            return candidate;
    }
    return metrics.elidedText(QStringLiteral(".../") + parts.value(parts.size() - 1), Qt::ElideRight, width);
}

// A flat gauge: navy fill on button face, the percentage in the middle in a
// colour that reads on either side of the fill's edge.
class Gauge : public QProgressBar {
public:
    using QProgressBar::QProgressBar;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QRect all = rect();
        const int span = std::max(1, maximum() - minimum());
        QRect filled = all;
        filled.setWidth(int(qint64(all.width()) * (value() - minimum()) / span));
        p.fillRect(all, palette().color(QPalette::Button));
        p.fillRect(filled, QColor(Qt::darkBlue));
        const QString label = text();
        p.setPen(palette().color(QPalette::ButtonText));
        p.setClipRect(all.adjusted(filled.width(), 0, 0, 0));
        p.drawText(all, Qt::AlignCenter, label);
        p.setPen(Qt::white);
        p.setClipRect(filled);
        p.drawText(all, Qt::AlignCenter, label);
    }
};

// Holds the messages of a preview read and tells them in one box once the
// read is over, so a player browsing files meets one box a file; those of a
// read that OK or Cancel stopped on purpose are dropped (that read did not
// fail).
class QuietAfterStop : public platform::HeldMessages {
public:
    QuietAfterStop(platform::DialogService &inner, const bool &quiet) : HeldMessages(inner), quiet_(quiet) {}

    void message(platform::MessageKind kind, const QString &text) override
    {
        if (!quiet_)
            HeldMessages::message(kind, text);
    }
    // Tells what the read just over held back.
    void flush()
    {
        if (quiet_)
            drop();
        else
            HeldMessages::flush();
    }

private:
    const bool &quiet_;
};

bool hasWildcard(const QString &name) { return name.contains(u'*') || name.contains(u'?'); }

} // namespace

TSaveForm::TSaveForm(QWidget *parent) : QDialog(parent, platform::kFixedDialogFlags)
{
    setObjectName(QStringLiteral("SaveForm"));
    setModal(true);
    QFont f = font();
    f.setPixelSize(11);
    setFont(f);
    buildControls();
    FormCreate();
}

TSaveForm::~TSaveForm() { FormDestroy(); }

void TSaveForm::buildControls()
{
    resize(kDesignSize);
    scaler_ = new platform::DesignScaler(this, kDesignSize);
    scaler_->setOnScaled([this](double) {
        if (Label1 && DirectoryListBox1)
            showFolderLabel();
    });
    const auto place = [this](QWidget *w, int left, int top, int width, int height) {
        w->setGeometry(left, top, width, height);
        scaler_->add(w);
    };
    const auto label = [this, &place](const QString &text, int left, int top) {
        auto *l = new QLabel(text, this);
        place(l, left, top, l->sizeHint().width(), 13);
        return l;
    };

    Label2 = label(QStringLiteral("Files of type"), 32, 0);
    FilterComboBox1 = new FilterComboBox(this);
    place(FilterComboBox1, 31, 13, 138, 21);
    Label4 = label(QStringLiteral("File name to save to"), 176, 0);
    Edit1 = new QLineEdit(this);
    place(Edit1, 176, 13, 207, 21);
    FileListBox1 = new FileListBox(this);
    place(FileListBox1, 31, 45, 201, 97);
    Label1 = new QLabel(this);
    place(Label1, 29, 142, 203, 13);
    DirectoryListBox1 = new DirectoryListBox(this);
    place(DirectoryListBox1, 30, 155, 202, 97);
    Label3 = label(QStringLiteral("Drive"), 32, 252);
    DriveComboBox1 = new DriveComboBox(this);
    place(DriveComboBox1, 30, 266, 202, 19);

    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(1);
    place(Panel1, 264, 48, 86, 76);

    CheckBox1 = new QCheckBox(QStringLiteral("Auto Display"), this);
    CheckBox1->setChecked(true);
    place(CheckBox1, 269, 161, 89, 17);
    CheckBox2 = new QCheckBox(QStringLiteral("Auto Play"), this);
    place(CheckBox2, 269, 179, 89, 15);

    Gauge1 = new Gauge(this);
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    place(Gauge1, 273, 199, 75, 14);

    CancelBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    place(CancelBtn, 273, 221, 75, 29);
    OKBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    place(OKBtn, 273, 257, 75, 29);

    // The fields are named by the labels above them, the rest by their role.
    Label2->setBuddy(FilterComboBox1);
    Label4->setBuddy(Edit1);
    Label3->setBuddy(DriveComboBox1);
    FileListBox1->setAccessibleName(QStringLiteral("Files"));
    DirectoryListBox1->setAccessibleName(QStringLiteral("Folders"));
    Label1->setAccessibleDescription(QStringLiteral("Current folder"));
    Gauge1->setAccessibleName(QStringLiteral("Progress"));

    setTabOrder(FilterComboBox1, Edit1);
    setTabOrder(Edit1, FileListBox1);
    setTabOrder(FileListBox1, DirectoryListBox1);
    setTabOrder(DirectoryListBox1, DriveComboBox1);
}

void TSaveForm::FormCreate()
{
    stop_ = false;

    MediaPlayer1 = new TMediaPlayer(this);
    MediaPlayer1->setGeometry(265, 124, 85, 30);
    scaler_->add(MediaPlayer1);
    MediaPlayer1->hide();
    MediaView1 = new TMediaView(Panel1);
    MediaView1->setGeometry(1, 1, 84, 74);
    scaler_->add(MediaView1);
    MediaView1->setAutoPlayMedia(false);
    MediaView1->setAutoRePlayMedia(false);
    MediaView1->setAutoHideMediaPlayer(true);
    MediaView1->setColor(palette().color(QPalette::Button));
    MediaView1->setImageDither(true);
    MediaView1->setImageReadRes(TLoadResolution::lAutoMatic);
    MediaView1->setMediaPlayer(MediaPlayer1);
    MediaView1->setStretchRatio(true);
    MediaView1->setTabStop(false);
    MediaView1->setMediaName(QStringLiteral("file not found"));

    previousNotifier_ = TMediaView::ProgressNotifier();
    TMediaView::setProgressNotifier([form = QPointer<TSaveForm>(this)](int32_t percent) -> int32_t {
        if (!form)
            return QCoreApplication::closingDown() ? 0 : 1;
        return form->progressHook(percent);
    });
    qApp->installEventFilter(this);

    connect(DriveComboBox1, &DriveComboBox::driveChanged, DirectoryListBox1, &DirectoryListBox::setDrive);
    connect(DirectoryListBox1, &DirectoryListBox::directoryChanged, this, &TSaveForm::folderChanged);
    connect(FilterComboBox1, &FilterComboBox::maskChanged, this, [this](const QString &mask) {
        FileListBox1->setMask(mask);
        fileListChanged();
    });
    connect(FileListBox1, &QListWidget::itemSelectionChanged, this, &TSaveForm::fileListChanged);
    connect(FileListBox1, &QListWidget::itemDoubleClicked, this, &TSaveForm::FileListBox1DblClick);
    connect(CheckBox1, &QCheckBox::clicked, this, &TSaveForm::CheckBox1Click);
    connect(CheckBox2, &QCheckBox::clicked, this, &TSaveForm::CheckBox2Click);
    connect(OKBtn, &QPushButton::clicked, this, &TSaveForm::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TSaveForm::CancelBtnClick);
    FileListBox1->setMask(FilterComboBox1->mask());
    DirectoryListBox1->setDirectory(QString());

    // The window grows with the screen as the table does.
    double factor = 1.0;
    if (const QScreen *screen = QApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        factor = std::max(1.0, std::min(s.width() / 640.0, s.height() / 480.0));
        move(s.topLeft() + kDesignPlace * factor);
    }
    setFixedSize(int(kDesignSize.width() * factor), int(kDesignSize.height() * factor));

    Timer1 = new QTimer(this);
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, &TSaveForm::Timer1Timer);
    Timer1->start();
}

void TSaveForm::FormDestroy()
{
    if (Timer1)
        Timer1->stop();
    qApp->removeEventFilter(this);
    delete MediaView1;
    MediaView1 = nullptr;
    delete MediaPlayer1;
    MediaPlayer1 = nullptr;
    TMediaView::setProgressNotifier(previousNotifier_);
}

// ---- the lists ------------------------------------------------------------

void TSaveForm::folderChanged()
{
    const QString folder = DirectoryListBox1->directory();
    DriveComboBox1->setDriveOf(folder);
    showFolderLabel();
    FileListBox1->setDirectory(folder);
    fileListChanged();
}

void TSaveForm::showFolderLabel()
{
    Label1->setText(shortenedFolder(DirectoryListBox1->directory(), Label1->fontMetrics(), Label1->width()));
}

// The edit box shows the selected name, or the mask when nothing is selected.
void TSaveForm::fileListChanged()
{
    const QString path = FileListBox1->fileName();
    Edit1->setText(path.isEmpty() ? FileListBox1->mask() : fs::fileNameOf(path));
    Edit1->selectAll();
    FileListBox1Change();
}

void TSaveForm::FileListBox1Change()
{
    // A preview asked for while another is being read follows it, so reads
    // never nest inside each other.
    if (previewing_) {
        previewAgain_ = true;
        return;
    }
    previewing_ = true;
    platform::DialogService &service = platform::dialogs();
    QuietAfterStop quiet(service, readStopped_);
    platform::setDialogService(&quiet);
    do {
        previewAgain_ = false;
        readStopped_ = false;
        MediaView1->setMediaName(CheckBox1->isChecked() ? FileListBox1->fileName() : QString());
        quiet.flush();
    } while (previewAgain_ && !stop_ && MediaView1);
    readStopped_ = false;
    platform::setDialogService(&service);
    previewing_ = false;
}

void TSaveForm::CheckBox1Click() { FileListBox1Change(); }

void TSaveForm::CheckBox2Click() { MediaView1->setAutoPlayMedia(CheckBox2->isChecked()); }

void TSaveForm::FileListBox1DblClick()
{
    const QString path = FileListBox1->fileName();
    if (!path.isEmpty())
        Edit1->setText(fs::fileNameOf(path));
}

void TSaveForm::Timer1Timer()
{
    if (!MediaView1)
        return;
    MediaView1->setMessageSpeed(0);
    MediaView1->StepMessages();
}

// ---- closing ----------------------------------------------------------------

QString TSaveForm::chosenPath() const
{
    // A name typed from the root names that place, not one inside the shown folder.
    const QString name = Edit1->text();
    if (name.startsWith(u'/'))
        return name;
    return fs::join(DirectoryListBox1->directory(), name);
}

QString TSaveForm::unsavableNameText(const QString &path, const QStringList &extensions)
{
    QString list = extensions.join(QStringLiteral(", "));
    if (extensions.size() > 1)
        list = extensions.mid(0, extensions.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ")
               + extensions.last();
    return path + QStringLiteral(" cannot be saved: use a name ending in ") + list;
}

void TSaveForm::OKBtnClick()
{
    stop_ = true;
    const QString name = Edit1->text();
    bool close = !name.isEmpty();
    if (close && hasWildcard(name)) {
        // A mask is a filter to look through, never a name to save under.
        FileListBox1->setMask(name);
        fileListChanged();
        close = false;
    }
    if (close && !FilterComboBox1->accepts(fs::fileNameOf(chosenPath()))) {
        // Nothing would be written under it: said now, while a name can still be chosen.
        platform::dialogs().message(platform::MessageKind::Information,
                                    unsavableNameText(chosenPath(), FilterComboBox1->extensions()));
        close = false;
    }
    if (close) {
        // Exactly the file that would be written: a name that differs only in
        // letter case is another file, left alone.
        const QString path = chosenPath();
        const QFileInfo target(path);
        if (target.exists() && !target.isDir())
            close = platform::dialogs().confirm(path + QStringLiteral(" does exists. Overwrite it ?"),
                                                platform::QuestionIcon::Information);
    }
    if (close) {
        accept();
        return;
    }
    // The window stays: previews go on as before.
    stop_ = false;
}

void TSaveForm::CancelBtnClick() { reject(); }

void TSaveForm::reject()
{
    stop_ = true;
    QDialog::reject();
}

int32_t TSaveForm::progressHook(int32_t percent)
{
    if (stop_ || terminating_ || QCoreApplication::closingDown()) {
        readStopped_ = previewing_;
        return 0;
    }
    Gauge1->setValue(std::clamp(percent, 0, 100));
    QCoreApplication::processEvents();
    return 1;
}

// ---- window -----------------------------------------------------------------

void TSaveForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    showFolderLabel();
    Edit1->setFocus();
    Edit1->selectAll();
}

bool TSaveForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qApp && event->type() == QEvent::Quit)
        terminating_ = true;
    return QDialog::eventFilter(watched, event);
}

} // namespace brisvale
