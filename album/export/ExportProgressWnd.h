// The small window of an export that takes longer than about half a
// second: how far it is, and a Cancel button. It follows the export's
// counters on a timer of its own, so the export's thread never waits for
// the window, and it shows itself only once the export has run for a while.
#pragma once

#include <windows.h>

class CZipExport;

class CExportProgressWnd {
public:
    CExportProgressWnd() = default;
    ~CExportProgressWnd() { Destroy(); }
    CExportProgressWnd(const CExportProgressWnd&) = delete;
    CExportProgressWnd& operator=(const CExportProgressWnd&) = delete;

    // A hidden window owned by owner, over the export's counters.
    bool Create(HWND owner, CZipExport* job);
    void Destroy();
    HWND Handle() const { return m_hWnd; }

    // After this many milliseconds of work the window shows.
    static DWORD s_nShowAfterMs;

private:
    static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnTick();
    void OnCancel();

    HWND m_hWnd = nullptr;
    HWND m_hText = nullptr;
    HWND m_hCancel = nullptr;
    CZipExport* m_pJob = nullptr;
    DWORD m_nStarted = 0;
};
