// The system's toolbar control, loaded from a toolbar resource (button
// size and command of each slot, 0 for a separator) and the bitmap of the
// same identifier.
#pragma once

#include <windows.h>

#include <vector>

class CWnd;

class CToolBar {
public:
    CToolBar() = default;
    ~CToolBar();
    CToolBar(const CToolBar&) = delete;
    CToolBar& operator=(const CToolBar&) = delete;

    BOOL Create(HWND parent, DWORD style, UINT id);
    // Loads the buttons and their images; false when a resource is missing
    // or malformed.
    BOOL LoadToolBar(UINT resourceId);
    // Brings every button up to date from the commands' rules, asked of
    // target; only buttons whose state changed are touched.
    void UpdateButtons(CWnd* target);
    // Height the toolbar needs at the top of its parent.
    int Height() const;
    void Resize() const;

    HWND m_hWnd = nullptr;

private:
    HBITMAP m_hBitmap = nullptr;
    std::vector<UINT> m_commands;   // per slot; 0 for a separator
};
