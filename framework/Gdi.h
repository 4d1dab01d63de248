// Graphics wrappers: each object owns its GDI handle and deletes it; device
// contexts release what they acquired.
#pragma once

#include <windows.h>

// Owns one GDI object handle.
class CGdiObject {
public:
    CGdiObject() = default;
    ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    bool IsEmpty() const { return m_hObject == nullptr; }
    // Takes ownership of a handle; an owned one is deleted first.
    void Attach(HGDIOBJ handle);
    // Deletes the owned object; non-zero when there was one and it went.
    BOOL DeleteObject();

protected:
    HGDIOBJ m_hObject = nullptr;
};

class CPalette : public CGdiObject {
public:
    BOOL CreatePalette(const LOGPALETTE* record);
    HPALETTE Handle() const { return static_cast<HPALETTE>(m_hObject); }
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
    BOOL CreateSolidBrush(COLORREF colour);
    HBRUSH Handle() const { return static_cast<HBRUSH>(m_hObject); }
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
    BOOL CreatePen(int style, int width, COLORREF colour);
    HPEN Handle() const { return static_cast<HPEN>(m_hObject); }
};

// A device context: m_hDC receives output, m_hAttribDC answers questions
// about the device (the same handle except in print preview, where output
// goes to a metafile and the printer answers).
class CDC {
public:
    CDC() = default;
    CDC(HDC output, HDC attributes, bool printing)
        : m_hDC(output), m_hAttribDC(attributes), m_bPrinting(printing) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    HDC AttribDC() const { return m_hAttribDC; }
    bool IsPrinting() const { return m_bPrinting; }

    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hAttribDC, index); }
    int SetMapMode(int mode) { return ::SetMapMode(m_hDC, mode); }
    void SetWindowExt(int cx, int cy) { ::SetWindowExtEx(m_hDC, cx, cy, nullptr); }
    void SetViewportExt(int cx, int cy) { ::SetViewportExtEx(m_hDC, cx, cy, nullptr); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    COLORREF SetTextColor(COLORREF colour) { return ::SetTextColor(m_hDC, colour); }
    BOOL TextOut(int x, int y, const char* text);
    void FillRect(const RECT& rc, const CBrush& brush) { ::FillRect(m_hDC, &rc, brush.Handle()); }
    void MoveTo(int x, int y) { ::MoveToEx(m_hDC, x, y, nullptr); }
    BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
    // Selects a pen and returns the one it replaced.
    HPEN SelectPen(HPEN pen) { return static_cast<HPEN>(::SelectObject(m_hDC, pen)); }

protected:
    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;
    bool m_bPrinting = false;
};

// The screen context of a window's client area (GetDC / ReleaseDC).
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND wnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};

// The context of one WM_PAINT (BeginPaint / EndPaint).
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND wnd);
    ~CPaintDC() override;
    const PAINTSTRUCT& Paint() const { return m_ps; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps;
};
