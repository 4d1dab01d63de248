#include "tests/support/Canvas.h"

Canvas::Canvas(int width, int height, COLORREF fill) : m_width(width), m_height(height)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
    m_old = SelectObject(m_dc, m_bitmap);
    Fill(RECT{0, 0, width, height}, fill);
}

Canvas::Canvas(Canvas&& other) noexcept
    : m_width(other.m_width), m_height(other.m_height), m_dc(other.m_dc), m_bitmap(other.m_bitmap),
      m_old(other.m_old), m_bits(other.m_bits)
{
    other.m_dc = nullptr;
    other.m_bitmap = nullptr;
    other.m_bits = nullptr;
}

Canvas::~Canvas()
{
    if (m_dc == nullptr)
        return;
    SelectObject(m_dc, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

Canvas Canvas::OfClient(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    Canvas shot(client.right, client.bottom, RGB(0, 0, 0));
    HDC screen = GetDC(window);
    BitBlt(shot.m_dc, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    ReleaseDC(window, screen);
    return shot;
}

void Canvas::Fill(const RECT& rc, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(m_dc, &rc, brush);
    DeleteObject(brush);
}

COLORREF Canvas::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_bits == nullptr)
        return CLR_INVALID;
    GdiFlush();
    const DWORD v = m_bits[static_cast<size_t>(y) * m_width + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

bool Canvas::SameRegion(const Canvas& other, const RECT& rc) const
{
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            if (At(x, y) != other.At(x, y))
                return false;
    return true;
}

bool Canvas::RegionIs(const RECT& rc, COLORREF colour) const
{
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            if (At(x, y) != colour)
                return false;
    return true;
}

int Canvas::LeftReach(int x, int y) const
{
    int left = x;
    while (At(left - 1, y) == At(x, y))
        --left;
    return x - left;
}

int Canvas::UpReach(int x, int y) const
{
    int top = y;
    while (At(x, top - 1) == At(x, y))
        --top;
    return y - top;
}
