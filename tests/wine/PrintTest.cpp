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
#include "tests/support/TestPictures.h"

namespace {

const char kPrintFile[] = "C:\\print.ps";

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
    RECT client;
    GetClientRect(preview, &client);
    HDC screen = GetDC(preview);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP shot = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, shot);
    BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    // The sheet: the white area's extent along the middle row and column.
    int midY = client.bottom / 2 + 20, midX = client.right / 2;
    int left = -1, right = -1, top = -1, bottom = -1;
    for (int x = 0; x < client.right; ++x)
        if (GetPixel(memory, x, midY) == RGB(255, 255, 255)) {
            if (left < 0)
                left = x;
            right = x;
        }
    for (int y = 40; y < client.bottom; ++y)
        if (GetPixel(memory, midX, y) != RGB(128, 128, 128) && GetPixel(memory, midX, y) != RGB(64, 64, 64)) {
            if (top < 0)
                top = y;
            bottom = y;
        }
    // The page was played into it: the cells' fill colour is on the sheet.
    bool cellColourSeen = false;
    for (int y = top; y < top + (bottom - top) / 3 && !cellColourSeen; ++y)
        for (int x = left; x < left + (right - left) / 3 && !cellColourSeen; ++x)
            cellColourSeen = GetPixel(memory, x, y) == RGB(202, 224, 184) || GetPixel(memory, x, y) == RGB(166, 202, 240);
    SelectObject(memory, old);
    DeleteObject(shot);
    DeleteDC(memory);
    ReleaseDC(preview, screen);

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

}  // namespace
