// Printing and print preview of a view: one page per job, drawn by the
// view's OnDraw on a printing context.
#include <windows.h>
#include <cderr.h>
#include <commdlg.h>

#include "framework/Frame.h"
#include "framework/FwResource.h"
#include "framework/Module.h"
#include "framework/PrintPreview.h"
#include "framework/View.h"

namespace {

// Windows shows this itself when an application asks its print dialog for
// a printer and none is installed; Wine only fails, so the framework shows
// the same words.
const char kNoPrinterText[] =
    "Before you can perform printer-related tasks such as page setup or printing a document, you need to "
    "install a printer.";

}  // namespace

BOOL CView::DoPreparePrinting(CPrintInfo* info)
{
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = GetParent();
    pd.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
    if (info->m_bDirect || info->m_bPreview)
        pd.Flags |= PD_RETURNDEFAULT;
    BOOL ok = PrintDlgA(&pd);
    if (pd.hDevMode != nullptr)
        GlobalFree(pd.hDevMode);
    if (pd.hDevNames != nullptr)
        GlobalFree(pd.hDevNames);
    if (!ok || pd.hDC == nullptr) {
        if (CommDlgExtendedError() == PDERR_NODEFAULTPRN)
            FwMessageBox(kNoPrinterText, MB_OK | MB_ICONEXCLAMATION);
        if (pd.hDC != nullptr)
            DeleteDC(pd.hDC);
        return FALSE;
    }
    info->m_hPrinterDC = pd.hDC;
    return TRUE;
}

void CView::OnFilePrint()
{
    CPrintInfo info;
    if (OnPreparePrinting(&info))
        PrintPage(&info);
}

void CView::OnFilePrintDirect()
{
    CPrintInfo info;
    info.m_bDirect = true;
    if (OnPreparePrinting(&info))
        PrintPage(&info);
}

void CView::PrintPage(CPrintInfo* info)
{
    CDC dc(info->m_hPrinterDC, info->m_hPrinterDC, true);
    OnBeginPrinting(&dc, info);
    const std::string title = FwString(AFX_IDS_APP_TITLE);
    DOCINFOA doc = {};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = title.c_str();
    if (StartDocA(info->m_hPrinterDC, &doc) > 0) {
        if (StartPage(info->m_hPrinterDC) > 0) {
            int saved = SaveDC(info->m_hPrinterDC);
            OnDraw(&dc);
            RestoreDC(info->m_hPrinterDC, saved);
            EndPage(info->m_hPrinterDC);
            EndDoc(info->m_hPrinterDC);
        } else {
            AbortDoc(info->m_hPrinterDC);
        }
    }
    OnEndPrinting(&dc, info);
    DeleteDC(info->m_hPrinterDC);
    info->m_hPrinterDC = nullptr;
}

void CView::OnFilePrintPreview()
{
    CPrintInfo info;
    info.m_bPreview = true;
    if (!OnPreparePrinting(&info))
        return;
    CPrintPreview::Show(this, info.m_hPrinterDC);
}
