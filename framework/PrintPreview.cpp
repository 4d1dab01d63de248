#include "framework/PrintPreview.h"

#include <string>

#include "framework/Frame.h"
#include "framework/FwResource.h"
#include "framework/Gdi.h"
#include "framework/Module.h"

namespace {
const char* const kPreviewClass = "FwPrintPreview";
const int kButtonBar = 40;
const int kSheetMargin = 20;

HWND CreateButton(UINT labelId, int x, UINT id, HWND parent)
{
    return CreateWindowW(L"BUTTON", FwWideString(labelId).c_str(), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, 8, 80, 24,
                         parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), FwModule(), nullptr);
}
}  // namespace

CPrintPreview* CPrintPreview::Show(CView* view, HDC printer)
{
    CPrintPreview* preview = new CPrintPreview;
    preview->Record(view, printer);
    DeleteDC(printer);
    CFrameWnd* frame = view->GetParentFrame();
    preview->m_hFrame = frame != nullptr ? frame->m_hWnd : view->GetParent();
    RECT rc;
    GetWindowRect(preview->m_hFrame, &rc);
    if (!RegisterWindowClass(kPreviewClass, 0, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)), nullptr) ||
        !preview->CreateEx(0, kPreviewClass, FwString(AFX_IDS_PREVIEW_TITLE).c_str(),
                           WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, rc, preview->m_hFrame, nullptr)) {
        delete preview;
        return nullptr;
    }
    CreateButton(AFX_IDS_PREVIEW_PRINT, 8, kPrintButton, preview->m_hWnd);
    CreateButton(AFX_IDS_PREVIEW_CLOSE, 96, kCloseButton, preview->m_hWnd);
    return preview;
}

CPrintPreview::~CPrintPreview()
{
    if (m_hPage != nullptr)
        DeleteEnhMetaFile(m_hPage);
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

RECT CPrintPreview::SheetRect() const
{
    RECT client;
    GetClientRect(&client);
    int availableW = client.right - 2 * kSheetMargin;
    int availableH = client.bottom - kButtonBar - 2 * kSheetMargin;
    if (availableW < 1 || availableH < 1 || m_nPageWidth < 1 || m_nPageHeight < 1)
        return RECT{0, 0, 0, 0};
    // The largest sheet of the printer's proportions that fits.
    int w = availableW, h = static_cast<int>(static_cast<long long>(availableW) * m_nPageHeight / m_nPageWidth);
    if (h > availableH) {
        h = availableH;
        w = static_cast<int>(static_cast<long long>(availableH) * m_nPageWidth / m_nPageHeight);
    }
    int left = (client.right - w) / 2, top = kButtonBar + kSheetMargin;
    return RECT{left, top, left + w, top + h};
}

void CPrintPreview::OnPaint()
{
    CPaintDC dc(m_hWnd);
    RECT sheet = SheetRect();
    RECT shadow = {sheet.left + 4, sheet.top + 4, sheet.right + 4, sheet.bottom + 4};
    CBrush dark(RGB(64, 64, 64));
    CBrush paper(RGB(255, 255, 255));
    dc.FillRect(shadow, dark);
    dc.FillRect(sheet, paper);
    if (m_hPage != nullptr)
        PlayEnhMetaFile(dc.GetSafeHdc(), m_hPage, &sheet);
}

LRESULT CPrintPreview::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kPrintButton) {
            // Printing goes through the frame, with its print dialog.
            HWND frame = m_hFrame;
            DestroyWindow();
            ::PostMessageA(frame, WM_COMMAND, MAKEWPARAM(ID_FILE_PRINT, 0), 0);
        } else if (LOWORD(wParam) == kCloseButton) {
            DestroyWindow();
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            DestroyWindow();
        return 0;
    default:
        return CWnd::WindowProc(msg, wParam, lParam);
    }
}
