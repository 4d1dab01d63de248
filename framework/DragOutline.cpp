#include "framework/DragOutline.h"

CDragOutline::CDragOutline(HWND frame) : m_frame(frame)
{
    static const WORD kHalftone[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    m_pattern = CreateBitmap(8, 8, 1, 1, kHalftone);
    m_brush = CreatePatternBrush(m_pattern);
}

CDragOutline::~CDragOutline()
{
    Hide();
    DeleteObject(m_brush);
    DeleteObject(m_pattern);
}

void CDragOutline::Show(const RECT& rc, int width)
{
    Hide();
    m_rect = rc;
    m_width = width;
    Draw();
    m_shown = true;
}

void CDragOutline::Hide()
{
    if (m_shown)
        Draw();
    m_shown = false;
}

void CDragOutline::Draw() const
{
    // The frame may have gone while the drag ran; nothing is left to undo.
    if (!IsWindow(m_frame))
        return;
    RECT window;
    GetWindowRect(m_frame, &window);
    HDC dc = GetDCEx(m_frame, nullptr, DCX_WINDOW | DCX_CACHE);
    if (dc == nullptr)
        return;
    HGDIOBJ old = SelectObject(dc, m_brush);
    const int x = m_rect.left - window.left, y = m_rect.top - window.top;
    const int w = m_rect.right - m_rect.left, h = m_rect.bottom - m_rect.top, t = m_width;
    PatBlt(dc, x, y, w, t, PATINVERT);
    PatBlt(dc, x, y + h - t, w, t, PATINVERT);
    PatBlt(dc, x, y + t, t, h - 2 * t, PATINVERT);
    PatBlt(dc, x + w - t, y + t, t, h - 2 * t, PATINVERT);
    SelectObject(dc, old);
    ReleaseDC(m_frame, dc);
}
