// The print preview: the page as the printer would print it, recorded once
// into a metafile made against the printer's context and played scaled
// onto a sheet of the printer's proportions, with Print and Close buttons.
#pragma once

#include "framework/View.h"
#include "framework/Window.h"

class CPrintPreview : public CWnd {
public:
    // Opens the preview over the view's frame; takes the printer context.
    static CPrintPreview* Show(CView* view, HDC printer);
    ~CPrintPreview() override;

    static const UINT kPrintButton = 1;
    static const UINT kCloseButton = 2;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }

private:
    CPrintPreview() = default;
    void Record(CView* view, HDC printer);
    RECT SheetRect() const;
    void OnPaint();

    HENHMETAFILE m_hPage = nullptr;
    int m_nPageWidth = 1, m_nPageHeight = 1;    // printable area, device pixels
    HWND m_hFrame = nullptr;
};
