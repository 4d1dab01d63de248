// Printing and print preview of a view: one page per job, drawn by the
// view's OnDraw on a printing context.
#include <windows.h>
#include <cderr.h>
#include <commdlg.h>

#include <string>

#include "framework/Frame.h"
#include "framework/FwResource.h"
#include "framework/Module.h"
#include "framework/Print.h"
#include "framework/PrintPreview.h"
#include "framework/View.h"

namespace {

// The words Windows itself uses when there is no printer. The print dialog
// is told not to show them (Wine never does), so that the operator reads
// them once, from the framework, on every system.
const char kNoPrinterText[] =
    "Before you can perform printer-related tasks such as page setup or printing a document, you need to "
    "install a printer.";

}  // namespace

BOOL(WINAPI* g_pfnPrintDlg)(PRINTDLGA* pd) = PrintDlgA;

HDC FwChoosePrinter(HWND owner, bool defaultPrinter)
{
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = owner;
    pd.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE | PD_NOWARNING;
    if (defaultPrinter)
        pd.Flags |= PD_RETURNDEFAULT;
    BOOL ok = g_pfnPrintDlg(&pd);
    if (pd.hDevMode != nullptr)
        GlobalFree(pd.hDevMode);
    if (pd.hDevNames != nullptr)
        GlobalFree(pd.hDevNames);
    if (ok && pd.hDC != nullptr)
        return pd.hDC;
    if (CommDlgExtendedError() == PDERR_NODEFAULTPRN)
        FwMessageBox(kNoPrinterText, MB_OK | MB_ICONEXCLAMATION);
    if (pd.hDC != nullptr)
        DeleteDC(pd.hDC);
    return nullptr;
}

bool FwPrintOnePage(HDC printer, const std::function<void(HDC)>& draw)
{
    const std::string title = FwString(AFX_IDS_APP_TITLE);
    DOCINFOA doc = {};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = title.c_str();
    if (StartDocA(printer, &doc) <= 0)
        return false;
    if (StartPage(printer) <= 0) {
        AbortDoc(printer);
        return false;
    }
    int saved = SaveDC(printer);
    draw(printer);
    RestoreDC(printer, saved);
    EndPage(printer);
    return EndDoc(printer) > 0;
}

BOOL CView::DoPreparePrinting(CPrintInfo* info)
{
    info->m_hPrinterDC = FwChoosePrinter(GetParent(), info->m_bDirect || info->m_bPreview);
    return info->m_hPrinterDC != nullptr;
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
    FwPrintOnePage(info->m_hPrinterDC, [&](HDC) { OnDraw(&dc); });
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
