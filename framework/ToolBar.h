// The system's toolbar control as a bar of command buttons: loaded from a
// toolbar resource (button size and command of each slot, 0 for a
// separator) and the bitmap of the same identifier, its buttons kept up to
// date from the commands' rules, laid out in a row or in rows down a
// column. Commands go to the window given at creation, wherever the bar
// stands; where it stands is the dock site's business (DockSite.h).
#pragma once

#include <windows.h>

#include <vector>

#include "framework/DockGeometry.h"

class CWnd;

// Control-bar styles, beside the toolbar control's own and the edges of
// DockGeometry.h.
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
constexpr DWORD CBRS_GRIPPER = 0x00400000;
constexpr DWORD CBRS_TOOLTIPS = 0x0010;
constexpr DWORD CBRS_FLYBY = 0x0020;
constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0040;

class CToolBar {
public:
    CToolBar() = default;
    ~CToolBar();
    CToolBar(const CToolBar&) = delete;
    CToolBar& operator=(const CToolBar&) = delete;

    // Creates the control as a child of parent, which receives its
    // commands. controlStyle: the control's styles (TBSTYLE_FLAT...);
    // barStyle: CBRS_ styles, among them the edge it starts docked at.
    BOOL CreateEx(HWND parent, DWORD controlStyle, DWORD barStyle, UINT id);
    // Loads the buttons and their images; false when a resource is missing
    // or malformed. The buttons then stand in a row.
    BOOL LoadToolBar(UINT resourceId);
    DWORD GetBarStyle() const { return m_dwStyle; }
    // The edges (CBRS_ALIGN_ flags) the bar may dock at.
    void EnableDocking(DWORD sides) { m_dwDockStyle = sides & CBRS_ALIGN_ANY; }
    DWORD DockingStyle() const { return m_dwDockStyle; }
    // Brings every button up to date from the commands' rules, asked of
    // target; only buttons whose state changed are touched.
    void UpdateButtons(CWnd* target);

    // Every slot in one row.
    void LayOutAsRow();
    // Rows down a column: a row ends after each slot that wrapAfter marks.
    void LayOutAsColumn(const std::vector<bool>& wrapAfter);

    // What the layouts are made of, measured once loaded: per slot, true
    // for a separator; a button's size; a separator's height across a
    // column; the extent of the row.
    const std::vector<bool>& Separators() const { return m_separators; }
    SIZE ButtonSize() const { return m_buttonSize; }
    LONG SeparatorHeight() const { return m_separatorHeight; }
    SIZE RowExtent() const { return m_rowExtent; }

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK Subclass(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    // Sets the column style and the row ends, then lets the control lay out.
    void ApplyLayout(bool column, const std::vector<bool>& wrapAfter);
    // The extent of the buttons as the control now lays them out.
    SIZE Extent() const;
    void Measure();

    HBITMAP m_hBitmap = nullptr;
    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;
    std::vector<UINT> m_commands;       // per slot; 0 for a separator
    std::vector<bool> m_separators;
    SIZE m_buttonSize = {0, 0};
    LONG m_separatorHeight = 0;
    SIZE m_rowExtent = {0, 0};
};
