// The system's toolbar control as a control bar: loaded from a toolbar
// resource (button size and command of each slot, 0 for a separator) and
// the bitmap of the same identifier, docked along an edge of its frame or
// floating in a small tool window of its own.
//
// Docked, the bar has a gripper: dragged by it, the bar docks at the edge
// of the frame it is dropped on (a column of buttons along the left and
// right edges, a row along the top and bottom) or floats where it is
// dropped elsewhere, or anywhere with Ctrl held; the floating window is
// dragged by its caption the same way. A double click on the gripper or
// the caption switches between the last docked place and floating. While
// dragging, an outline shows where the bar will go, thick when floating and
// thin when docking. Commands go to the frame wherever the bar is.
#pragma once

#include <windows.h>

#include <vector>

class CFrameWnd;
class CMiniDockFrame;
class CWnd;

// Control-bar styles, beside the toolbar control's own.
constexpr DWORD CBRS_ALIGN_LEFT = 0x1000;
constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000;
constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
constexpr DWORD CBRS_ALIGN_ANY = 0xF000;
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
constexpr DWORD CBRS_GRIPPER = 0x00400000;
constexpr DWORD CBRS_TOOLTIPS = 0x0010;
constexpr DWORD CBRS_FLYBY = 0x0020;
constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0040;

enum class DockSide { Top, Bottom, Left, Right, Floating };

class CToolBar {
public:
    CToolBar();
    ~CToolBar();
    CToolBar(const CToolBar&) = delete;
    CToolBar& operator=(const CToolBar&) = delete;

    // Creates the bar in the frame, docked at the top. controlStyle: the
    // toolbar control's styles (TBSTYLE_FLAT...); barStyle: CBRS_ styles.
    BOOL CreateEx(CFrameWnd* frame, DWORD controlStyle, DWORD barStyle, UINT id);
    // Loads the buttons and their images; false when a resource is missing
    // or malformed.
    BOOL LoadToolBar(UINT resourceId);
    // The edges (CBRS_ALIGN_ flags) the bar may dock at.
    void EnableDocking(DWORD sides) { m_dockable = sides & CBRS_ALIGN_ANY; }
    // Brings every button up to date from the commands' rules, asked of
    // target; only buttons whose state changed are touched.
    void UpdateButtons(CWnd* target);

    DockSide Side() const { return m_side; }
    // Docks the bar at an edge of its frame, or floats it with the floating
    // window's top-left corner at a point of the screen.
    void DockAt(DockSide side);
    void FloatAt(POINT topLeft);
    // Between the last docked place and floating (a double click).
    void ToggleDocking();
    // The floating window, or null while docked.
    HWND FloatingWindow() const;

    // Places a docked bar along its edge of the frame's client rectangle
    // and takes its room off it.
    void PlaceIn(RECT* client);

    HWND m_hWnd = nullptr;

private:
    friend class CDockDrag;
    friend class CMiniDockFrame;
    static LRESULT CALLBACK Subclass(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnNcCalcSize(RECT* rc) const;
    void OnNcPaint() const;
    // Button layout for an edge: one column along the sides, else one row.
    void SetOrientation(bool vertical);
    // The buttons' extent in a row and in a column, measured once loaded.
    void MeasureExtents();
    // The window size the bar needs, docked at a side or floating.
    SIZE BarSize(DockSide side) const;
    // The floating window's outer size around a floating bar.
    SIZE FloatingWindowSize() const;
    // The frame's client area in screen coordinates.
    RECT FrameClientOnScreen() const;
    bool CanDockAt(DockSide side) const;
    // Starts dragging from a point of the screen.
    void Drag(POINT start);

    CFrameWnd* m_pFrame = nullptr;
    HBITMAP m_hBitmap = nullptr;
    std::vector<UINT> m_commands;   // per slot; 0 for a separator
    DWORD m_dockable = 0;
    DockSide m_side = DockSide::Top;
    DockSide m_lastDocked = DockSide::Top;
    POINT m_lastFloat = {-1, -1};
    SIZE m_rowExtent = {0, 0};
    SIZE m_columnExtent = {0, 0};
    // The floating window; it deletes itself with its window.
    CMiniDockFrame* m_pFloating = nullptr;
    // A click on the gripper, for a double click the control does not see.
    DWORD m_lastGripClick = 0;
    POINT m_lastGripPoint = {0, 0};
};
