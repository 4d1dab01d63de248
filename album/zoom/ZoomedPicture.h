// What the view shows of a zoomed picture: the pixels of the part of the
// picture the zoom's region names, each picture pixel a square of view
// pixels, made once per zoom step or pan and drawn at every paint. Of a
// JPEG only the rows and columns the view shows are decoded (ImageLoad's
// ReadJPGRegion), so a zoomed 4K snapshot costs no more memory than the
// view's own pixels; other formats are read whole, once for the picture
// while it is zoomed. Window thread only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

    // Makes the view's pixels of the region of a picture of width x height
    // on a view of viewWidth x viewHeight, unless they are made already.
    // False when the file cannot be read as that picture; nothing is held
    // then.
    bool Render(const File& file, int width, int height, const ZoomRegion& region, int viewWidth, int viewHeight);
    // Where the pixels go on the view (empty when nothing is shown).
    const RECT& Place() const { return m_rcPlace; }
    // Puts them there; false when nothing was drawn.
    bool Draw(HDC dc) const;
    // Lets go of every pixel and of a picture read whole.
    void Release();
    // What is held, in bytes.
    std::size_t Bytes() const;

private:
    // ReadJPGRegion's procedures: the region, and each row of it.
    static int __cdecl ChooseRegion(void* self, int width, int height, int* x, int* y, int* regionWidth,
                                    int* regionHeight);
    static int __cdecl TakeRegionRow(void* self, int y, const unsigned char* bgr);
    // Takes one row of the picture's part: blue, green, red bytes from the
    // region's left column on.
    void TakeRow(int y, const unsigned char* bgr);
    bool Same(const File& file, const ZoomRegion& region, int viewWidth, int viewHeight) const;
    void Lay(const ZoomRegion& region, int viewWidth, int viewHeight);
    bool ReadJpeg(const File& file);
    bool ReadWhole(const File& file, int width, int height);

    File m_file = {"", 0, 0};
    ZoomRegion m_region = {};
    int m_nViewWidth = 0, m_nViewHeight = 0;
    bool m_bMade = false;
    RECT m_rcPlace = {0, 0, 0, 0};
    std::vector<std::uint32_t> m_pixels;    // the place's pixels, top row first, as a 32-bit screen takes them
    std::vector<int> m_columns;             // per column of the place, the byte of its pixel in a region row
    int m_nRowsTaken = 0;
    int m_nExpectedWidth = 0;               // the picture's size, as the fit measured it
    int m_nExpectedHeight = 0;
    // A picture of another format read whole, while it is zoomed.
    HGLOBAL m_hWhole = nullptr;
    File m_wholeFile = {"", 0, 0};
};
