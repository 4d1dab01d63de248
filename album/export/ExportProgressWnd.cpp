#include "album/export/ExportProgressWnd.h"

#include <string>

#include "album/AlbumMessages.h"
#include "album/export/ZipExport.h"
#include "framework/Module.h"
#include "res/resource.h"

DWORD CExportProgressWnd::s_nShowAfterMs = 500;

namespace {

const char kClassName[] = "ImageBrowseExportProgress";
const UINT_PTR kTickTimer = 1;
const UINT kTickMs = 100;
const int kWidth = 360, kHeight = 120;

}  // namespace

bool CExportProgressWnd::Create(HWND owner, CZipExport* job)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &CExportProgressWnd::WindowProc;
    wc.hInstance = FwModule();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    if (!FwRegisterClass(wc))
        return false;
    m_pJob = job;
    m_nStarted = GetTickCount();
    RECT around = {0, 0, kWidth, kHeight};
    if (owner != nullptr)
        GetWindowRect(owner, &around);
    const int x = (around.left + around.right - kWidth) / 2, y = (around.top + around.bottom - kHeight) / 2;
    m_hWnd = CreateWindowExA(WS_EX_DLGMODALFRAME, kClassName, MessageWith(IDS_EXPORT_TITLE).c_str(),
                             WS_POPUP | WS_CAPTION, x, y, kWidth, kHeight, owner, nullptr, FwModule(), this);
    if (m_hWnd == nullptr)
        return false;
    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    m_hText = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 12, 12, kWidth - 30, 20, m_hWnd,
                              nullptr, FwModule(), nullptr);
    m_hCancel = CreateWindowExA(0, "BUTTON", MessageWith(IDS_EXPORT_CANCEL).c_str(),
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, kWidth - 100, 45, 80, 24,
                                m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), FwModule(), nullptr);
    for (HWND child : {m_hText, m_hCancel})
        if (child != nullptr)
            SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetTimer(m_hWnd, kTickTimer, kTickMs, nullptr);
    OnTick();
    return true;
}

void CExportProgressWnd::Destroy()
{
    if (m_hWnd == nullptr)
        return;
    const HWND wnd = m_hWnd;
    m_hWnd = nullptr;
    KillTimer(wnd, kTickTimer);
    DestroyWindow(wnd);
}

void CExportProgressWnd::OnTick()
{
    if (m_pJob == nullptr || m_hWnd == nullptr)
        return;
    const uint64_t total = m_pJob->m_nBytesTotal, done = m_pJob->m_nBytesDone;
    const int percent = total == 0 ? 0 : static_cast<int>(done * 100 / total);
    const std::string count =
        std::to_string(m_pJob->m_nPicturesDone.load()) + " / " + std::to_string(m_pJob->PictureCount());
    SetWindowTextA(m_hText, MessageWith(IDS_EXPORT_PROGRESS, count, percent).c_str());
    // Shown without taking the activation: the browser's keys go on
    // reaching the browser.
    if (!IsWindowVisible(m_hWnd) && GetTickCount() - m_nStarted >= s_nShowAfterMs)
        ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
}

void CExportProgressWnd::OnCancel()
{
    if (m_pJob != nullptr)
        m_pJob->m_bCancel = true;
    EnableWindow(m_hCancel, FALSE);
}

LRESULT CALLBACK CExportProgressWnd::WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE)
        SetWindowLongPtrA(wnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    CExportProgressWnd* self = reinterpret_cast<CExportProgressWnd*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    switch (msg) {
    case WM_TIMER:
        // A text that found no memory waits for the next tick.
        try {
            if (self != nullptr)
                self->OnTick();
        } catch (...) {
        }
        return 0;
    case WM_COMMAND:
        if (self != nullptr && LOWORD(wParam) == IDCANCEL)
            self->OnCancel();
        return 0;
    case WM_CLOSE:
        // The caption has no close box; Esc and Alt+F4 cancel.
        if (self != nullptr)
            self->OnCancel();
        return 0;
    default:
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
}
