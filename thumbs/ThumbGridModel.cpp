#include "thumbs/ThumbGridModel.h"

#include <cmath>

namespace brisvale {

ThumbGridModel::ThumbGridModel(QObject *parent)
    : QAbstractTableModel(parent), cells_(static_cast<size_t>(kInitialRows * kColumns))
{}

int ThumbGridModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : rows_; }

int ThumbGridModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant ThumbGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows_ || index.column() >= kColumns)
        return {};
    if (role == Qt::DisplayRole)
        return cell(index.column(), index.row());
    if (role == Qt::AccessibleTextRole) {
        // An image cell holds no text; it is read as the picture whose
        // preview it shows, named by the caption below it.
        const std::optional<ThumbSlot> slot = slotAt(index.column(), index.row());
        const QString name = slot ? caption(*slot) : QString();
        return name.isEmpty() ? QStringLiteral("Free") : name;
    }
    return {};
}

Qt::ItemFlags ThumbGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
}

int ThumbGridModel::rowsFor(int files, int current)
{
    const long wanted = std::lround(files * 0.4);
    return wanted > 10 ? static_cast<int>(wanted) + 1 : current;
}

void ThumbGridModel::layoutRows(int files) { setRows(rowsFor(files, rows_)); }

void ThumbGridModel::setRows(int rows)
{
    if (rows == rows_ || rows < 0)
        return;
    beginResetModel();
    rows_ = rows;
    cells_.resize(static_cast<size_t>(rows_) * kColumns);
    endResetModel();
}

std::optional<ThumbSlot> ThumbGridModel::slotAt(int column, int row) const
{
    if (column < 0 || column >= kColumns || row < 0 || row >= rows_)
        return std::nullopt;
    const int captionRow = isImageRow(row) ? row + 1 : row;
    if (captionRow >= rows_)
        return std::nullopt;
    return ThumbSlot{column, captionRow};
}

QString ThumbGridModel::caption(const ThumbSlot &slot) const
{
    if (slot.column < 0 || slot.column >= kColumns || slot.captionRow < 0 || slot.captionRow >= rows_)
        return QString();
    return cell(slot.column, slot.captionRow);
}

void ThumbGridModel::setCaption(const ThumbSlot &slot, const QString &caption)
{
    if (slot.column < 0 || slot.column >= kColumns || slot.captionRow < 0 || slot.captionRow >= rows_)
        return;
    cell(slot.column, slot.captionRow) = caption;
    const QModelIndex image = index(slot.imageRow(), slot.column);
    emit dataChanged(image, index(slot.captionRow, slot.column));
}

bool ThumbGridModel::isFreeAt(int column, int row) const
{
    const auto slot = slotAt(column, row);
    return slot && caption(*slot).isEmpty();
}

std::optional<ThumbSlot> ThumbGridModel::firstFreeSlot() const
{
    for (int row = 1; row < rows_; row += 2) {
        for (int column = 0; column < kColumns; ++column) {
            if (cell(column, row).isEmpty())
                return ThumbSlot{column, row};
        }
    }
    return std::nullopt;
}

std::optional<ThumbSlot> ThumbGridModel::findCaption(const QString &caption) const
{
    if (caption.isEmpty())
        return std::nullopt;
    for (int row = 1; row < rows_; row += 2) {
        for (int column = 0; column < kColumns; ++column) {
            if (cell(column, row) == caption)
                return ThumbSlot{column, row};
        }
    }
    return std::nullopt;
}

std::vector<ThumbSlot> ThumbGridModel::takenSlots() const
{
    std::vector<ThumbSlot> out;
    for (int row = 1; row < rows_; row += 2) {
        for (int column = 0; column < kColumns; ++column) {
            if (!cell(column, row).isEmpty())
                out.push_back({column, row});
        }
    }
    return out;
}

void ThumbGridModel::clearCaptions()
{
    for (QString &text : cells_)
        text.clear();
    if (rows_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, kColumns - 1));
}

} // namespace brisvale
