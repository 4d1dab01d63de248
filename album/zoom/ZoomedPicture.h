// What the view shows of a zoomed picture. It keeps the picture's own
// pixels of one rectangle, as many as the view has pixels (the view's
// memory: no more than what the view shows), around the part the view
// shows, and draws the view from them, each picture pixel a square of view
// pixels. A step in keeps to that rectangle; a
// step out or a pan that leaves it moves what it can of the rectangle
// within its memory and reads only what is new. Of a JPEG only those rows
// and columns are decoded (ImageLoad's ReadJPGRegion, with the notes of
// where its rows begin once they are made, CJpegNotes); other formats are
// read whole, once for the picture while it is zoomed, in their turn with
// the cells' whole decodes (WholeDecodeTurn). Window thread only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "album/zoom/JpegNotes.h"
#include "album/zoom/Zoom.h"

class CZoomedPicture {
public:
    // The file as the view last found it (CurrentCellKey's size and time).
    struct File {
        std::string path;
        std::uint64_t size, writeTime;
    };

    CZoomedPicture() = default;
    ~CZoomedPicture() { Release(); }
    CZoomedPicture(const CZoomedPicture&) = delete;
    CZoomedPicture& operator=(const CZoomedPicture&) = delete;

    // What a render came to: the pixels at hand; the file could not be read
    // for a reason that may pass (another program holds it, memory ran
    // out), so that a later render may succeed; or the file cannot be read
    // as that picture. Nothing is held after a failure.
    enum class Rendered { Shown, Busy, Failed };
    // Has the pixels of the region of a picture of width x height at hand
    // for a view of viewWidth x viewHeight, reading what it lacks.
    Rendered Render(const File& file, int width, int height, const ZoomRegion& region, int viewWidth, int viewHeight);
    // Where the last region rendered goes on the view (empty when nothing
    // of the picture is shown).
    const RECT& Place() const { return m_rcPlace; }
    // Puts it there; false when nothing was drawn.
    bool Draw(HDC dc);
    // Lets go of every pixel and of a picture read whole.
    void Release();
    // What is held, in bytes.
    std::size_t Bytes() const;
    // What a picture read whole takes of it.
    std::size_t WholeBytes() const;
    // Waits until the JPEG's notes are made, if they are being made
    // (benchmarks: the steps at an operator's pace).
    void WaitForNotes() { m_notes.Ready(true); }

private:
    // A rectangle of the picture, [left, right) x [top, bottom).
    struct Span {
        int left, top, right, bottom;
    };

    // ReadJPGRegion's procedures: the rectangle to read, and each row of it.
    static int __cdecl ChooseRegion(void* self, int width, int height, int* x, int* y, int* regionWidth,
                                    int* regionHeight);
    static int __cdecl TakeRegionRow(void* self, int y, const unsigned char* bgr);
    // One row of the rectangle being read: blue, green, red bytes from its
    // left column on, into the pixels held.
    void TakeRow(int y, const unsigned char* bgr);

    // Lets go of everything after a render that failed, and says how.
    Rendered Failure();
    // The rectangle to hold for a region: the view's size (or the
    // picture's, when smaller), around the region, inside the picture.
    Span HeldFor(const ZoomRegion& region) const;
    // Moves the pixels still wanted to their place in the rectangle to
    // hold and reads the rest.
    bool Hold(const Span& wanted);
    bool Read(const Span& part);
    bool ReadWhole(const Span& part);
    void Lay(const ZoomRegion& region);

    File m_file = {"", 0, 0};
    int m_nType = 0;                        // FileType's answer for it
    int m_nWidth = 0, m_nHeight = 0;        // the picture's, as the fit measured it
    int m_nViewWidth = 0, m_nViewHeight = 0;
    std::vector<std::uint32_t> m_pixels;    // the rectangle held, top row first, as a 32-bit screen takes them
    Span m_held = {0, 0, 0, 0};
    bool m_bHolding = false;
    Span m_reading = {0, 0, 0, 0};          // the part being read
    int m_nRowsRead = 0;
    bool m_bMayPass = false;                // the last read failed for a reason that may pass
    ZoomRegion m_region = {};               // the region last rendered
    RECT m_rcPlace = {0, 0, 0, 0};
    // The notes of a JPEG, asked for once for the picture.
    CJpegNotes m_notes;
    bool m_bNotesAsked = false;
    // A picture of another format read whole, while it is zoomed.
    HGLOBAL m_hWhole = nullptr;
    File m_wholeFile = {"", 0, 0};
};
