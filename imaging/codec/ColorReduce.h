#pragma once

#include "imaging/codec/Image.h"
#include "imaging/codec/Progress.h"

namespace brisvale::codec {

// Takes a true-colour picture's rows, top to bottom, as blue, green, red
// bytes, in place of the whole picture: a picture that only goes on to be
// shrunk never needs all of it in memory at once.
class RowSink {
public:
    virtual ~RowSink() = default;
    // Once the size is known and allowed: true when the rows are wanted,
    // false to have the whole picture made as usual.
    virtual bool wants(int width, int height) = 0;
    // After wants(): the rows will come as they are decoded, with no more
    // than one of them held (otherwise the reader holds its picture at the
    // file's own depth and hands the rows over at the end).
    virtual void rowByRow() {}
    // After rowByRow(): true when the sink takes the rows that follow with
    // red first and blue third, as some libraries lay them out, so that
    // they need not be turned around first.
    virtual bool redFirst() { return false; }
    virtual void take(const uint8_t *bgr) = 0;
    // A sink that takes rows in pieces gets rows of few colours, and rows a
    // reader decodes across the width, that way: a row millions of pixels
    // long then never exists whole in true colour. Each row `y` comes from
    // the left; pieces of the next rows may come before a row is whole, but
    // rows are made whole from the top down.
    virtual bool takesPieces() const { return false; }
    virtual void takePiece(int y, const uint8_t *bgr, int x0, int count)
    {
        (void)y;
        (void)bgr;
        (void)x0;
        (void)count;
    }
};

// What every read is given besides the file.
struct ReadOptions {
    int depth = 24;                 // 0 (the 16 VGA colours), 1, 4, 8 or 24
    bool dither = false;            // error diffusion when colours are reduced
    const Palette *start = nullptr; // an 8-bit read maps onto it when not empty
    const Progress *progress = nullptr;
    // When both are set, a reader that can decode at a reduced size (JPEG)
    // picks the smallest one that still covers this box, upright.
    int coverWidth = 0;
    int coverHeight = 0;
    // At depth 24, a reader that has the rows in order hands them here when
    // the sink wants them; the read then gives back no picture.
    RowSink *sink = nullptr;
};

bool isDepthCode(int depth);

// The 16 fixed colours of the VGA system palette.
const Palette &vgaPalette();

// One row as blue, green, red bytes (3 × width), whatever the picture's depth.
void rowToBgr(const Image &image, const Palette &palette, int y, uint8_t *out);
// Only `count` pixels of it, from column x0.
void rowToBgr(const Image &image, const Palette &palette, int y, int x0, int count, uint8_t *out);

// Turns a decoded picture (indexed with its palette, or 24-bit) into the depth
// code asked for. Palettes are made by libimagequant where they are free and
// mapped by error diffusion where they are fixed (VGA, black and white, start).
int toDepth(Image &image, Palette &palette, const ReadOptions &options);

// The end of every reader: the file's palette goes out with the picture,
// both reduced to the depth asked for; on failure no picture goes out.
int finishRead(Image &image, Palette &palette, Palette filePalette, const ReadOptions &options);

// As toDepth for writers: depth 0 gives 4-bit VGA, and reductions always dither.
int toWriteDepth(const Image &image, const Palette &palette, int depth, Image &out, Palette &outPalette);

// The picture a writer writes at a depth code: the caller's own when it
// already has that many bits, else a converted copy held here.
struct WriteSource {
    Image converted;
    Palette convertedPalette;
    const Image *image = nullptr;
    const Palette *palette = nullptr;
};
int prepareWrite(const Image &image, const Palette &palette, int depth, WriteSource &source);

// Where a reader puts its rows: into the whole picture, or, when the
// options' sink takes this picture, into a single row that goes to the sink
// as each is finished. Readers write row y at image().row(line(y)) and call
// done() after each row, in order from the top. A reader whose rows come in
// another order keeps its picture at its own depth and the sink gets the
// rows from finish(), so it never needs a true-colour copy.
class RowFeed {
public:
    // Makes the picture (or the single row); kOk or the failure of making it.
    // `inOrder`: the reader finishes its rows strictly from the top down.
    int begin(const ReadOptions &options, int width, int height, int bits, Image &image, bool inOrder = true);
    bool streaming() const { return sink_ != nullptr && !deferred_; }
    // True when the rows may from now on be laid red first (see RowSink).
    bool redFirst() { return streaming() && sink_->redFirst(); }
    Image &image() { return *target_; }
    int line(int y) const { return streaming() ? 0 : y; }
    void done(const Palette &filePalette);
    // finishRead for the whole picture; streamed, no picture goes out.
    int finish(Image &image, Palette &palette, Palette filePalette, const ReadOptions &options);

private:
    void give(const Image &image, int y, const Palette &filePalette);

    RowSink *sink_ = nullptr;
    bool deferred_ = false;
    int given_ = 0;
    Image *target_ = nullptr;
    Image row_;
    std::vector<uint8_t> bgr_;
};

} // namespace brisvale::codec
