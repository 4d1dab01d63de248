#include "framework/PrintPreview.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "framework/Frame.h"
#include "framework/FwResource.h"
#include "framework/Gdi.h"
#include "framework/Module.h"
#include "framework/Print.h"

namespace {
const char* const kPreviewClass = "FwPrintPreview";
const char* const kPageClass = "FwPreviewPage";
const int kButtonBar = 40;
const int kButtonWidth = 88;
const int kSheetMargin = 20;
const int kShadow = 4;
const int kLineStep = 40;
// The sheet's size at each zoom step, against the fitted one.
const int kZoomFactors[CPrintPreview::kZoomSteps] = {1, 2, 4};

// The largest size of the shape's proportions that fits in the room.
SIZE FitInside(SIZE shape, SIZE room)
{
    if (shape.cx < 1 || shape.cy < 1 || room.cx < 1 || room.cy < 1)
        return SIZE{0, 0};
    long long w = room.cx, h = static_cast<long long>(room.cx) * shape.cy / shape.cx;
    if (h > room.cy) {
        h = room.cy;
        w = static_cast<long long>(room.cy) * shape.cx / shape.cy;
    }
    return SIZE{static_cast<LONG>(w), static_cast<LONG>(h)};
}

struct ScrollBars {
    bool horz, vert;
};

// The scroll bars that content of a size needs in a window of a size,
// judged against the whole window, so that the bars shown now do not
// decide whether they stay. A bar narrows the room across it and may call
// for the other one.
ScrollBars BarsFor(SIZE content, SIZE window, SIZE bar)
{
    ScrollBars bars = {content.cx > window.cx, content.cy > window.cy};
    bars.horz = bars.horz || (bars.vert && content.cx > window.cx - bar.cx);
    bars.vert = bars.vert || (bars.horz && content.cy > window.cy - bar.cy);
    return bars;
}
}  // namespace

// The sheet on a dark ground, scrolled when it is larger than the window.
class CPreviewPage : public CWnd {
public:
    explicit CPreviewPage(CPrintPreview& preview) : m_preview(preview) {}

    bool Create(HWND parent);
    // The sheet's place in this window's client area.
    RECT SheetRect() const;
    // The sheet's size at a zoom step.
    SIZE SheetSize(int step) const;
    // Shows the scroll bars the current step needs, keeping the origin
    // where it can be.
    void UpdateScrollBars();
    void ScrollTo(int x, int y);
    POINT ScrollPosition() const { return m_scroll; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }

private:
    void OnPaint();
    void OnScroll(int bar, int code);
    SIZE ContentSize() const;

    CPrintPreview& m_preview;
    POINT m_scroll = {0, 0};
};

bool CPreviewPage::Create(HWND parent)
{
    if (!RegisterWindowClass(kPageClass, 0, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)), nullptr))
        return false;
    RECT rc = {0, 0, 0, 0};
    return CreateEx(0, kPageClass, "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, rc, parent,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(CPrintPreview::kPageWindow))) != FALSE;
}

SIZE CPreviewPage::SheetSize(int step) const
{
    // The fitted sheet is measured against the whole window, so that the
    // scroll bars of the larger steps do not change it.
    RECT window;
    GetWindowRect(m_hWnd, &window);
    const SIZE available = {window.right - window.left - 2 * kSheetMargin,
                            window.bottom - window.top - 2 * kSheetMargin};
    const SIZE fitted = FitInside(SIZE{m_preview.m_nPageWidth, m_preview.m_nPageHeight}, available);
    return SIZE{fitted.cx * kZoomFactors[step], fitted.cy * kZoomFactors[step]};
}

SIZE CPreviewPage::ContentSize() const
{
    SIZE sheet = SheetSize(m_preview.m_nZoom);
    return SIZE{sheet.cx + 2 * kSheetMargin, sheet.cy + 2 * kSheetMargin};
}

RECT CPreviewPage::SheetRect() const
{
    RECT client;
    GetClientRect(&client);
    const SIZE sheet = SheetSize(m_preview.m_nZoom);
    const SIZE content = ContentSize();
    const LONG left = content.cx <= client.right ? (client.right - sheet.cx) / 2 : kSheetMargin - m_scroll.x;
    const LONG top = content.cy <= client.bottom ? (client.bottom - sheet.cy) / 2 : kSheetMargin - m_scroll.y;
    return RECT{left, top, left + sheet.cx, top + sheet.cy};
}

void CPreviewPage::UpdateScrollBars()
{
    RECT window;
    GetWindowRect(m_hWnd, &window);
    const SIZE whole = {window.right - window.left, window.bottom - window.top};
    const SIZE bar = {GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)};
    const SIZE content = ContentSize();
    const ScrollBars bars = BarsFor(content, whole, bar);
    // A bar whose page covers its whole range is hidden.
    auto set = [this](int which, LONG& position, LONG extent, LONG page) {
        position = std::max(0L, std::min<LONG>(position, extent - page));
        SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, extent - 1,
                           static_cast<UINT>(std::max(0L, page)), position, 0};
        SetScrollInfo(m_hWnd, which, &info, TRUE);
    };
    set(SB_HORZ, m_scroll.x, content.cx, whole.cx - (bars.vert ? bar.cx : 0));
    set(SB_VERT, m_scroll.y, content.cy, whole.cy - (bars.horz ? bar.cy : 0));
    Invalidate(TRUE);
}

void CPreviewPage::ScrollTo(int x, int y)
{
    m_scroll = {x, y};
    UpdateScrollBars();
}

void CPreviewPage::OnPaint()
{
    CPaintDC dc(m_hWnd);
    const RECT sheet = SheetRect();
    const RECT shadow = {sheet.left + kShadow, sheet.top + kShadow, sheet.right + kShadow, sheet.bottom + kShadow};
    CBrush dark(RGB(64, 64, 64));
    CBrush paper(RGB(255, 255, 255));
    dc.FillRect(shadow, dark);
    dc.FillRect(sheet, paper);
    if (m_preview.m_hPage != nullptr)
        PlayEnhMetaFile(dc.GetSafeHdc(), m_preview.m_hPage, &sheet);
}

void CPreviewPage::OnScroll(int bar, int code)
{
    SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(m_hWnd, bar, &info);
    int position = info.nPos;
    switch (code) {
    case SB_LINEUP: position -= kLineStep; break;
    case SB_LINEDOWN: position += kLineStep; break;
    case SB_PAGEUP: position -= static_cast<int>(info.nPage); break;
    case SB_PAGEDOWN: position += static_cast<int>(info.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = info.nMax; break;
    default: return;
    }
    if (bar == SB_HORZ)
        ScrollTo(position, m_scroll.y);
    else
        ScrollTo(m_scroll.x, position);
}

LRESULT CPreviewPage::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_HSCROLL:
        OnScroll(SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_VSCROLL:
        OnScroll(SB_VERT, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        ScrollTo(m_scroll.x, m_scroll.y - GET_WHEEL_DELTA_WPARAM(wParam) * kLineStep / WHEEL_DELTA);
        return 0;
    case WM_LBUTTONDOWN: {
        SetFocus(m_hWnd);
        const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const RECT sheet = SheetRect();
        if (PtInRect(&sheet, at) && m_preview.m_nZoom + 1 < CPrintPreview::kZoomSteps)
            m_preview.ZoomTo(m_preview.m_nZoom + 1, &at);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            m_preview.DestroyWindow();  // this window goes with it
            return 0;
        }
        return Default();
    default:
        return CWnd::WindowProc(msg, wParam, lParam);
    }
}

CPrintPreview::CPrintPreview() = default;

CPrintPreview* CPrintPreview::Show(CView* view, HDC printer)
{
    CPrintPreview* preview = new CPrintPreview;
    preview->Record(view, printer);
    DeleteDC(printer);
    CFrameWnd* frame = view->GetParentFrame();
    preview->m_hFrame = frame != nullptr ? frame->m_hWnd : view->GetParent();
    RECT rc;
    GetWindowRect(preview->m_hFrame, &rc);
    if (!RegisterWindowClass(kPreviewClass, 0, GetSysColorBrush(COLOR_BTNFACE), nullptr) ||
        !preview->CreateEx(0, kPreviewClass, FwString(AFX_IDS_PREVIEW_TITLE).c_str(),
                           WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, rc, preview->m_hFrame, nullptr)) {
        delete preview;
        return nullptr;
    }
    if (!preview->CreateControls()) {
        preview->DestroyWindow();
        return nullptr;
    }
    return preview;
}

CPrintPreview::~CPrintPreview()
{
    if (m_hPage != nullptr)
        DeleteEnhMetaFile(m_hPage);
}

void CPrintPreview::PostNcDestroy()
{
    delete this;
}

void CPrintPreview::Record(CView* view, HDC printer)
{
    m_nPageWidth = GetDeviceCaps(printer, HORZRES);
    m_nPageHeight = GetDeviceCaps(printer, VERTRES);
    // The metafile frame is the printable area in hundredths of a
    // millimetre, so the page keeps its place and size when played.
    RECT frame = {0, 0, GetDeviceCaps(printer, HORZSIZE) * 100, GetDeviceCaps(printer, VERTSIZE) * 100};
    // The description: application and picture names, each ended by a zero.
    const std::string description =
        FwString(AFX_IDS_APP_TITLE) + '\0' + FwString(AFX_IDS_PREVIEW_TITLE) + '\0';
    HDC meta = CreateEnhMetaFileA(printer, nullptr, &frame, description.c_str());
    if (meta == nullptr)
        return;
    {
        CDC dc(meta, printer, true);
        view->OnDraw(&dc);
    }
    m_hPage = CloseEnhMetaFile(meta);
}

bool CPrintPreview::CreateControls()
{
    const struct {
        UINT id;
        UINT label;
    } buttons[] = {{kPrintButton, AFX_IDS_PREVIEW_PRINT},
                   {kZoomInButton, AFX_IDS_PREVIEW_ZOOM_IN},
                   {kZoomOutButton, AFX_IDS_PREVIEW_ZOOM_OUT},
                   {kCloseButton, AFX_IDS_PREVIEW_CLOSE}};
    int x = 8;
    for (const auto& b : buttons) {
        if (CreateWindowW(L"BUTTON", FwWideString(b.label).c_str(), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, 8,
                          kButtonWidth, 24, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(b.id)),
                          FwModule(), nullptr) == nullptr)
            return false;
        x += kButtonWidth + 8;
    }
    m_pPage = new CPreviewPage(*this);
    if (!m_pPage->Create(m_hWnd)) {
        delete m_pPage;
        m_pPage = nullptr;
        return false;
    }
    Layout();
    EnableZoomButtons();
    SetFocus(m_pPage->m_hWnd);
    return true;
}

void CPrintPreview::Layout()
{
    if (m_pPage == nullptr)
        return;
    RECT client;
    GetClientRect(&client);
    MoveWindow(m_pPage->m_hWnd, 0, kButtonBar, client.right, std::max(0L, client.bottom - kButtonBar), TRUE);
    m_pPage->UpdateScrollBars();
}

void CPrintPreview::EnableZoomButtons() const
{
    EnableWindow(GetDlgItem(m_hWnd, kZoomInButton), m_nZoom + 1 < kZoomSteps);
    EnableWindow(GetDlgItem(m_hWnd, kZoomOutButton), m_nZoom > 0);
}

void CPrintPreview::ZoomTo(int step, const POINT* anchor)
{
    if (m_pPage == nullptr || step < 0 || step >= kZoomSteps)
        return;
    RECT client;
    m_pPage->GetClientRect(&client);
    const POINT at = anchor != nullptr ? *anchor : POINT{client.right / 2, client.bottom / 2};
    const RECT before = m_pPage->SheetRect();
    const double fx = before.right > before.left ? double(at.x - before.left) / (before.right - before.left) : 0.5;
    const double fy = before.bottom > before.top ? double(at.y - before.top) / (before.bottom - before.top) : 0.5;
    m_nZoom = step;
    const SIZE sheet = m_pPage->SheetSize(step);
    // The page point that was under the anchor stays there, as far as the
    // scroll range allows.
    m_pPage->ScrollTo(static_cast<int>(kSheetMargin + fx * sheet.cx - at.x),
                      static_cast<int>(kSheetMargin + fy * sheet.cy - at.y));
    EnableZoomButtons();
}

void CPrintPreview::PrintRecordedPage()
{
    HDC printer = FwChoosePrinter(m_hWnd, false);
    if (printer == nullptr)
        return;
    // The printer chosen may hold another paper size or orientation than
    // the one the page was recorded for. The page is scaled alike on both
    // axes to fit its printable area, from the top-left corner as the
    // view's own printing does, so that nothing on it is stretched.
    const SIZE fitted = FitInside(SIZE{m_nPageWidth, m_nPageHeight},
                                  SIZE{GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES)});
    const HENHMETAFILE page = m_hPage;
    FwPrintOnePage(printer, [page, fitted](HDC dc) {
        const RECT where = {0, 0, fitted.cx, fitted.cy};
        if (page != nullptr)
            PlayEnhMetaFile(dc, page, &where);
    });
    DeleteDC(printer);
}

void CPrintPreview::OnButton(UINT id)
{
    switch (id) {
    case kPrintButton:
        PrintRecordedPage();
        DestroyWindow();
        return;
    case kCloseButton:
        DestroyWindow();
        return;
    case kZoomInButton:
        ZoomTo(m_nZoom + 1, nullptr);
        break;
    case kZoomOutButton:
        ZoomTo(m_nZoom - 1, nullptr);
        break;
    default:
        return;
    }
    // The keys (Esc) go to the page, not to the button just pressed.
    if (m_pPage != nullptr)
        SetFocus(m_pPage->m_hWnd);
}

LRESULT CPrintPreview::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SIZE:
        Layout();
        return 0;
    case WM_DESTROY:
        m_pPage = nullptr;  // goes with its window, next
        return Default();
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            OnButton(LOWORD(wParam));
        return 0;
    case WM_SETFOCUS:
        if (m_pPage != nullptr && m_pPage->m_hWnd != nullptr)
            SetFocus(m_pPage->m_hWnd);
        return 0;
    default:
        return CWnd::WindowProc(msg, wParam, lParam);
    }
}
