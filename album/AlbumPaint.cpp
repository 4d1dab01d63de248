// Painting of the album: the 3 x 3 page of framed thumbnails with captions
// and names, the single picture, and the repaint of two cells after a
// click. The same OnDraw serves the screen, the printer and the preview.
#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "ImageLoad.h"
#include "album/AlbumMessages.h"
#include "album/AlbumView.h"
#include "framework/Frame.h"
#include "picture/Picture.h"
#include "res/resource.h"

namespace {

const int kThumbnailMargin = 50;
const int kSingleMargin = 6;
const COLORREF kTextColour = RGB(0, 0, 0);
const COLORREF kSelectedTextColour = RGB(255, 100, 0);
// A zoomed picture whose file was busy is read again after this long.
const UINT kZoomRetryMilliseconds = 250;
const char kAlbumTitle[] = "Image browse";

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

// The box a thumbnail is fitted into: a cell's rectangle, less the margin.
CellBox ThumbnailBox(const Layout& layout)
{
    const RECT rc = CellRectOf(0, layout);
    return CellBox{rc.right - rc.left, rc.bottom - rc.top, kThumbnailMargin};
}

CellBox SingleBox(const RECT& client)
{
    return CellBox{client.right - client.left, client.bottom - client.top, kSingleMargin};
}

}  // namespace

// The page's cells are asked for all at once, so that both workers start on
// them; each is drawn as soon as it is ready, in page order.
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
        if (!dc->IsPrinting())
            m_paintedPaths.clear();
        SetFrameTitle(frame, TitleWithMarks(m_strCurrent));
        // Printed and previewed, the picture is whole, as it is fitted.
        if (dc->IsPrinting()) {
            DrawPicture(m_strCurrent.c_str(), dc, &client, kSingleMargin, -1);
            return;
        }
        DrawAlone(dc, client);
        PrepareAround(SingleBox(client));
        return;
    }
    ReleaseZoomed();

    const int end = std::min(m_nPageTop + ALBUM_PAGE_SIZE, static_cast<int>(m_arrNames.size()));
    if (!dc->IsPrinting())
        RememberPainted(end);
    const CellBox box = ThumbnailBox(layout);
    const int screenBits = m_nScreenBits;
    std::vector<CellKey> keys;
    std::vector<bool> present;
    for (int i = m_nPageTop; i < end; ++i) {
        CellKey key;
        present.push_back(CurrentCellKey(m_arrPaths[static_cast<size_t>(i)], box, screenBits, &key));
        keys.push_back(key);
    }
    std::vector<CellKey> needed;
    for (size_t k = 0; k < keys.size(); ++k)
        if (present[k])
            needed.push_back(keys[k]);
    m_cells.Need(needed);

    for (int i = m_nPageTop; i < end; ++i) {
        const int cell = i - m_nPageTop;
        RECT rc = CellRectOf(i, layout);
        m_rcCell[cell] = {rc.left, rc.top, rc.right, rc.bottom};
        bool loaded = DrawCell(dc, rc, present[cell] ? &keys[cell] : nullptr, cell);
        if (dc->IsPrinting())
            continue;
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(cell == m_nCellSel ? kSelectedTextColour : kTextColour);
        // A file that could not be read gets no size.
        if (loaded)
            dc->TextOut(rc.left + (rc.right - rc.left) / 3, rc.top + layout.rowHeight - 50,
                        Caption(m_nImgWidth, m_nImgHeight, m_nImgColors).c_str());
        dc->TextOut(rc.left + 20, rc.top + layout.rowHeight - 20, m_arrNames[static_cast<size_t>(i)].c_str());
    }
    SetFrameTitle(frame, TitleWithMarks(kAlbumTitle));
    if (!dc->IsPrinting())
        PrepareAround(box);
}

// The title changes with the mode and the single picture; a window text
// set again costs the system a round trip for nothing. Only this view sets
// the frame's title.
void CAlbumView::SetFrameTitle(CFrameWnd* frame, const std::string& title)
{
    if (frame == nullptr || title == m_strFrameTitle)
        return;
    frame->SetWindowText(title.c_str());
    m_strFrameTitle = title;
}

std::string CAlbumView::TitleWithMarks(const std::string& title) const
{
    if (!HasMarks())
        return title;
    const bool shownMarked = m_bSingle && IsMarked(m_nCurrent);
    return MessageWith(shownMarked ? IDS_TITLE_MARKED_ALONE : IDS_TITLE_MARKED, title, MarkedCount());
}

bool CAlbumView::DrawPicture(const char* path, CDC* dc, const RECT* rc, int margin, int cell)
{
    if (m_pPicture == nullptr || rc == nullptr)
        return false;
    const CellBox box = {rc->right - rc->left, rc->bottom - rc->top, margin};
    CellKey key;
    const bool present = CurrentCellKey(path, box, m_nScreenBits, &key);
    return DrawCell(dc, *rc, present ? &key : nullptr, cell);
}

// A picture of another size, or one that cannot be read, goes back to the
// fit; a cell not made for a reason that may pass changes nothing.
CAlbumCells::Ptr CAlbumView::MeasureAlone(const RECT& client, CellKey* key, bool* present)
{
    *present = CurrentCellKey(m_strCurrent, SingleBox(client), m_nScreenBits, key);
    const CAlbumCells::Ptr fitted = *present ? m_cells.Wait(*key) : nullptr;
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (fitted != nullptr && fitted->Loaded())
        m_zoom.Show(fitted->Width(), fitted->Height(), fitted->Fit(), width, height);
    else if (fitted != nullptr || !*present)
        m_zoom.Show(0, 0, CellFit{}, width, height);
    if (fitted != nullptr || !*present) {
        m_pMeasured = fitted;
        m_measuredKey = *key;
    }
    if (m_strZoomRefused != m_strCurrent)
        m_strZoomRefused.clear();
    return fitted;
}

void CAlbumView::MeasureBeforeInput()
{
    if (!m_bSingle || m_pPicture == nullptr)
        return;
    RECT client;
    GetClientRect(&client);
    CellKey key;
    if (m_pMeasured != nullptr && m_zoom.KnowsPicture() &&
        CurrentCellKey(m_strCurrent, SingleBox(client), m_nScreenBits, &key) && key == m_measuredKey)
        return;
    bool present = false;
    MeasureAlone(client, &key, &present);
}

bool CAlbumView::RefusesZoom()
{
    if (m_zoom.IsZoomed() || m_pMeasured == nullptr || !m_pMeasured->Loaded() ||
        FileType(m_strCurrent.c_str()) == IL_TYPE_JPG)
        return false;
    const std::uint64_t whole = WholeDecodeBytes(m_pMeasured->Width(), m_pMeasured->Height(), m_pMeasured->Colours());
    if (MayHoldWhole(whole)) {
        // Room for it before it is decoded.
        m_cells.HoldWhole(static_cast<std::size_t>(whole));
        return false;
    }
    m_strZoomRefused = m_strCurrent;
    Invalidate(FALSE);
    return true;
}

void CAlbumView::DrawZoomRefusal(CDC* dc)
{
    static const char kText[] = "This picture is too large to be zoomed in: it is shown fitted";
    const HDC hdc = dc->GetSafeHdc();
    const int mode = SetBkMode(hdc, OPAQUE);
    const COLORREF back = SetBkColor(hdc, RGB(255, 255, 225)), text = SetTextColor(hdc, kTextColour);
    TextOutA(hdc, 2 * kSingleMargin, 2 * kSingleMargin, kText, static_cast<int>(sizeof kText - 1));
    SetTextColor(hdc, text);
    SetBkColor(hdc, back);
    SetBkMode(hdc, mode);
}

void CAlbumView::ReleaseZoomed()
{
    m_zoomed.Release();
    m_cells.HoldWhole(0);
}

void CAlbumView::RetryZoomSoon()
{
    SetTimer(ID_TIMER_ZOOM_RETRY, kZoomRetryMilliseconds);
}

// A zoomed picture whose file cannot be read for the moment (its writer
// holds it) keeps its zoom, and the screen keeps what it shows: nothing is
// painted until it is read again.
void CAlbumView::DrawAlone(CDC* dc, const RECT& client)
{
    CellKey key;
    bool present = false;
    const CAlbumCells::Ptr fitted = MeasureAlone(client, &key, &present);
    if (m_zoom.IsZoomed()) {
        if (fitted == nullptr) {
            RetryZoomSoon();
            return;
        }
        m_nImgWidth = fitted->Width();
        m_nImgHeight = fitted->Height();
        m_nImgColors = fitted->Colours();
        switch (DrawZoomed(dc, client, key, fitted->Width(), fitted->Height())) {
        case CZoomedPicture::Rendered::Shown:
            return;
        case CZoomedPicture::Rendered::Busy:
            RetryZoomSoon();
            return;
        case CZoomedPicture::Rendered::Failed:
            // What cannot be shown zoomed is shown fitted.
            m_zoom.Reset();
            break;
        }
    }
    ReleaseZoomed();
    DrawCell(dc, client, present ? &key : nullptr, -1);
    if (!m_strZoomRefused.empty())
        DrawZoomRefusal(dc);
}

// The zoomed pixels, and the view's background where the picture leaves
// room (it is centred where it is smaller than the view).
CZoomedPicture::Rendered CAlbumView::DrawZoomed(CDC* dc, const RECT& client, const CellKey& key, int width,
                                                int height)
{
    const CZoomedPicture::File file = {key.path, key.fileSize, key.writeTime};
    const CZoomedPicture::Rendered rendered = m_zoomed.Render(file, width, height, m_zoom.Region(),
                                                              client.right - client.left, client.bottom - client.top);
    m_cells.HoldWhole(m_zoomed.WholeBytes());
    if (rendered != CZoomedPicture::Rendered::Shown)
        return rendered;
    const HDC hdc = dc->GetSafeHdc();
    const int saved = SaveDC(hdc);
    if (m_zoomed.Draw(hdc)) {
        const RECT& shown = m_zoomed.Place();
        ExcludeClipRect(hdc, shown.left, shown.top, shown.right, shown.bottom);
    }
    dc->FillRect(client, m_brushes.m_brCell);
    RestoreDC(hdc, saved);
    return rendered;
}

// A file that is gone, or that cannot be read, shows its frame only. On the
// screen the picture is drawn first and kept out of what is painted under
// it, which it would cover anyway: a picture shown alone is most of the
// view, and filling it twice costs more than drawing it.
bool CAlbumView::DrawCell(CDC* dc, const RECT& rc, const CellKey* key, int cell)
{
    const CAlbumCells::Ptr finished = key != nullptr ? m_cells.Wait(*key) : nullptr;
    const bool loaded = finished != nullptr && finished->Loaded();
    if (loaded) {
        m_nImgWidth = finished->Width();
        m_nImgHeight = finished->Height();
        m_nImgColors = finished->Colours();
    }
    const HDC hdc = dc->GetSafeHdc();
    const bool first = loaded && !dc->IsPrinting();
    const int saved = first ? SaveDC(hdc) : 0;
    if (saved != 0 && finished->Draw(dc, rc)) {
        const RECT shown = finished->PlaceIn(rc);
        ExcludeClipRect(hdc, shown.left, shown.top, shown.right, shown.bottom);
    }
    if (cell < 0 && PaintsOwnBackground() && !dc->IsPrinting())
        FillRect(hdc, &rc, reinterpret_cast<HBRUSH>(GetClassLongPtrA(m_hWnd, GCLP_HBRBACKGROUND)));
    m_brushes.DrawCellFrame(dc, rc, cell == m_nCellSel ? &m_brushes.m_brCellSel : &m_brushes.m_brCell);
    // On the screen the picture is out of the clip here: the mark cannot
    // cover it.
    if (cell >= 0 && !dc->IsPrinting() && IsMarked(m_nPageTop + cell))
        m_brushes.DrawMark(dc, rc);
    if (saved != 0)
        RestoreDC(hdc, saved);
    else if (loaded)
        finished->Draw(dc, rc);
    return loaded;
}

void CAlbumView::FitCellBudget()
{
    RECT client;
    GetClientRect(&client);
    m_cells.FitBudgetTo(ThumbnailBox(LayoutOf(client)), SingleBox(client));
}

// After a paint: the cells around what is shown stay, the rest go, and the
// page or picture next in the direction of travel is prepared meanwhile.
void CAlbumView::PrepareAround(const CellBox& box)
{
    std::set<std::string> kept;
    for (int i : IndicesAround())
        kept.insert(m_arrPaths[static_cast<size_t>(i)]);
    if (m_bSingle)
        kept.insert(m_strCurrent);
    m_cells.RetainPaths(kept);

    const int screenBits = m_nScreenBits;
    std::vector<CellKey> ahead;
    for (int i : IndicesAhead(m_nTravel)) {
        CellKey key;
        if (CurrentCellKey(m_arrPaths[static_cast<size_t>(i)], box, screenBits, &key))
            ahead.push_back(key);
    }
    m_cells.ReadAhead(ahead);
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
    const int screenBits = m_nScreenBits;
    for (int i = m_nPageTop; i < end; ++i) {
        const int cell = i - m_nPageTop;
        if (cell != m_nCellSel && cell != previousCell)
            continue;
        const int left = (i % 3) * layout.columnWidth + 5;
        const int top = ((i / 3) % 3) * layout.rowHeight + 5;
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(kTextColour);
        RECT rc = {m_rcCell[cell].left, m_rcCell[cell].top, m_rcCell[cell].right, m_rcCell[cell].bottom};
        const CellBox box = {rc.right - rc.left, rc.bottom - rc.top, kThumbnailMargin};
        CellKey key;
        const bool present = CurrentCellKey(m_arrPaths[static_cast<size_t>(i)], box, screenBits, &key);
        auto drawCell = [&]() {
            const bool loaded = DrawCell(&dc, rc, present ? &key : nullptr, cell);
            dc.TextOut(left + 20, top + layout.rowHeight - 20, m_arrNames[static_cast<size_t>(i)].c_str());
            if (loaded)
                dc.TextOut(left + (rc.right - rc.left) / 3, top + layout.rowHeight - 50,
                           Caption(m_nImgWidth, m_nImgHeight, m_nImgColors).c_str());
        };
        if (cell == m_nCellSel) {
            dc.SetTextColor(kSelectedTextColour);
            drawCell();
        }
        if (cell == previousCell)
            drawCell();     // in whatever colour is set now
    }
    SetFrameTitle(GetParentFrame(), TitleWithMarks(kAlbumTitle));   // the count of marks
}
