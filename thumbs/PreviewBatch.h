#pragma once

#include "thumbs/ThumbGridModel.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace brisvale {

class PreviewStore;

// What a batch tells the one who runs it. Every hook may be left empty.
struct PreviewBatchHooks {
    // The gauge: its maximum once, then the position of each file.
    std::function<void(int maximum)> started;
    std::function<void(int position)> progress;
    // The status label during Batch load ("Processing beach.jpg").
    std::function<void(const QString &)> showStatus;
    // One round of pending window messages, once per file of Batch load.
    std::function<void()> processMessages;
    // Tested once per file; true ends the batch.
    std::function<bool()> stopRequested;
    // A slot got its picture (the window scrolls to it).
    std::function<void(const ThumbSlot &)> slotDone;
    // A preview was made for the file as listed; "" when there was none to make.
    std::function<void(const QString &file, const QString &preview)> made;
};

// The previewer's two batches without its window: the loop over the listed
// files, the stop test, the progress and the store's calls, so the window's
// buttons and the command-line tool do the same by construction. With a grid
// the batch fills its free slots; without one every picture gets a slot of
// its own (a later name differing only in letter case is passed over, as its
// caption is taken).
class PreviewBatch {
public:
    enum class Result { Done, Stopped, Failed };

    PreviewBatch(PreviewStore &store, ThumbGridModel *grid);

    PreviewBatchHooks &hooks() { return hooks_; }

    // Batch load: stored previews of the listed files into free slots.
    Result load(const QStringList &files);
    // Batch create: a new preview for every listed file that has no slot yet.
    // `orphans` also removes the store's previews that no entry names. A
    // name that cannot be stored is skipped with a message naming it (with a
    // `mask`, so is each file of the folder under it whose name cannot even
    // be listed); a data file that cannot be written is reported once and
    // ends the batch.
    Result create(const QStringList &files, bool orphans, const QString &mask = {});

    // A preview for one file dropped on a free slot, without forgetting an
    // older one; false when the name was skipped or the data file could not
    // be written (both reported).
    bool createOne(const QString &file, const ThumbSlot &slot);

    // The message for a skipped name.
    static QString skippedText(const QString &file);

private:
    bool stopRequested() const { return hooks_.stopRequested && hooks_.stopRequested(); }
    void progress(int position) const;
    // The slot the file's caption would take, or nothing when it gets none.
    std::optional<ThumbSlot> slotFor(const QString &caption, const QStringList &captions) const;

    PreviewStore &store_;
    ThumbGridModel *grid_;
    PreviewBatchHooks hooks_;
};

} // namespace brisvale
