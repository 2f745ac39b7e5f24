#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <optional>
#include <vector>

namespace brisvale {

// A slot of the thumbnail grid: its column and its caption row.
struct ThumbSlot {
    int column = 0;
    int captionRow = 1;
    int imageRow() const { return captionRow - 1; }
    bool operator==(const ThumbSlot &) const = default;
};

// The thumbnail grid without its window: five columns, rows in pairs of an
// image row above a caption row. A slot's caption is the lower-cased file
// name of its picture; an empty caption is a free slot.
class ThumbGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 5;
    static constexpr int kColumnWidth = 60;
    static constexpr int kImageRowHeight = 50;
    static constexpr int kCaptionRowHeight = 15;
    static constexpr int kInitialRows = 10;

    explicit ThumbGridModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // None: the grid shows no headers, and a screen reader would read its
    // columns as "1" to "5".
    QVariant headerData(int, Qt::Orientation, int) const override { return {}; }

    // The row count for a folder of `files` files: 0.4 rows a file, plus one,
    // when that is more than 10; otherwise the count in force stays.
    static int rowsFor(int files, int current);
    // Applies rowsFor; captions in rows that go away are lost.
    void layoutRows(int files);
    void setRows(int rows);

    static bool isImageRow(int row) { return row % 2 == 0; }
    static int rowHeight(int row) { return isImageRow(row) ? kImageRowHeight : kCaptionRowHeight; }

    // The slot of a cell, or nothing when its caption row does not exist.
    std::optional<ThumbSlot> slotAt(int column, int row) const;
    QString caption(const ThumbSlot &slot) const;
    void setCaption(const ThumbSlot &slot, const QString &caption);
    // True for a cell whose slot exists and has no caption.
    bool isFreeAt(int column, int row) const;

    std::optional<ThumbSlot> firstFreeSlot() const;
    // The first slot in reading order with this caption.
    std::optional<ThumbSlot> findCaption(const QString &caption) const;
    // Every slot that has a caption, in reading order.
    std::vector<ThumbSlot> takenSlots() const;
    // Empties every cell.
    void clearCaptions();

private:
    QString &cell(int column, int row)
    {
        return cells_[static_cast<size_t>(row) * kColumns + static_cast<size_t>(column)];
    }
    const QString &cell(int column, int row) const
    {
        return cells_[static_cast<size_t>(row) * kColumns + static_cast<size_t>(column)];
    }

    int rows_ = kInitialRows;
    std::vector<QString> cells_;
};

} // namespace brisvale
