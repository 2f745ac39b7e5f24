#include "thumbs/PreviewBatch.h"

#include "platform/DialogService.h"
#include "platform/FileSystem.h"
#include "platform/PrivateProfile.h"
#include "thumbs/PreviewStore.h"

namespace brisvale {

namespace fs = platform::fs;

PreviewBatch::PreviewBatch(PreviewStore &store, ThumbGridModel *grid) : store_(store), grid_(grid) {}

QString PreviewBatch::skippedText(const QString &file)
{
    QString shown = file;
    for (QChar &c : shown) {
        if (c.category() == QChar::Other_Control)
            c = u'?';
    }
    return QStringLiteral("Skipped %1: its name cannot be stored").arg(shown);
}

void PreviewBatch::progress(int position) const
{
    if (hooks_.progress)
        hooks_.progress(position);
}

std::optional<ThumbSlot> PreviewBatch::slotFor(const QString &caption, const QStringList &captions) const
{
    if (!grid_)
        return captions.contains(caption) ? std::nullopt : std::optional<ThumbSlot>(ThumbSlot{});
    const auto slot = grid_->firstFreeSlot();
    if (!slot || grid_->findCaption(caption))
        return std::nullopt;
    return slot;
}

PreviewBatch::Result PreviewBatch::load(const QStringList &files)
{
    if (hooks_.started)
        hooks_.started(int(files.size()));
    // One batch: the previews folder is held, a false preview told of once.
    store_.beginBatch();
    QStringList captions;
    for (qsizetype i = 0; i < files.size(); ++i) {
        progress(int(i));
        if (hooks_.showStatus)
            hooks_.showStatus(QStringLiteral("Processing ") + files[i]);
        if (hooks_.processMessages)
            hooks_.processMessages();
        if (stopRequested())
            break;
        const QString caption = fs::lowerAscii(files[i]);
        const auto slot = slotFor(caption, captions);
        if (!slot)
            continue;
        if (store_.LoadPreview(store_.listedFolder() + files[i])) {
            if (grid_)
                grid_->setCaption(*slot, caption);
            captions.append(caption);
        }
        if (hooks_.slotDone)
            hooks_.slotDone(*slot);
    }
    try {
        store_.endBatch();
    } catch (const platform::ProfileWriteError &) {
        // A load changes no entry: nothing was waiting to be written.
    }
    progress(0);
    return stopRequested() ? Result::Stopped : Result::Done;
}

bool PreviewBatch::createOne(const QString &file, const ThumbSlot &slot)
{
    if (!PreviewStore::storableName(file)) {
        platform::dialogs().message(platform::MessageKind::Information, skippedText(file));
        return false;
    }
    if (grid_)
        grid_->setCaption(slot, fs::lowerAscii(file));
    try {
        store_.RecordPreview(store_.listedFolder() + file, store_.MakePreview(file));
    } catch (const platform::ProfileWriteError &error) {
        platform::dialogs().message(platform::MessageKind::Error, error.text());
        return false;
    }
    return true;
}

PreviewBatch::Result PreviewBatch::create(const QStringList &files, bool orphans, const QString &mask)
{
    if (hooks_.started)
        hooks_.started(int(files.size()));
    if (!mask.isEmpty()) {
        for (const QString &unnamable : fs::unnamableFiles(store_.listedFolder(), mask))
            platform::dialogs().message(platform::MessageKind::Information, skippedText(unnamable));
    }
    // The pictures that will get a slot, in order, so they can be decoded ahead.
    QStringList coming;
    QStringList comingCaptions;
    qsizetype freeSlots = files.size();
    if (grid_)
        freeSlots = qsizetype(grid_->rowCount() / 2) * ThumbGridModel::kColumns - qsizetype(grid_->takenSlots().size());
    for (const QString &file : files) {
        const QString caption = fs::lowerAscii(file);
        if (coming.size() < freeSlots && (!grid_ || !grid_->findCaption(caption)) && !comingCaptions.contains(caption)
            && PreviewStore::storableName(file)) {
            coming << file;
            comingCaptions << caption;
        }
    }

    bool inStoreBatch = false;
    try {
        store_.sweepPreviewsFolder(orphans);
        store_.expectPreviews(coming);
        store_.beginBatch();
        inStoreBatch = true;
        QStringList captions;
        for (qsizetype i = 0; i < files.size(); ++i) {
            progress(int(i));
            if (stopRequested())
                break;
            const QString &file = files[i];
            const QString caption = fs::lowerAscii(file);
            const auto slot = slotFor(caption, captions);
            if (!slot)
                continue;
            if (!PreviewStore::storableName(file)) {
                platform::dialogs().message(platform::MessageKind::Information, skippedText(file));
                continue;
            }
            store_.ForgetPreview(caption);
            if (grid_)
                grid_->setCaption(*slot, caption);
            captions.append(caption);
            const QString preview = store_.MakePreview(file);
            store_.RecordPreview(store_.listedFolder() + file, preview);
            if (hooks_.made)
                hooks_.made(file, preview);
            if (hooks_.slotDone)
                hooks_.slotDone(*slot);
        }
        if (stopRequested())
            store_.cancelExpected();
        inStoreBatch = false;
        store_.endBatch();
    } catch (const platform::ProfileWriteError &error) {
        store_.cancelExpected();
        if (inStoreBatch) {
            try {
                store_.endBatch();
            } catch (const platform::ProfileWriteError &) {
                // Reported once, just below.
            }
        }
        platform::dialogs().message(platform::MessageKind::Error, error.text());
        progress(0);
        return Result::Failed;
    }
    progress(0);
    return stopRequested() ? Result::Stopped : Result::Done;
}

} // namespace brisvale
