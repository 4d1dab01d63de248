// Painting of the album: the 3 x 3 page of framed thumbnails with captions
// and names, the single picture, and the repaint of two cells after a
// click. The same OnDraw serves the screen, the printer and the preview.
#include <algorithm>
#include <cstdio>
#include <string>

#include "album/AlbumView.h"
#include "framework/Frame.h"
#include "picture/Picture.h"

namespace {

const int kThumbnailMargin = 50;
const int kSingleMargin = 6;
const COLORREF kTextColour = RGB(0, 0, 0);
const COLORREF kSelectedTextColour = RGB(255, 100, 0);

// The caption of a cell: width, height and colour count, or "16M" for
// pictures of 16 bits per pixel and more.
std::string Caption(int width, int height, int colours)
{
    char text[64];
    if (colours == 0)
        std::snprintf(text, sizeof text, "%dx%dx16M", width, height);
    else
        std::snprintf(text, sizeof text, "%dx%dx%d", width, height, colours);
    return text;
}

struct Layout {
    int columnWidth, rowHeight;
};

Layout LayoutOf(const RECT& client)
{
    return {(client.right - client.left) / 3, (client.bottom - client.top) / 3};
}

RECT CellRectOf(int index, const Layout& layout)
{
    int column = index % 3, row = (index / 3) % 3;
    RECT rc;
    rc.left = column * layout.columnWidth + 5;
    rc.top = row * layout.rowHeight + 5;
    rc.right = column * layout.columnWidth + layout.columnWidth;
    rc.bottom = rc.top + layout.rowHeight - 25;
    return rc;
}

void SetUpPrinterMapping(CDC* dc)
{
    // One logical unit is one screen pixel; the screen is scaled alike on
    // both axes to fit the printable area.
    dc->SetMapMode(MM_ISOTROPIC);
    dc->SetWindowExt(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    dc->SetViewportExt(dc->GetDeviceCaps(HORZRES), dc->GetDeviceCaps(VERTRES));
}

}  // namespace

void CAlbumView::OnDraw(CDC* dc)
{
    if (dc->IsPrinting())
        SetUpPrinterMapping(dc);
    RECT client;
    GetClientRect(&client);
    Layout layout = LayoutOf(client);
    if (m_pPicture == nullptr)
        return;
    CFrameWnd* frame = GetParentFrame();

    if (m_bSingle) {
        if (frame != nullptr)
            frame->SetWindowText(m_strCurrent.c_str());
        DrawPicture(m_strCurrent.c_str(), dc, &client, kSingleMargin, -1);
        return;
    }

    const int end = std::min(m_nPageTop + ALBUM_PAGE_SIZE, static_cast<int>(m_arrNames.size()));
    for (int i = m_nPageTop; i < end; ++i) {
        const int cell = i - m_nPageTop;
        RECT rc = CellRectOf(i, layout);
        m_rcCell[cell] = {rc.left, rc.top, rc.right, rc.bottom};
        bool loaded = DrawPicture(m_arrPaths[static_cast<size_t>(i)].c_str(), dc, &rc, kThumbnailMargin, cell);
        if (dc->IsPrinting())
            continue;
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(cell == m_nCellSel ? kSelectedTextColour : kTextColour);
        // A file that could not be read gets no size: the picture object
        // would still report the last picture it held.
        if (loaded)
            dc->TextOut(rc.left + (rc.right - rc.left) / 3, rc.top + layout.rowHeight - 50,
                        Caption(m_nImgWidth, m_nImgHeight, m_nImgColors).c_str());
        dc->TextOut(rc.left + 20, rc.top + layout.rowHeight - 20, m_arrNames[static_cast<size_t>(i)].c_str());
    }
    if (frame != nullptr)
        frame->SetWindowText("Image browse");
    // The selected picture stays loaded for the commands that save it,
    // unless it is the last filled cell of the page.
    if (m_nPageTop + m_nCellSel < end - 1)
        m_pPicture->Load(m_arrPaths[static_cast<size_t>(m_nPageTop + m_nCellSel)].c_str(), nullptr, -1, -1);
}

bool CAlbumView::DrawPicture(const char* path, CDC* dc, const RECT* rc, int margin, int cell)
{
    if (m_pPicture == nullptr || rc == nullptr)
        return false;
    bool loaded = m_pPicture->Load(path, nullptr, -1, -1) != 0;
    m_nImgWidth = m_pPicture->GetWidth();
    m_nImgHeight = m_pPicture->GetHeight();
    m_nImgColors = m_pPicture->GetColors();
    m_brushes.DrawCellFrame(dc, *rc, cell == m_nCellSel ? &m_brushes.m_brCellSel : &m_brushes.m_brCell);

    // Fit in doubles, shrinking only; the margin is split by the centring.
    const double rw = rc->right - rc->left, rh = rc->bottom - rc->top;
    double w = m_nImgWidth, h = m_nImgHeight;
    if (h > rh - margin) {
        double s = (rh - margin) / m_nImgHeight;
        w = m_nImgWidth * s;
        h = m_nImgHeight * s;
    }
    if (w > rw - margin) {
        double s = (rw - margin) / w;
        w = w * s;
        h = h * s;
    }
    // Too small a space would ask for a negative size: the frame only.
    if (rw - margin > 0 && rh - margin > 0) {
        m_pPicture->Resize(static_cast<int>(w), static_cast<int>(h));
        int x = rc->left - static_cast<int>((rw - w) * -0.5);
        int y = rc->top - static_cast<int>((rh - h) * -0.5);
        m_pPicture->Draw(dc, x, y);
    }
    m_pPicture->Free();
    return loaded;
}

void CAlbumView::RedrawCells(int previousCell)
{
    CClientDC dc(m_hWnd);
    RECT client;
    GetClientRect(&client);
    Layout layout = LayoutOf(client);
    if (m_pPicture == nullptr || m_bSingle)
        return;
    const int end = std::min(m_nPageTop + ALBUM_PAGE_SIZE, static_cast<int>(m_arrNames.size()));
    for (int i = m_nPageTop; i < end; ++i) {
        const int cell = i - m_nPageTop;
        if (cell != m_nCellSel && cell != previousCell)
            continue;
        const int left = (i % 3) * layout.columnWidth + 5;
        const int top = ((i / 3) % 3) * layout.rowHeight + 5;
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(kTextColour);
        // Measured by the bare name, which the album folder resolves.
        bool loaded = m_pPicture->Load(m_arrNames[static_cast<size_t>(i)].c_str(), nullptr, -1, -1) != 0;
        std::string caption = Caption(m_pPicture->GetWidth(), m_pPicture->GetHeight(), m_pPicture->GetColors());
        m_pPicture->Free();
        RECT rc = {m_rcCell[cell].left, m_rcCell[cell].top, m_rcCell[cell].right, m_rcCell[cell].bottom};
        auto drawCell = [&]() {
            DrawPicture(m_arrPaths[static_cast<size_t>(i)].c_str(), &dc, &rc, kThumbnailMargin, cell);
            dc.TextOut(left + 20, top + layout.rowHeight - 20, m_arrNames[static_cast<size_t>(i)].c_str());
            if (loaded)
                dc.TextOut(left + (rc.right - rc.left) / 3, top + layout.rowHeight - 50, caption.c_str());
        };
        if (cell == m_nCellSel) {
            dc.SetTextColor(kSelectedTextColour);
            drawCell();
        }
        if (cell == previousCell)
            drawCell();     // in whatever colour is set now
    }
}
