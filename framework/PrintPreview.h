// The print preview: the page as the printer would print it, recorded once
// into a metafile made against the printer's context and played onto a
// sheet of the printer's proportions. Print... prints that recorded page,
// so what is printed is what was previewed, whatever the view shows by
// then; Zoom In and Zoom Out step between the sheet fitted to the window
// and two larger sizes (scroll bars when the sheet outgrows the window, a
// click on the sheet zooms in at that point); Close and Esc close it.
#pragma once

#include "framework/View.h"
#include "framework/Window.h"

class CPreviewPage;

class CPrintPreview : public CWnd {
public:
    // Opens the preview over the view's frame; takes the printer context.
    static CPrintPreview* Show(CView* view, HDC printer);
    ~CPrintPreview() override;

    static const UINT kPrintButton = 1;
    static const UINT kCloseButton = 2;
    static const UINT kZoomInButton = 3;
    static const UINT kZoomOutButton = 4;
    // The child window that shows the sheet.
    static const UINT kPageWindow = 5;

    // The fitted sheet and two larger sizes.
    static const int kZoomSteps = 3;
    int ZoomStep() const { return m_nZoom; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    friend class CPreviewPage;
    CPrintPreview();
    void Record(CView* view, HDC printer);
    bool CreateControls();
    void Layout();
    void OnButton(UINT id);
    // Zooms to a step keeping the page point under (x, y) of the page
    // window where it is, or the page's centre without a point.
    void ZoomTo(int step, const POINT* anchor);
    void PrintRecordedPage();
    void EnableZoomButtons() const;

    HENHMETAFILE m_hPage = nullptr;
    int m_nPageWidth = 1, m_nPageHeight = 1;    // printable area, device pixels
    HWND m_hFrame = nullptr;
    int m_nZoom = 0;
    CPreviewPage* m_pPage = nullptr;            // a child, deleted with its window
};
