#include "thumbs/PreviewStore.h"

#include "imaging/CodecBridge.h"
#include "imaging/SharedPalette.h"
#include "imaging/StretchedRead.h"
#include "platform/DialogService.h"
#include "platform/FileSystem.h"
#include "platform/PrivateProfile.h"
#include "platform/PrivateProfileFile.h"
#include "thumbs/PreviewHeader.h"
#include "thumbs/PreviewPrefetch.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brisvale {

namespace fs = platform::fs;

namespace {

QString withSeparator(const QString &dir) { return dir.isEmpty() || dir.endsWith(u'/') ? dir : dir + u'/'; }

// The source's folder up to and including its last separator.
QString sectionOf(const QString &source) { return source.left(source.lastIndexOf(u'/') + 1); }

// A batch keeps its temporary files and its not yet recorded previews for
// seconds; what is older than this was left by one that was killed.
constexpr qint64 kStaleSeconds = qint64(10) * 60;

bool lstatOf(const QString &path, struct stat &st) { return ::lstat(QFile::encodeName(path).constData(), &st) == 0; }

// A name is taken by anything that stands there, a dangling link included.
bool taken(const QString &path)
{
    struct stat st {};
    return lstatOf(fs::resolve(path), st);
}

bool isStale(const struct stat &st)
{
    return S_ISREG(st.st_mode) && QDateTime::currentSecsSinceEpoch() - qint64(st.st_mtim.tv_sec) >= kStaleSeconds;
}

// The store's temporary files: its own short names, the codec's temporary
// beside one of them, the data file's, and the long ones older versions left.
const QRegularExpression &temporaryPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(\.(thm|ini)-[A-Za-z0-9]{6}(\.~[A-Za-z0-9]{6})?|.+\.[Tt][Hh][BbJj]\.~[A-Za-z0-9]{6})$)"));
    return pattern;
}

// The names the store gives previews: a lower-cased picture name or ThmN.
const QRegularExpression &ownNamePattern()
{
    static const QRegularExpression pattern(QStringLiteral(R"(^(Thm[0-9]+|[^A-Z/]+)\.TH[BJ]$)"));
    return pattern;
}

bool isJpegPreview(const QString &name) { return fs::lowerAscii(fs::extensionOf(name)) == u".thj"; }

// Opens a file of the folder for reading: never through a link, never waiting.
int openInFolder(const platform::FolderHandle &folder, const QString &name)
{
    return ::openat(folder.fd(), QFile::encodeName(name).constData(),
                    O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

bool sameFile(const struct stat &a, const struct stat &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

} // namespace

PreviewStore::PreviewStore() = default;
// The palette previews fed is theirs alone: it goes with them.
PreviewStore::~PreviewStore()
{
    if (bestPalette_)
        ClearSharedPalette();
    if (profile_) {
        try {
            profile_->setDeferred(false);
        } catch (const platform::ProfileWriteError &) {
            // The window has gone; the entries not written are previews to make again.
        }
    }
}

void PreviewStore::setDataFile(const QString &path)
{
    if (profile_ && path == dataFile_)
        return;
    if (profile_) {
        try {
            profile_->flush();
        } catch (const platform::ProfileWriteError &) {
            // What the old file could not take is lost with it, as any failed write.
        }
    }
    dataFile_ = path;
    profile_ = std::make_unique<platform::PrivateProfileFile>(path);
    profile_->setOnReplaced([this](const QString &value) { removeOwnPreview(value); });
    profile_->setWaitHook([this] { return !hooks_.whileLockWaits || hooks_.whileLockWaits(); });
    if (batchDepth_ > 0)
        profile_->setDeferred(true);
}

void PreviewStore::setPreviewsDir(const QString &dir)
{
    previewsDir_ = withSeparator(dir);
    previewsFolder_ = platform::FolderHandle();
}

const platform::FolderHandle &PreviewStore::previewsFolder()
{
    if (batchDepth_ == 0 || !previewsFolder_.isOpen())
        previewsFolder_ = platform::FolderHandle(previewsDir_);
    return previewsFolder_;
}

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
    return profile_ ? profile_->value(sectionOf(source), fs::lowerAscii(source)).value_or(QString()) : QString();
}

void PreviewStore::RecordPreview(const QString &source, const QString &preview)
{
    if (!profile_)
        throw platform::ProfileWriteError(dataFile_);
    profile_->setValue(sectionOf(source), fs::lowerAscii(source), fs::lowerAscii(preview));
    profile_->flushIfDue();
}

void PreviewStore::ForgetPreview(const QString &name)
{
    if (!profile_)
        throw platform::ProfileWriteError(dataFile_);
    // A preview file goes only under the lock, together with the entry on
    // disk that names it, so no other program can still find it there when
    // its name is taken again. Within a batch, where writes wait, that is
    // written at once only when there is a preview of ours to delete.
    const QString source = listedFolder_ + name;
    const bool ours = !ownPreviewPath(PreviewFileFor(source)).isEmpty();
    profile_->removeKey(sectionOf(source), fs::lowerAscii(source));
    if (ours)
        profile_->flush();
}

QString PreviewStore::ownPreviewPath(const QString &value)
{
    const qsizetype slash = value.lastIndexOf(u'/');
    const QString name = value.mid(slash + 1);
    if (fs::lowerAscii(value.left(slash + 1)) != fs::lowerAscii(previewsDir_) || name.isEmpty() || name == u"."
        || name == u"..")
        return {};
    const QString extension = fs::lowerAscii(fs::extensionOf(name));
    if (extension != u".thb" && extension != u".thj")
        return {};
    // Values are lower-cased; the file keeps the case it was written in.
    const platform::FolderHandle &folder = previewsFolder();
    QString real = name;
    struct stat st {};
    if (!folder.statOf(real, st)) {
        for (const QString &entry : folder.entries()) {
            if (fs::lowerAscii(entry) == fs::lowerAscii(name)) {
                real = entry;
                break;
            }
        }
    }
    return folder.statOf(real, st) && S_ISREG(st.st_mode) ? previewsDir_ + real : QString();
}

void PreviewStore::removeOwnPreview(const QString &value)
{
    const QString real = ownPreviewPath(value);
    if (!real.isEmpty())
        previewsFolder().removeIf(fs::fileNameOf(real), [](const struct stat &st) { return S_ISREG(st.st_mode); });
}

QString PreviewStore::previewName(const QString &base, const std::function<bool(const QString &)> &take) const
{
    const qsizetype slash = base.lastIndexOf(u'/');
    const qsizetype dot = base.lastIndexOf(u'.');
    const QString stem = dot > slash ? base.left(dot) : base;
    // A name holding '=' would make the data file's line ambiguous.
    const QString candidate = stem + previewExtension();
    if (!candidate.mid(slash + 1).contains(u'=') && take(candidate))
        return candidate;
    for (qint64 counter = 0;; ++counter) {
        const QString numbered = previewsDir_ + QStringLiteral("Thm") + QString::number(counter) + previewExtension();
        if (take(numbered))
            return numbered;
    }
}

QString PreviewStore::NextPreviewName(const QString &base) const
{
    return previewName(base, [](const QString &path) { return !taken(path); });
}

void PreviewStore::beginBatch()
{
    if (batchDepth_++ > 0)
        return;
    toldOversized_ = false;
    previewsFolder_ = platform::FolderHandle();
    if (profile_)
        profile_->setDeferred(true);
}

void PreviewStore::endBatch()
{
    if (--batchDepth_ > 0)
        return;
    // The last entries are written, and the previews they replace removed,
    // while the batch's folder is still held.
    ++batchDepth_;
    const auto release = qScopeGuard([this] {
        batchDepth_ = 0;
        previewsFolder_ = platform::FolderHandle();
    });
    if (profile_)
        profile_->setDeferred(false);
}

bool PreviewStore::storableName(const QString &name)
{
    if (name.isEmpty() || name.contains(u'\n') || name.contains(u'\r') || name.contains(QChar::ReplacementCharacter))
        return false;
    return QFile::decodeName(QFile::encodeName(name)) == name;
}

void PreviewStore::sweepPreviewsFolder(bool orphans)
{
    const platform::FolderHandle &folder = previewsFolder();
    const QStringList entries = folder.entries();
    for (const QString &entry : entries) {
        if (temporaryPattern().match(entry).hasMatch())
            folder.removeIf(entry, isStale);
    }
    // Previews in a folder whose data file lies elsewhere may be named by another one.
    if (!orphans || !profile_ || fs::lowerAscii(sectionOf(dataFile_)) != fs::lowerAscii(previewsDir_))
        return;
    profile_->locked([this, &folder, &entries](const platform::ProfileDocument &doc) {
        // Only what the store could have made: its own kind of name and a
        // preview's header, read through a descriptor that stays put.
        QStringList candidates;
        std::vector<struct stat> seen;
        for (const QString &entry : entries) {
            if (!ownNamePattern().match(entry).hasMatch())
                continue;
            const int fd = openInFolder(folder, entry);
            struct stat st {};
            if (fd < 0)
                continue;
            if (::fstat(fd, &st) == 0 && isStale(st)
                && previewHeaderSize(fd, isJpegPreview(entry)) == QSize(kWidth, kHeight)) {
                candidates.append(previewsDir_ + entry);
                seen.push_back(st);
            }
            ::close(fd);
        }
        const std::vector<bool> named = doc.namedByValues(candidates);
        for (qsizetype i = 0; i < candidates.size(); ++i) {
            const struct stat &was = seen[size_t(i)];
            if (!named[size_t(i)])
                folder.removeIf(fs::fileNameOf(candidates[i]),
                                [&was](const struct stat &now) { return S_ISREG(now.st_mode) && sameFile(now, was); });
        }
    });
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

bool PreviewStore::writePreview(const Bitmap &bitmap, int fd) const
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
            ok = WriteBMPTo(fd, depth, bitmap, CodecProgress());
            failure = "Writing bmp file failed";
        } else {
            ok = WriteJPGTo(fd, 25, 0, 24, bitmap, CodecProgress());
            failure = "Writing jpg file failed";
        }
    } catch (const std::exception &) {
        return false; // raised errors of the writers show no words, as in the control
    }
    if (!ok)
        platform::dialogs().message(platform::MessageKind::Information, QLatin1String(failure));
    return ok;
}

void PreviewStore::reportWriteFailure() const
{
    platform::dialogs().message(platform::MessageKind::Information, format_ == PreviewFormat::ForSpeed
                                                                        ? QStringLiteral("Writing bmp file failed")
                                                                        : QStringLiteral("Writing jpg file failed"));
}

QString PreviewStore::storePreview(const Bitmap &bitmap, const QString &base)
{
    // Previews can be made again: they are not synced to the disk.
    const platform::FolderHandle &folder = previewsFolder();
    platform::NewFile file = folder.create(".thm-", true);
    if (!file.isOpen()) {
        reportWriteFailure();
        return NextPreviewName(base);
    }
    if (!writePreview(bitmap, file.fd()))
        return NextPreviewName(base);
    bool placed = false;
    const QString path = previewName(base, [&](const QString &candidate) {
        placed = folder.link(file, fs::fileNameOf(candidate));
        // Any failure but a name already taken ends the search.
        return placed || errno != EEXIST;
    });
    if (!placed)
        reportWriteFailure();
    return path;
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
        if (bestPalette_)
            SetSharedPalette(shown.palette());
        result = storePreview(shown, previewsDir_ + fs::lowerAscii(name));
        const int index = addImage(shown.image());
        names_.append(fs::lowerAscii(name + u'[' + QString::number(index) + u']'));
    }
    if (hooks_.repaintGrid)
        hooks_.repaintGrid();
    return result;
}

bool PreviewStore::LoadPreview(const QString &source)
{
    // Only a regular file is read: a link or a pipe named by a value is not.
    const QString preview = fs::resolve(PreviewFileFor(source));
    if (preview.isEmpty())
        return false;
    const int fd = ::open(QFile::encodeName(preview).constData(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat st {};
    const bool regular = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const bool sized = regular && previewSized(fd, preview);
    Bitmap loaded;
    if (sized) {
        status(QStringLiteral("Loading previews"));
        // The picture is read from the file whose header was weighed, not
        // from whatever may have been put at its name since.
        loaded = ReadPictureOpened(fd, preview, readDepth(), dither_);
    }
    if (fd >= 0)
        ::close(fd);
    if (!sized)
        return false;
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

bool PreviewStore::previewSized(int fd, const QString &path)
{
    const std::optional<QSize> size = previewHeaderSize(fd, isJpegPreview(path));
    if (!size || (size->width() <= kWidth && size->height() <= kHeight))
        return true;
    if (!toldOversized_)
        platform::dialogs().message(platform::MessageKind::Information,
                                    QStringLiteral("%1 is not a preview: it claims %2 x %3 pixels")
                                        .arg(path)
                                        .arg(size->width())
                                        .arg(size->height()));
    toldOversized_ = batchDepth_ > 0;
    return false;
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
