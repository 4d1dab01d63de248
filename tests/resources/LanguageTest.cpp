// The texts the operator sees in the menu bar, the chooser and the rename
// dialog, in the language of the user. The system's loader picks the
// resource set; the browser never does. The program is run once per
// language (EXPECT_LANGUAGE = en, zh_CN or zh_TW, with LANG set to match)
// and is linked with the resources whose English set is tagged en-US:
// under Wine a neutral set would always win.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "framework/Module.h"
#include "res/resource.h"
#include "tests/support/BrowserOnThisThread.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TestPictures.h"

namespace {

// One text of each resource the operator meets: whichever set the loader
// picks, the resource tests hold the rest of its texts.
struct LanguageTexts {
    const char* name;
    LANGID uiLanguage;
    const wchar_t* fileMenu;
    const wchar_t* forwardItem;
    const wchar_t* dateLabel;
    const wchar_t* renameCaption;
};

const LanguageTexts kLanguages[] = {
    {"en", 0x0409, L"File", L"&Forward page\tPgDn", L"Date", L"Input new file name"},
    {"zh_CN", 0x0804, L"文件(&F)", L"前面一页(&P)\tPgDn", L"查询日期", L"输入新文件名"},
    {"zh_TW", 0x0404, L"檔案(&F)", L"前面一頁(&P)\tPgDn", L"查詢日期", L"輸入新檔名"},
};

const LanguageTexts* Expected()
{
    const char* name = std::getenv("EXPECT_LANGUAGE");
    for (const LanguageTexts& t : kLanguages)
        if (name != nullptr && std::string(name) == t.name)
            return &t;
    return nullptr;
}

std::wstring MenuText(HMENU menu, UINT position)
{
    wchar_t text[256] = L"";
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return text;
}

std::wstring ControlTextW(HWND dialog, int id)
{
    wchar_t text[256] = L"";
    GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

std::wstring WindowTextW(HWND wnd)
{
    wchar_t text[256] = L"";
    GetWindowTextW(wnd, text, 256);
    return text;
}

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        expected = Expected();
        ASSERT_NE(nullptr, expected) << "set EXPECT_LANGUAGE to en, zh_CN or zh_TW";
        ASSERT_EQ(expected->uiLanguage, GetUserDefaultUILanguage()) << "the system runs in another language";
        FwInitModule(GetModuleHandleA(nullptr));
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(WriteSolidBmp(folder.Path() + "\\p" + std::to_string(i) + ".bmp", 64, 48, 24, RGB(9, 9, 9)));
        ASSERT_TRUE(browser.Open(folder.Path(), host.Handle()));
    }

    const LanguageTexts* expected = nullptr;
    TempFolder folder;
    HostWindow host;
    BrowserOnThisThread browser;
};

TEST_F(LanguageTest, TheMenuBarAndTheDialogsAreInTheUsersLanguage)
{
    HMENU bar = GetMenu(browser.Frame());
    EXPECT_EQ(expected->fileMenu, MenuText(bar, 0));
    EXPECT_EQ(expected->forwardItem, MenuText(GetSubMenu(bar, 1), 1));

    std::wstring date, caption;
    ModalDriver driver;
    driver.OnDialog([&](HWND dialog) {
        date = ControlTextW(dialog, IDC_DATE_LABEL);
        modal::Press(dialog, IDOK);
    });
    driver.OnDialog([&](HWND dialog) {
        caption = WindowTextW(dialog);
        modal::Press(dialog, IDCANCEL);
    });
    driver.Start();
    browser.Command(ID_FILE_OPEN);
    browser.View()->ShowCellAlone(0);
    browser.Command(ID_IMAGE_RENAME);
    driver.Finish();
    EXPECT_EQ(2, driver.StepsDone());
    EXPECT_EQ(expected->dateLabel, date);
    EXPECT_EQ(expected->renameCaption, caption);
}

}  // namespace
