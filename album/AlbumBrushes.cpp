#include "album/AlbumBrushes.h"

CAlbumBrushes::CAlbumBrushes()
    : m_brBlue(RGB(0, 0, 255)),
      m_brGreen(RGB(0, 255, 0)),
      m_brRed(RGB(255, 0, 0)),
      m_brCell(RGB(166, 202, 240)),
      m_brCellSel(RGB(202, 224, 184)),
      m_brMagenta(RGB(255, 0, 255)),
      m_brBlack(RGB(0, 0, 0)),
      m_brMarked(RGB(0, 92, 200)),
      m_penGrey(PS_SOLID, 1, RGB(128, 128, 128)),
      m_penWhite(PS_SOLID, 2, RGB(255, 255, 255)),
      m_penTick(PS_SOLID, 3, RGB(255, 255, 255))
{
}

void CAlbumBrushes::DrawCellFrame(CDC* dc, const RECT& rc, const CBrush* brush) const
{
    const LONG l = rc.left, t = rc.top, r = rc.right, b = rc.bottom;
    RECT inner = {l + 2, t + 2, r - 2, b - 2};
    dc->FillRect(inner, brush != nullptr ? *brush : m_brCellSel);

    // Lines leave out their end points, as the device draws them.
    dc->MoveTo(l + 1, b - 1);
    dc->LineTo(l + 1, t + 1);
    dc->LineTo(r, t + 1);
    HPEN kept = dc->SelectPen(m_penWhite.Handle());
    dc->MoveTo(r, t);
    dc->LineTo(r, b - 1);
    dc->LineTo(l, b - 1);
    dc->SelectPen(m_penGrey.Handle());
    dc->MoveTo(l, b - 1);
    dc->LineTo(l, t);
    dc->LineTo(r, t);
    dc->MoveTo(r - 1, t);
    dc->LineTo(r - 1, b - 2);
    dc->LineTo(l, b - 2);
    dc->SelectPen(kept);
}

void CAlbumBrushes::DrawMark(CDC* dc, const RECT& rc) const
{
    // Inside the 25 pixels a thumbnail leaves on each side of its cell.
    const int band = 3, inset = 4, tick = 16;
    const LONG l = rc.left + inset, t = rc.top + inset, r = rc.right - inset, b = rc.bottom - inset;
    if (r - l < 2 * tick || b - t < 2 * tick)
        return;
    dc->FillRect(RECT{l, t, r, t + band}, m_brMarked);
    dc->FillRect(RECT{l, b - band, r, b}, m_brMarked);
    dc->FillRect(RECT{l, t, l + band, b}, m_brMarked);
    dc->FillRect(RECT{r - band, t, r, b}, m_brMarked);

    const RECT box = {r - band - tick, t + band, r - band, t + band + tick};
    dc->FillRect(box, m_brMarked);
    HPEN kept = dc->SelectPen(m_penTick.Handle());
    dc->MoveTo(box.left + 3, box.top + 8);
    dc->LineTo(box.left + 7, box.top + 12);
    dc->LineTo(box.left + 13, box.top + 4);
    dc->SelectPen(kept);
}
