// A 32-bit memory bitmap that tests paint into, or copy a window's client
// area into, and read back pixel by pixel.
#pragma once

#include <windows.h>

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill);
    ~Canvas();
    Canvas(Canvas&& other) noexcept;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // What the window's client area shows on the screen now.
    static Canvas OfClient(HWND window);

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void Fill(const RECT& rc, COLORREF colour);
    // CLR_INVALID outside the canvas.
    COLORREF At(int x, int y) const;
    bool SameRegion(const Canvas& other, const RECT& rc) const;
    bool RegionIs(const RECT& rc, COLORREF colour) const;
    // How many pixels of the colour at (x, y) lie next to it to the left,
    // and upwards.
    int LeftReach(int x, int y) const;
    int UpReach(int x, int y) const;

private:
    int m_width, m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};
