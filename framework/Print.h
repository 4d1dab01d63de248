// Printing one page: the print dialog (or the default printer) and a print
// job of one page drawn by a callback. The view's print commands and the
// print preview both print through these.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <functional>

// The printer context the operator chooses in the print dialog owned by
// owner, or the default printer's without a dialog; null when there is
// none or the dialog was cancelled. Without any printer the operator is
// told so, once. The caller deletes the context.
HDC FwChoosePrinter(HWND owner, bool defaultPrinter);

// The print dialog FwChoosePrinter asks: the system's, unless a test has
// put a stand-in here to see what is asked and answer as an operator would.
extern BOOL(WINAPI* g_pfnPrintDlg)(PRINTDLGA* pd);

// Prints one page on the printer: a job named by the application's title
// (AFX_IDS_APP_TITLE) whose page draw paints. False when the job failed.
bool FwPrintOnePage(HDC printer, const std::function<void(HDC)>& draw);
