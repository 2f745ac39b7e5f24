#include "thumbs/PreviewStore.h"

#include "imaging/CodecBridge.h"
#include "imaging/SharedPalette.h"
#include "imaging/StretchedRead.h"
#include "platform/DialogService.h"
#include "platform/FileSystem.h"
#include "platform/PrivateProfile.h"
#include "thumbs/PreviewPrefetch.h"

namespace brisvale {

namespace fs = platform::fs;

namespace {

QString withSeparator(const QString &dir) { return dir.isEmpty() || dir.endsWith(u'/') ? dir : dir + u'/'; }

// The source's folder up to and including its last separator.
QString sectionOf(const QString &source) { return source.left(source.lastIndexOf(u'/') + 1); }

} // namespace

PreviewStore::PreviewStore() = default;
// The palette previews fed is theirs alone: it goes with them.
PreviewStore::~PreviewStore()
{
    if (bestPalette_)
        ClearSharedPalette();
}

void PreviewStore::setPreviewsDir(const QString &dir) { previewsDir_ = withSeparator(dir); }

void PreviewStore::setListedFolder(const QString &dir) { listedFolder_ = withSeparator(dir); }

void PreviewStore::setResolution(PreviewResolution resolution)
{
    resolution_ = resolution;
    switch (resolution) {
    case PreviewResolution::SystemColors16:
        readRes_ = TLoadResolution::lColorVga;
        writeRes_ = TSaveResolution::sColorVga;
        break;
    case PreviewResolution::Colors256:
        readRes_ = TLoadResolution::lColor256;
        writeRes_ = TSaveResolution::sColor256;
        break;
    case PreviewResolution::TrueColor:
        readRes_ = TLoadResolution::lColorTrue;
        writeRes_ = TSaveResolution::sColorTrue;
        break;
    case PreviewResolution::Automatic:
        readRes_ = TLoadResolution::lAutoMatic;
        writeRes_ = TSaveResolution::sAutoMatic;
        break;
    }
    dither_ = readRes_ != TLoadResolution::lAutoMatic;
}

QString PreviewStore::previewExtension() const
{
    return format_ == PreviewFormat::ForSpeed ? QStringLiteral(".THB") : QStringLiteral(".THJ");
}

void PreviewStore::setUseBestPalette(bool on)
{
    bestPalette_ = on;
    ClearSharedPalette();
}

int PreviewStore::readDepth() const
{
    switch (readRes_) {
    case TLoadResolution::lColorVga: return 0;
    case TLoadResolution::lColor256: return 8;
    case TLoadResolution::lColorTrue: return 24;
    default: return displayDepth_;
    }
}

void PreviewStore::processMessages()
{
    if (!hooks_.processMessages)
        return;
    for (int i = 0; i < kMessageRounds; ++i)
        hooks_.processMessages();
}

void PreviewStore::status(const QString &text)
{
    if (hooks_.showStatus)
        hooks_.showStatus(text);
}

// ---- the data file and the previews folder ----------------------------------

QString PreviewStore::PreviewFileFor(const QString &source) const
{
    return platform::ReadProfileString(dataFile_, sectionOf(source), fs::lowerAscii(source), QString());
}

void PreviewStore::RecordPreview(const QString &source, const QString &preview)
{
    platform::WriteProfileString(dataFile_, sectionOf(source), fs::lowerAscii(source), fs::lowerAscii(preview));
}

void PreviewStore::ForgetPreview(const QString &name)
{
    const QString source = listedFolder_ + name;
    const QString preview = PreviewFileFor(source);
    if (!preview.isEmpty() && fs::fileExists(preview))
        fs::removeFile(preview);
    platform::WriteProfileString(dataFile_, sectionOf(source), fs::lowerAscii(source), std::nullopt);
}

QString PreviewStore::NextPreviewName(const QString &base) const
{
    const qsizetype slash = base.lastIndexOf(u'/');
    const qsizetype dot = base.lastIndexOf(u'.');
    const QString stem = dot > slash ? base.left(dot) : base;
    const QString candidate = stem + previewExtension();
    if (!fs::exists(candidate))
        return candidate;
    for (qint64 counter = 0;; ++counter) {
        const QString numbered = previewsDir_ + QStringLiteral("Thm") + QString::number(counter) + previewExtension();
        if (!fs::exists(numbered))
            return numbered;
    }
}

void PreviewStore::expectPreviews(const QStringList &names)
{
    // With the best palette each preview reads onto the one before.
    if (bestPalette_)
        return;
    if (!prefetch_)
        prefetch_ = std::make_unique<PreviewPrefetch>();
    QStringList paths;
    for (const QString &name : names)
        paths.append(listedFolder_ + name);
    prefetch_->start(paths, {QSize(kWidth, kHeight), readDepth(), dither_, background_, SharedPalette()});
}

void PreviewStore::cancelExpected()
{
    if (prefetch_)
        prefetch_->cancel();
}

Bitmap PreviewStore::showSource(const QString &path)
{
    std::optional<BoxPicture> read;
    if (prefetch_)
        read = prefetch_->take(path, {QSize(kWidth, kHeight), readDepth(), dither_, background_, SharedPalette()});
    if (!read)
        read = DecodeStretched(path, QSize(kWidth, kHeight), readDepth(), dither_, background_, SharedPalette(), true);
    ReportRead(*read);
    return forDisplay(read->bitmap);
}

Bitmap PreviewStore::renderSource(const QString &path) const
{
    const BoxPicture read = DecodeStretched(path, QSize(kWidth, kHeight), readDepth(), dither_, background_,
                                            SharedPalette(), true);
    ReportRead(read);
    return forDisplay(read.bitmap);
}

Bitmap PreviewStore::forDisplay(Bitmap shown) const
{
    // What the window system holds of a box on a 256-colour display.
    if (displayDepth_ == 8) {
        QImage indexed = shown.image().convertToFormat(QImage::Format_Indexed8);
        shown.setPalette(indexed.colorTable());
        shown.setImage(indexed);
    } else {
        shown.setPalette({});
    }
    return shown;
}

void PreviewStore::writePreview(const Bitmap &bitmap, const QString &path) const
{
    // The capture box's writers: BMP at the write resolution's depth, JPEG in
    // colour at quality 25 without smoothing.
    bool ok = false;
    const char *failure = "";
    try {
        if (format_ == PreviewFormat::ForSpeed) {
            int depth = displayDepth_;
            switch (writeRes_) {
            case TSaveResolution::sColorVga: depth = 0; break;
            case TSaveResolution::sColor256: depth = 8; break;
            case TSaveResolution::sColorTrue: depth = 24; break;
            default: break;
            }
            ok = WriteBMPFile(path, depth, bitmap, CodecProgress());
            failure = "Writing bmp file failed";
        } else {
            ok = WriteJPGFile(path, 25, 0, 24, bitmap, CodecProgress());
            failure = "Writing jpg file failed";
        }
    } catch (const std::exception &) {
        return; // raised errors of the writers show no words, as in the control
    }
    if (!ok)
        platform::dialogs().message(platform::MessageKind::Information, QLatin1String(failure));
}

QString PreviewStore::MakePreview(const QString &name)
{
    QString result;
    const QString source = listedFolder_ + name;
    if (fs::fileExists(source)) {
        if (hooks_.focusWorkingBox)
            hooks_.focusWorkingBox();
        status(QStringLiteral("Processing: ") + name);
        processMessages();
        const Bitmap shown = showSource(source);
        if (hooks_.showWorking)
            hooks_.showWorking(shown);
        processMessages();
        // The capture box takes what the working box shows.
        processMessages();
        result = NextPreviewName(previewsDir_ + name);
        if (bestPalette_)
            SetSharedPalette(shown.palette());
        writePreview(shown, result);
        const int index = addImage(shown.image());
        names_.append(fs::lowerAscii(name + u'[' + QString::number(index) + u']'));
    }
    if (hooks_.repaintGrid)
        hooks_.repaintGrid();
    return result;
}

bool PreviewStore::LoadPreview(const QString &source)
{
    const QString preview = PreviewFileFor(source);
    if (preview.isEmpty() || !fs::fileExists(preview))
        return false;
    status(QStringLiteral("Loading previews"));
    const Bitmap loaded = ReadPicture(preview, readDepth(), dither_);
    if (hooks_.showWorking)
        hooks_.showWorking(loaded);
    if (bestPalette_)
        SetSharedPalette(loaded.palette());
    processMessages();
    const int index = addImage(loaded.image());
    names_.append(fs::lowerAscii(fs::fileNameOf(source) + u'[' + QString::number(index) + u']'));
    const bool loadedOk = index >= 0;
    if (hooks_.repaintGrid)
        hooks_.repaintGrid();
    return loadedOk;
}

// ---- the cache ----------------------------------------------------------------

int PreviewStore::addImage(const QImage &image)
{
    if (image.isNull() || image.size() != QSize(kWidth, kHeight))
        return -1;
    images_.push_back(image);
    return int(images_.size()) - 1;
}

int PreviewStore::ImageIndexOf(const QString &name) const
{
    const QString wanted = fs::lowerAscii(name) + u'[';
    for (qsizetype i = names_.size() - 1; i >= 0; --i) {
        const QString &entry = names_.at(i);
        if (!entry.startsWith(wanted))
            continue;
        const qsizetype close = entry.indexOf(u']', wanted.size());
        bool number = false;
        const int index = entry.mid(wanted.size(), close < 0 ? -1 : close - wanted.size()).toInt(&number);
        if (!number)
            return -1;
        if (index != -1)
            return index;
    }
    return -1;
}

void PreviewStore::ClearThumbnails()
{
    while (!images_.empty())
        images_.pop_back();
    names_.clear();
}

} // namespace brisvale
