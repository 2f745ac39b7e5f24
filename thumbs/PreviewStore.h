#pragma once

#include "imaging/Bitmap.h"
#include "imaging/TImageView.h"
#include "platform/FolderHandle.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace brisvale {

class PreviewPrefetch;

namespace platform {
class PrivateProfileFile;
}

// The previewer's "Resolution" and "Optimize previews" choices.
enum class PreviewResolution { SystemColors16, Colors256, TrueColor, Automatic };
enum class PreviewFormat { ForSpeed, ForSize };

// What the store asks of the window it serves. Every hook may be left empty
// (the command-line tool leaves most of them so).
struct PreviewStoreHooks {
    std::function<void()> focusWorkingBox;
    // The status label's text ("Processing: beach.jpg", "Loading previews").
    std::function<void(const QString &)> showStatus;
    // One round of processing pending window messages.
    std::function<void()> processMessages;
    // The working box now shows this picture: the source drawn stretched into
    // the box, or a stored preview. An empty bitmap clears it.
    std::function<void(const Bitmap &)> showWorking;
    std::function<void()> repaintGrid;
    // Called now and then while another program holds the data file's lock
    // (the window keeps answering and Stop can end the wait); false gives up.
    std::function<bool()> whileLockWaits;
};

// The thumbnail previews of the folder the previewer lists: the data file
// (an INI file whose sections are source folders, keys lower-cased source
// paths and values lower-cased preview paths), the previews folder and the
// in-memory cache of 60 x 50 images with its name index ("beach.jpg[3]").
//
// Runs on the user-interface thread. Writing the data file throws
// platform::ProfileWriteError ("Unable to write to <data file>"), which ends
// the running operation; the window shows its text in an error box.
//
// The folder, its data file and its previews may come from anyone, so the
// store deletes and replaces only its own previews: regular files (never a
// link) with the .THB or .THJ extension in the previews folder. A data-file
// value naming anything else loses its entry and nothing is deleted. Another
// program may be writing in the folder meanwhile: a preview is written
// through the descriptor of the file the store made (without a name where
// the file system allows) and then linked to its name in the previews folder
// held open, never over anything that stands there, so two programs never
// give two pictures one name and nothing is written through a link. What is
// deleted is checked through the same folder at the moment it goes.
class PreviewStore {
public:
    static constexpr int kWidth = 60;
    static constexpr int kHeight = 50;
    // How many rounds of pending messages each step lets through.
    static constexpr int kMessageRounds = 11;

    PreviewStore();
    ~PreviewStore();
    PreviewStore(const PreviewStore &) = delete;
    PreviewStore &operator=(const PreviewStore &) = delete;

    PreviewStoreHooks &hooks() { return hooks_; }

    // The data file's full path (DataFileDir followed by DataFileName).
    void setDataFile(const QString &path);
    QString dataFile() const { return dataFile_; }
    // Where new previews go; a missing trailing separator is added.
    void setPreviewsDir(const QString &dir);
    QString previewsDir() const { return previewsDir_; }
    // The folder the window lists; bare file names are taken in it.
    void setListedFolder(const QString &dir);
    QString listedFolder() const { return listedFolder_; }

    void setResolution(PreviewResolution resolution);
    PreviewResolution resolution() const { return resolution_; }
    TLoadResolution readRes() const { return readRes_; }
    TSaveResolution writeRes() const { return writeRes_; }
    bool dither() const { return dither_; }
    void setFormat(PreviewFormat format) { format_ = format; }
    PreviewFormat format() const { return format_; }
    // ".THB" for speed, ".THJ" for size.
    QString previewExtension() const;
    // Ticking or unticking empties the shared palette.
    void setUseBestPalette(bool on);
    bool useBestPalette() const { return bestPalette_; }
    // The working box's colour (the button face); what an unreadable picture
    // leaves in the preview.
    void setBackground(const QColor &color) { background_ = color; }
    QColor background() const { return background_; }
    // Depth code of the display (4, 8 or 24) the Automatic choice follows.
    void setDisplayDepth(int depth) { displayDepth_ = depth; }
    int displayDepth() const { return displayDepth_; }

    // ---- the data file and the previews folder ----
    QString PreviewFileFor(const QString &source) const;
    void RecordPreview(const QString &source, const QString &preview);
    // `name` is a file name in the listed folder.
    void ForgetPreview(const QString &name);
    QString NextPreviewName(const QString &base) const;
    // `name` is the file name of a picture in the listed folder as listed:
    // the picture is read from that very file (a case twin reads its own),
    // the preview is named after the lower-cased name. Answers the new
    // preview's path, or "" when the picture does not exist.
    QString MakePreview(const QString &name);
    bool LoadPreview(const QString &source);

    // A batch is about to call MakePreview for these file names of the listed
    // folder in this order: their pictures may be decoded ahead on worker
    // threads. Names may still come in any order; one not announced is
    // decoded when it comes. Nothing of a window is touched off this thread.
    void expectPreviews(const QStringList &names);
    // The batch ended early: work not started is dropped.
    void cancelExpected();

    // The path of the store's own preview file a data-file value names, or ""
    // when the value names anything else.
    QString ownPreviewPath(const QString &value);
    // Changes to the data file made between these two are written together
    // now and then (after a time long against what a write costs) and at the
    // end, each time under the lock onto the file as it is then.
    void beginBatch();
    void endBatch();
    // Removes what a batch that was killed left in the previews folder: the
    // store's temporary files, and with `orphans` its previews that no entry
    // of the data file names (only when the data file lies in that folder).
    // Only files older than a batch ever keeps them are taken.
    void sweepPreviewsFolder(bool orphans);
    // True when the file name can be kept in the data file and named on disk.
    static bool storableName(const QString &name);

    // ---- the cache ----
    int ImageIndexOf(const QString &name) const;
    void ClearThumbnails();
    int imageCount() const { return int(images_.size()); }
    const QImage &image(int index) const { return images_.at(size_t(index)); }
    const QStringList &nameIndex() const { return names_; }
    // Adds a 60 x 50 image; anything else is refused with -1.
    int addImage(const QImage &image);

    // The pixels a stretched 60 x 50 box shows of a picture file, read at the
    // current read resolution; failures are reported in the image control's
    // words and leave the empty box.
    Bitmap renderSource(const QString &path) const;

private:
    int readDepth() const;
    void processMessages();
    void status(const QString &text);
    bool writePreview(const Bitmap &bitmap, int fd) const;
    // Writes the preview and gives it the first free name NextPreviewName
    // would give; answers that name, written or not (a failure is reported).
    QString storePreview(const Bitmap &bitmap, const QString &base);
    // The previews folder: opened afresh for each step, held during a batch.
    const platform::FolderHandle &previewsFolder();
    QString previewName(const QString &base, const std::function<bool(const QString &)> &take) const;
    // False, with one message a batch, for a preview whose header claims
    // more than a preview can be.
    bool previewSized(int fd, const QString &path);
    void removeOwnPreview(const QString &value);
    void reportWriteFailure() const;
    // What the working box shows of the picture, decoded ahead when it was.
    Bitmap showSource(const QString &path);
    // The box's pixels as the window system holds them at the display's depth.
    Bitmap forDisplay(Bitmap shown) const;

    PreviewStoreHooks hooks_;
    QString dataFile_;
    std::unique_ptr<platform::PrivateProfileFile> profile_;
    int batchDepth_ = 0;
    bool toldOversized_ = false;
    QString previewsDir_;
    platform::FolderHandle previewsFolder_;
    QString listedFolder_;
    PreviewResolution resolution_ = PreviewResolution::Automatic;
    TLoadResolution readRes_ = TLoadResolution::lAutoMatic;
    TSaveResolution writeRes_ = TSaveResolution::sAutoMatic;
    bool dither_ = false;
    PreviewFormat format_ = PreviewFormat::ForSpeed;
    bool bestPalette_ = false;
    QColor background_;
    int displayDepth_ = 24;

    std::unique_ptr<PreviewPrefetch> prefetch_;
    std::vector<QImage> images_;
    QStringList names_;
};

} // namespace brisvale
