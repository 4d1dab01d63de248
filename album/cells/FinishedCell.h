// One cell as the album shows it, prepared off the window thread: the facts
// its caption needs, where the picture goes in the cell's rectangle, and
// the picture already resampled to that size. Immutable once made; the
// window thread only draws it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

#include "album/cells/CellCache.h"
#include "album/cells/CellFit.h"

class CDC;

class CFinishedCell {
public:
    CFinishedCell() = default;
    ~CFinishedCell();
    CFinishedCell(const CFinishedCell&) = delete;
    CFinishedCell& operator=(const CFinishedCell&) = delete;

    // False when the file could not be read: the cell shows its frame only.
    bool Loaded() const { return m_bLoaded; }
    // The picture's own size and colour count, as its file says.
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    int Colours() const { return m_nColours; }
    std::size_t Bytes() const;

    // Draws the picture in its place in rc; false when nothing was drawn.
    bool Draw(CDC* dc, const RECT& rc) const;
    // That place: the picture at its fitted size, centred in rc.
    RECT PlaceIn(const RECT& rc) const
    {
        return {rc.left + m_fit.dx, rc.top + m_fit.dy, rc.left + m_fit.dx + m_fit.width,
                rc.top + m_fit.dy + m_fit.height};
    }
    // How the picture was fitted into its cell's box.
    const CellFit& Fit() const { return m_fit; }

    // Reads and fits the picture of key's file into key's box. A file that
    // is plainly not a picture gives a cell that shows its frame only, and
    // is kept like any other. Null when the failure may pass: the file
    // could not be opened (another program holds it, or it is still empty)
    // or memory ran out; such a cell is not kept, so the next paint tries
    // again. Throws only when memory runs out.
    static std::shared_ptr<const CFinishedCell> Prepare(const CellKey& key);

private:
    // A block to show, or why there is none.
    struct Shown {
        HGLOBAL block;
        bool mayPass;   // no block, for a reason that may pass
    };
    static Shown Nothing() { return {nullptr, false}; }
    static Shown Failed(int error);

    // What the fit of a JPEG learns of its picture.
    struct JpegFit {
        CellBox box;
        CellFit fit;
        int width, height;
    };
    static int __cdecl FitJpeg(void* context, int width, int height, int* targetWidth, int* targetHeight);
    Shown DecodeJpegIntoTheCell(const CellKey& key);
    Shown DecodeWholeAndFit(int fileType, const CellKey& key);
    static Shown FreedBlock(HGLOBAL block);
    // Takes the facts of a loaded picture and returns the block to show:
    // whole, a resized copy, nothing when the box has no room, or a failure
    // that may pass when the copy cannot be made.
    Shown Fit(HGLOBAL whole, const BYTE* bytes, const CellBox& box);
    static HGLOBAL WidenedForTheScreen(HGLOBAL shown);

    bool m_bLoaded = false;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nColours = 0;
    CellFit m_fit = {};
    HGLOBAL m_hBlock = nullptr;     // at the fitted size; null: nothing to draw
};

// Makes the fitted copy of a whole picture (picture::ResizedBlock); a test
// puts a failing one in its place.
using ResizedBlockMaker = HGLOBAL (*)(const BYTE* source, int newWidth, int newHeight, int* status);
extern ResizedBlockMaker g_pfnResizedBlock;

// The turn of a decode of a whole picture: one at a time in the process.
std::mutex& WholeDecodeTurn();

// The key of path's cell in box as the file is now (one call for its size
// and last write time); false when the file is gone.
bool CurrentCellKey(const std::string& path, const CellBox& box, int screenBits, CellKey* key);
