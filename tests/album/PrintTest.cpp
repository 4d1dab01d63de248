// Printing one page to the prefix's file printer, and the print preview.
// The printed PostScript is turned into a picture and checked by
// check_printed_page.py, which ctest runs after this program.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/Print.h"
#include "framework/PrintPreview.h"
#include "res/resource.h"
#include "tests/album/AlbumViewFixture.h"
#include "tests/support/Canvas.h"
#include "tests/support/CellColours.h"

namespace {

// What the file printer writes, and the copies of it that
// check_printed_page.py measures after this program.
const char kPrintFile[] = "C:\\print.ps";
const char kDirectPrintFile[] = "C:\\print-direct.ps";
const char kPreviewPrintFile[] = "C:\\print-preview.ps";
// The view's client size, from which check_printed_page.py knows the
// layout of the cells on screen.
const char kLayoutFile[] = "C:\\print-layout.txt";

class PrintTest : public AlbumViewFixture {
protected:
    void SetUp() override
    {
        AlbumViewFixture::SetUp();
        for (int i = 0; i < 9; ++i)
            Picture("p" + std::to_string(i) + ".bmp", 352, 288, 24, RGB(200, 30, 30));
        Open();
        RECT client;
        GetClientRect(browser.ViewWindow(), &client);
        FILE* layout = std::fopen(kLayoutFile, "w");
        ASSERT_NE(nullptr, layout);
        std::fprintf(layout, "%ld %ld\n", client.right, client.bottom);
        std::fclose(layout);
    }
};

// Stands in for the system's print dialog while it lives: keeps the flags
// of every request, and either cancels (as an operator who presses Cancel)
// or answers with the default printer turned to landscape (as one who
// chose Landscape and pressed OK).
struct PrintDialogStandIn {
    explicit PrintDialogStandIn(bool landscape)
    {
        s_landscape = landscape;
        s_flags.clear();
        g_pfnPrintDlg = &Respond;
    }
    ~PrintDialogStandIn() { g_pfnPrintDlg = PrintDlgA; }

    static BOOL WINAPI Respond(PRINTDLGA* pd)
    {
        s_flags.push_back(pd->Flags);
        if (!s_landscape)
            return FALSE;
        pd->Flags |= PD_RETURNDEFAULT;
        if (!PrintDlgA(pd) || pd->hDC == nullptr)
            return FALSE;
        auto* mode = static_cast<DEVMODEA*>(GlobalLock(pd->hDevMode));
        auto* names = static_cast<DEVNAMES*>(GlobalLock(pd->hDevNames));
        mode->dmFields |= DM_ORIENTATION;
        mode->dmOrientation = DMORIENT_LANDSCAPE;
        const char* base = reinterpret_cast<const char*>(names);
        HDC landscape = CreateDCA(base + names->wDriverOffset, base + names->wDeviceOffset, nullptr, mode);
        GlobalUnlock(pd->hDevNames);
        GlobalUnlock(pd->hDevMode);
        DeleteDC(pd->hDC);
        pd->hDC = landscape;
        return landscape != nullptr;
    }

    static std::vector<DWORD> s_flags;
    static bool s_landscape;
};

std::vector<DWORD> PrintDialogStandIn::s_flags;
bool PrintDialogStandIn::s_landscape;

// The default printer's printable area, in device pixels.
SIZE DefaultPrintableArea()
{
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof pd;
    pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    if (!PrintDlgA(&pd))
        return SIZE{0, 0};
    const SIZE area = {GetDeviceCaps(pd.hDC, HORZRES), GetDeviceCaps(pd.hDC, VERTRES)};
    DeleteDC(pd.hDC);
    GlobalFree(pd.hDevMode);
    GlobalFree(pd.hDevNames);
    return area;
}

// The sheet in the preview's page window: what is neither the grey ground
// nor the sheet's shadow, along the middle row and column.
RECT SheetOnScreen(const Canvas& page)
{
    auto ground = [](COLORREF c) { return c == RGB(128, 128, 128) || c == RGB(64, 64, 64); };
    RECT sheet = {-1, -1, -1, -1};
    for (int x = 0; x < page.Width(); ++x)
        if (!ground(page.At(x, page.Height() / 2))) {
            if (sheet.left < 0)
                sheet.left = x;
            sheet.right = x + 1;
        }
    for (int y = 0; y < page.Height(); ++y)
        if (!ground(page.At(page.Width() / 2, y))) {
            if (sheet.top < 0)
                sheet.top = y;
            sheet.bottom = y + 1;
        }
    return sheet;
}

// Pumps until the file printer has written a whole document (five seconds
// at most), and keeps a copy of it for check_printed_page.py.
void KeepPrintedDocumentAs(const char* copy, BrowserOnThisThread& browser)
{
    std::string printed;
    for (int i = 0; i < 100 && printed.find("%%EOF") == std::string::npos; ++i) {
        browser.PumpFor(50);
        printed = ReadWholeFile(kPrintFile);
    }
    ASSERT_EQ(0u, printed.find("%!PS")) << "nothing printed to " << kPrintFile << "; is the file printer installed?";
    ASSERT_NE(std::string::npos, printed.find("%%EOF"));
    EXPECT_TRUE(CopyFileA(kPrintFile, copy, FALSE));
}

TEST_F(PrintTest, DirectPrintWritesOnePostScriptPageToTheFilePrinter)
{
    DeleteFileA(kPrintFile);
    browser.Command(ID_FILE_PRINT_DIRECT);
    KeepPrintedDocumentAs(kDirectPrintFile, browser);
    EXPECT_TRUE(IsWindow(browser.Frame()));     // printing changes nothing on screen
    EXPECT_EQ(0, browser.View()->m_bSingle);
}

bool HasScrollRange(HWND page, int bar)
{
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    return GetScrollInfo(page, bar, &info) && info.nMax >= static_cast<int>(info.nPage) && info.nPage > 0;
}

}  // namespace

// The page is played onto a sheet of the printer's proportions. In a page
// window of those proportions the fitted sheet leaves less than a scroll
// bar's width across: the bars of the larger steps must still go when the
// operator zooms back out.
TEST_F(PrintTest, PreviewShowsASheetOfThePrintersProportionsZoomsInTwoStepsWhereClickedAndCloses)
{
    browser.Command(ID_FILE_PRINT_PREVIEW);
    HWND preview = FindWindowA("FwPrintPreview", nullptr);
    ASSERT_NE(nullptr, preview);
    EXPECT_TRUE(IsWindowVisible(preview));
    auto* object = static_cast<CPrintPreview*>(CWnd::FromHandle(preview));
    HWND page = GetDlgItem(preview, CPrintPreview::kPageWindow);
    const SIZE printable = DefaultPrintableArea();
    ASSERT_GT(printable.cy, 0);
    browser.Pump();
    const RECT sheet = SheetOnScreen(Canvas::OfClient(page));
    ASSERT_GT(sheet.bottom, sheet.top);
    EXPECT_NEAR(static_cast<double>(printable.cx) / printable.cy,
                static_cast<double>(sheet.right - sheet.left) / (sheet.bottom - sheet.top), 0.02);
    RECT previewRect, pageRect;
    GetWindowRect(preview, &previewRect);
    GetWindowRect(page, &pageRect);
    const int pageWidth = (pageRect.bottom - pageRect.top) * printable.cx / printable.cy;
    SetWindowPos(preview, nullptr, 0, 0, pageWidth, previewRect.bottom - previewRect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    browser.Pump();
    GetWindowRect(page, &pageRect);
    ASSERT_EQ(pageWidth, pageRect.right - pageRect.left);
    EXPECT_FALSE(HasScrollRange(page, SB_HORZ) || HasScrollRange(page, SB_VERT)) << "the sheet fits";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(preview, CPrintPreview::kZoomOutButton)));
    const RECT opened = SheetOnScreen(Canvas::OfClient(page));

    // A point in the middle cell of the top row, a little right of its
    // left edge and below its top: zoomed, it stays under the pointer and
    // the cell's edges move away from it by the zoom, still in the window.
    const Canvas fit = Canvas::OfClient(page);
    RECT client;
    GetClientRect(page, &client);
    POINT at = {client.right / 2, -1};
    for (int y = 0; y < client.bottom && at.y < 0; ++y)
        if (fit.At(at.x, y) == kCellFill)
            at.y = y + 6;
    ASSERT_GE(at.y, 0) << "the page's cells are on the sheet";
    at.x -= fit.LeftReach(at.x, at.y) - 12;
    ASSERT_EQ(kCellFill, fit.At(at.x, at.y));
    const int across = fit.LeftReach(at.x, at.y), down = fit.UpReach(at.x, at.y);
    ASSERT_EQ(12, across);

    const int factors[] = {1, 2, 4};
    for (int step = 1; step <= 2; ++step) {
        SCOPED_TRACE(step);
        SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageA(page, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        browser.Pump();
        EXPECT_EQ(step, object->ZoomStep());
        EXPECT_TRUE(HasScrollRange(page, SB_HORZ) && HasScrollRange(page, SB_VERT));
        const Canvas zoomed = Canvas::OfClient(page);
        EXPECT_EQ(kCellFill, zoomed.At(at.x, at.y)) << "the clicked point stays under the pointer";
        // Within a pixel of rounding per step of the zoom.
        const int factor = factors[step];
        EXPECT_NEAR(across * factor, zoomed.LeftReach(at.x, at.y), factor + 1);
        EXPECT_NEAR(down * factor, zoomed.UpReach(at.x, at.y), factor + 1);
    }
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(preview, CPrintPreview::kZoomInButton)));

    SendMessageA(GetDlgItem(preview, CPrintPreview::kZoomOutButton), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(preview, CPrintPreview::kZoomOutButton), BM_CLICK, 0, 0);
    browser.Pump();
    EXPECT_EQ(0, object->ZoomStep());
    EXPECT_FALSE(HasScrollRange(page, SB_HORZ) || HasScrollRange(page, SB_VERT));
    const Canvas back = Canvas::OfClient(page);
    const RECT fitted = SheetOnScreen(back);
    EXPECT_TRUE(EqualRect(&opened, &fitted)) << "the sheet is back where it opened: (" << fitted.left << ", "
                                             << fitted.top << ") instead of (" << opened.left << ", " << opened.top
                                             << ")";
    EXPECT_EQ(across, back.LeftReach(at.x, at.y)) << "back to the fitted sheet";

    SendMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    browser.Pump();
    EXPECT_FALSE(IsWindow(preview));
    browser.Command(ID_FILE_PRINT_PREVIEW);
    ASSERT_NE(nullptr, preview = FindWindowA("FwPrintPreview", nullptr));
    SendMessageA(GetDlgItem(preview, CPrintPreview::kCloseButton), BM_CLICK, 0, 0);
    browser.Pump();
    EXPECT_FALSE(IsWindow(preview));
    EXPECT_TRUE(IsWindow(browser.Frame()));
}

// Windows' print dialog warns of a missing printer itself unless told not
// to, and the framework warns too: the operator must read it once.
TEST_F(PrintTest, EveryPrinterRequestLeavesTheMissingPrinterWarningToTheFramework)
{
    PrintDialogStandIn cancelling(false);
    for (UINT command : {ID_FILE_PRINT, ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW})
        browser.Command(command);
    ASSERT_EQ(3u, PrintDialogStandIn::s_flags.size());
    for (DWORD flags : PrintDialogStandIn::s_flags)
        EXPECT_EQ(static_cast<DWORD>(PD_NOWARNING), flags & PD_NOWARNING);
    EXPECT_EQ(nullptr, FindWindowA("FwPrintPreview", nullptr));
}

// The preview records its page: printing from it prints that page, also
// when automatic browse has turned to another one meanwhile, and on a
// printer of another orientation than the one it was recorded for without
// stretching it. The page is kept as C:\print-preview.ps for
// check_printed_page.py to measure.
TEST_F(PrintTest, PrintFromThePreviewPrintsThePreviewedPageUnstretchedWhileAutomaticBrowseMovesOn)
{
    // A second page of blue pictures (files in the BMP layout under the
    // JPG pattern, which is listed after the BMP one); the album shows it.
    for (int i = 0; i < 9; ++i)
        ASSERT_TRUE(WriteSolidBmp(folder.PathOf("q" + std::to_string(i) + ".jpg"), 352, 288, 24, RGB(30, 30, 200)));
    browser.Command(ID_ALBUM_REFRESH);
    ASSERT_EQ(9, browser.View()->m_nPageTop);
    const int savedInterval = g_nAutoShowInterval;
    g_nAutoShowInterval = 60000;    // ticks come from this test only
    browser.Command(ID_AUTO_SHOW);
    browser.Command(ID_FILE_PRINT_PREVIEW);
    HWND preview = FindWindowA("FwPrintPreview", nullptr);
    ASSERT_NE(nullptr, preview);

    SendMessageA(browser.ViewWindow(), WM_TIMER, ID_TIMER_AUTOSHOW, 0);
    browser.Pump();
    ASSERT_EQ(0, browser.View()->m_nPageTop) << "automatic browse turned to the red page";

    DeleteFileA(kPrintFile);
    {
        PrintDialogStandIn landscape(true);
        SendMessageA(GetDlgItem(preview, CPrintPreview::kPrintButton), BM_CLICK, 0, 0);
        ASSERT_EQ(1u, PrintDialogStandIn::s_flags.size());
        EXPECT_EQ(0u, PrintDialogStandIn::s_flags[0] & PD_RETURNDEFAULT) << "Print... asks the print dialog";
    }
    browser.Pump();
    EXPECT_FALSE(IsWindow(preview)) << "printing closes the preview";
    KeepPrintedDocumentAs(kPreviewPrintFile, browser);

    browser.Command(ID_AUTO_SHOW);
    g_nAutoShowInterval = savedInterval;
}
