#pragma once

#include "imaging/BoxShrink.h"
#include "imaging/codec/ColorReduce.h"

#include <QImage>
#include <QSize>

#include <functional>
#include <optional>

namespace brisvale {

// Shrinks the rows a reader hands over straight into a box, for a picture
// that must never be whole (a picture of one row and a million columns).
// `boxFor` says, once the picture's size is known, the box to shrink it into,
// or an empty size to have the picture made whole as usual.
class ShrinkingSink : public codec::RowSink {
public:
    ShrinkingSink(std::function<QSize(QSize)> boxFor, std::function<void()> rowsOnly = {})
        : boxFor_(std::move(boxFor)), rowsOnly_(std::move(rowsOnly))
    {}
    bool wants(int width, int height) override;
    void rowByRow() override
    {
        if (rowsOnly_)
            rowsOnly_();
    }
    bool redFirst() override
    {
        shrinker_->takeRedFirst();
        return true;
    }
    void take(const uint8_t *bgr) override { shrinker_->addBgrRow(bgr); }
    bool takesPieces() const override { return true; }
    void takePiece(int y, const uint8_t *bgr, int x0, int count) override { shrinker_->addBgrPiece(y, bgr, x0, count); }
    bool used() const { return shrinker_.has_value(); }
    // The picture's own size, and the box it was shrunk into, once used.
    QSize pictureSize() const { return picture_; }
    QImage result() const { return ScaleToBox(shrinker_->result(), box_, true); }

private:
    std::function<QSize(QSize)> boxFor_;
    std::function<void()> rowsOnly_;
    QSize picture_;
    QSize box_;
    std::optional<BoxShrinker> shrinker_;
};

} // namespace brisvale
