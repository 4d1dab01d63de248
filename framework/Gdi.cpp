#include "framework/Gdi.h"

#include <cstring>

void CGdiObject::Attach(HGDIOBJ handle)
{
    DeleteObject();
    m_hObject = handle;
}

BOOL CGdiObject::DeleteObject()
{
    if (m_hObject == nullptr)
        return FALSE;
    BOOL deleted = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return deleted;
}

BOOL CPalette::CreatePalette(const LOGPALETTE* record)
{
    Attach(::CreatePalette(record));
    return m_hObject != nullptr;
}

BOOL CBrush::CreateSolidBrush(COLORREF colour)
{
    Attach(::CreateSolidBrush(colour));
    return m_hObject != nullptr;
}

BOOL CPen::CreatePen(int style, int width, COLORREF colour)
{
    Attach(::CreatePen(style, width, colour));
    return m_hObject != nullptr;
}

BOOL CDC::TextOut(int x, int y, const char* text)
{
    return ::TextOutA(m_hDC, x, y, text, static_cast<int>(std::strlen(text)));
}

CClientDC::CClientDC(HWND wnd) : m_hWnd(wnd)
{
    m_hDC = m_hAttribDC = ::GetDC(wnd);
}

CClientDC::~CClientDC()
{
    if (m_hDC != nullptr)
        ::ReleaseDC(m_hWnd, m_hDC);
}

CPaintDC::CPaintDC(HWND wnd) : m_hWnd(wnd), m_ps()
{
    m_hDC = m_hAttribDC = ::BeginPaint(wnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
}
