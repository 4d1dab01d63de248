// Printing one page to the prefix's file printer, and the print preview.
// The printed PostScript is turned into a picture and checked by
// check_printed_page.py, which ctest runs after this program.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <string>

#include "framework/Module.h"
#include "framework/PrintPreview.h"
#include "res/resource.h"
#include "tests/support/BrowserOnThisThread.h"
#include "tests/support/Canvas.h"
#include "tests/support/CellColours.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TestPictures.h"

namespace {

const char kPrintFile[] = "C:\\print.ps";
const char kPreviewPrintFile[] = "C:\\print-preview.ps";

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FwInitModule(GetModuleHandleA(nullptr));
        for (int i = 0; i < 9; ++i)
            ASSERT_TRUE(WriteSolidBmp(folder.Path() + "\\p" + std::to_string(i) + ".bmp", 352, 288, 24,
                                      RGB(200, 30, 30)));
        ASSERT_TRUE(browser.Open(folder.Path(), host.Handle()));
    }

    TempFolder folder;
    HostWindow host;
    BrowserOnThisThread browser;
};

std::string ReadStart(const char* path, size_t bytes)
{
    FILE* f = std::fopen(path, "rb");
    if (f == nullptr)
        return std::string();
    std::string text(bytes, '\0');
    text.resize(std::fread(&text[0], 1, bytes, f));
    std::fclose(f);
    return text;
}

TEST_F(PrintTest, DirectPrintWritesOnePostScriptPageToTheFilePrinter)
{
    DeleteFileA(kPrintFile);
    browser.Command(ID_FILE_PRINT_DIRECT);
    std::string start;
    for (int i = 0; i < 100 && start.size() < 4; ++i) {
        browser.PumpFor(50);
        start = ReadStart(kPrintFile, 4);
    }
    ASSERT_EQ("%!PS", start) << "nothing printed to " << kPrintFile << "; is the file printer installed?";
    EXPECT_TRUE(IsWindow(browser.Frame()));     // printing changes nothing on screen
    EXPECT_EQ(0, browser.View()->m_bSingle);
}

TEST_F(PrintTest, PreviewShowsThePageOnASheetOfThePrintersProportionsAndCloses)
{
    browser.Command(ID_FILE_PRINT_PREVIEW);
    HWND preview = FindWindowA("FwPrintPreview", nullptr);
    ASSERT_NE(nullptr, preview);
    EXPECT_TRUE(IsWindowVisible(preview));
    browser.Pump();

    // Read the preview back from the screen.
    const Canvas shot = Canvas::OfClient(preview);
    // The sheet: the white area's extent along the middle row and column.
    const int midY = shot.Height() / 2 + 20, midX = shot.Width() / 2;
    int left = -1, right = -1, top = -1, bottom = -1;
    for (int x = 0; x < shot.Width(); ++x)
        if (shot.At(x, midY) == RGB(255, 255, 255)) {
            if (left < 0)
                left = x;
            right = x;
        }
    for (int y = 40; y < shot.Height(); ++y)
        if (shot.At(midX, y) != RGB(128, 128, 128) && shot.At(midX, y) != RGB(64, 64, 64)) {
            if (top < 0)
                top = y;
            bottom = y;
        }
    // The page was played into it: the cells' fill colour is on the sheet.
    bool cellColourSeen = false;
    for (int y = top; y < top + (bottom - top) / 3 && !cellColourSeen; ++y)
        for (int x = left; x < left + (right - left) / 3 && !cellColourSeen; ++x)
            cellColourSeen = IsCellFill(shot.At(x, y));

    PRINTDLGA pd = {};
    pd.lStructSize = sizeof pd;
    pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    ASSERT_TRUE(PrintDlgA(&pd));
    double printer = static_cast<double>(GetDeviceCaps(pd.hDC, HORZRES)) / GetDeviceCaps(pd.hDC, VERTRES);
    DeleteDC(pd.hDC);
    GlobalFree(pd.hDevMode);
    GlobalFree(pd.hDevNames);
    ASSERT_GT(right, left);
    ASSERT_GT(bottom, top);
    double sheet = static_cast<double>(right - left + 1) / (bottom - top + 1);
    EXPECT_NEAR(printer, sheet, 0.02);
    EXPECT_TRUE(cellColourSeen);

    SendMessageA(GetDlgItem(preview, CPrintPreview::kCloseButton), BM_CLICK, 0, 0);
    browser.Pump();
    EXPECT_FALSE(IsWindow(preview));
    EXPECT_TRUE(IsWindow(browser.Frame()));
}

bool HasScrollRange(HWND page, int bar)
{
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    return GetScrollInfo(page, bar, &info) && info.nMax >= static_cast<int>(info.nPage) && info.nPage > 0;
}

}  // namespace

TEST_F(PrintTest, PreviewZoomsInTwoStepsWithScrollBarsWhereTheOperatorClicksAndEscCloses)
{
    browser.Command(ID_FILE_PRINT_PREVIEW);
    HWND preview = FindWindowA("FwPrintPreview", nullptr);
    ASSERT_NE(nullptr, preview);
    auto* object = static_cast<CPrintPreview*>(CWnd::FromHandle(preview));
    HWND page = GetDlgItem(preview, CPrintPreview::kPageWindow);
    browser.Pump();
    EXPECT_FALSE(HasScrollRange(page, SB_HORZ) || HasScrollRange(page, SB_VERT)) << "the sheet fits";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(preview, CPrintPreview::kZoomOutButton)));

    // A point in the middle cell of the top row, a little below its top:
    // zoomed, it stays under the pointer and the cell's edges move away
    // from it by the zoom.
    const Canvas fit = Canvas::OfClient(page);
    RECT client;
    GetClientRect(page, &client);
    POINT at = {client.right / 2, -1};
    for (int y = 0; y < client.bottom && at.y < 0; ++y)
        if (fit.At(at.x, y) == kCellFill)
            at.y = y + 6;
    ASSERT_GE(at.y, 0) << "the page's cells are on the sheet";
    ASSERT_EQ(kCellFill, fit.At(at.x, at.y));
    const int across = fit.LeftReach(at.x, at.y), down = fit.UpReach(at.x, at.y);
    ASSERT_GT(across, 20);

    for (int step = 1; step < CPrintPreview::kZoomSteps; ++step) {
        SCOPED_TRACE(step);
        SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageA(page, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        browser.Pump();
        EXPECT_EQ(step, object->ZoomStep());
        EXPECT_TRUE(HasScrollRange(page, SB_HORZ) && HasScrollRange(page, SB_VERT));
        const Canvas zoomed = Canvas::OfClient(page);
        EXPECT_EQ(kCellFill, zoomed.At(at.x, at.y)) << "the clicked point stays under the pointer";
        // Within a pixel of rounding per step of the zoom.
        const int factor = CPrintPreview::kZoomFactors[step];
        EXPECT_NEAR(across * factor, zoomed.LeftReach(at.x, at.y), factor + 1);
        EXPECT_NEAR(down * factor, zoomed.UpReach(at.x, at.y), factor + 1);
    }
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(preview, CPrintPreview::kZoomInButton)));

    SendMessageA(GetDlgItem(preview, CPrintPreview::kZoomOutButton), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(preview, CPrintPreview::kZoomOutButton), BM_CLICK, 0, 0);
    browser.Pump();
    EXPECT_EQ(0, object->ZoomStep());
    EXPECT_FALSE(HasScrollRange(page, SB_HORZ) || HasScrollRange(page, SB_VERT));
    EXPECT_EQ(across, Canvas::OfClient(page).LeftReach(at.x, at.y)) << "back to the fitted sheet";

    SendMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    browser.Pump();
    EXPECT_FALSE(IsWindow(preview));
    EXPECT_TRUE(IsWindow(browser.Frame()));
}

// The preview records its page: printing from it prints that page, also
// when automatic browse has turned to another one meanwhile. The page is
// kept as C:\print-preview.ps for check_printed_page.py to look at.
TEST_F(PrintTest, PrintFromThePreviewPrintsThePreviewedPageWhileAutomaticBrowseMovesOn)
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
    ModalDriver driver;
    driver.OnDialog([](HWND dialog) { modal::Press(dialog, IDOK); });
    driver.Start();
    PostMessageA(GetDlgItem(preview, CPrintPreview::kPrintButton), BM_CLICK, 0, 0);
    for (int i = 0; i < 200 && IsWindow(preview); ++i)
        browser.PumpFor(50);
    driver.Finish();
    EXPECT_EQ(driver.StepCount(), driver.StepsDone()) << "the print dialog came up";
    EXPECT_FALSE(IsWindow(preview)) << "printing closes the preview";
    // Copied once the job has written the whole document.
    std::string printed;
    for (int i = 0; i < 100 && printed.find("%%EOF") == std::string::npos; ++i) {
        browser.PumpFor(50);
        printed = ReadWholeFile(kPrintFile);
    }
    ASSERT_EQ(0u, printed.find("%!PS"));
    ASSERT_NE(std::string::npos, printed.find("%%EOF"));
    EXPECT_TRUE(CopyFileA(kPrintFile, kPreviewPrintFile, FALSE));

    browser.Command(ID_AUTO_SHOW);
    g_nAutoShowInterval = savedInterval;
}
