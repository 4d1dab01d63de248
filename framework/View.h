// The one client view of a frame. OnDraw paints it for the screen (and,
// with a printing context, for the printer and the print preview).
#pragma once

#include "framework/Gdi.h"
#include "framework/Window.h"

class CFrameWnd;

// One print job: how it was asked for and the printer context it got.
struct CPrintInfo {
    bool m_bDirect = false;     // the default printer, without the print dialog
    bool m_bPreview = false;    // for the print preview
    HDC m_hPrinterDC = nullptr; // owned by the job; deleted when it ends
};

class CView : public CWnd {
public:
    BOOL Create(HWND parentFrame, UINT id);
    // Called once after the frame has created the view.
    virtual void OnInitialUpdate() {}
    virtual void OnDraw(CDC* dc) = 0;
    CFrameWnd* GetParentFrame() const;

    // The print commands: one page, drawn by OnDraw on the printer's
    // context, chosen in the print dialog or the default printer.
    void OnFilePrint();
    void OnFilePrintDirect();
    // Shows the page as it would print, in a preview window over the frame.
    void OnFilePrintPreview();
    // Prints one page on the printer of info (used by the preview too).
    void PrintPage(CPrintInfo* info);

protected:
    // Gets the printer context for the job; false ends the job quietly.
    virtual BOOL OnPreparePrinting(CPrintInfo* info) { return DoPreparePrinting(info); }
    virtual void OnBeginPrinting(CDC*, CPrintInfo*) {}
    virtual void OnEndPrinting(CDC*, CPrintInfo*) {}
    // The print dialog, or the default printer for direct printing and
    // the preview. Without any printer the system's message is shown.
    BOOL DoPreparePrinting(CPrintInfo* info);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;
};
