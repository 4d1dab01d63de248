// The main menu and the popup bar of every language set: labels (with their
// tabs and mnemonics), commands, popup titles, separators and nesting, read
// by our own parser and, independently, by the system's menu loader.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/resources/ExpectedResources.h"
#include "tests/resources/TestModules.h"

namespace {

struct FlatItem {
    int depth;
    MenuItem::Kind kind;
    uint16_t id;
    std::u16string text;
    uint32_t state;                 // checked, greyed or disabled bits
};

void Flatten(const std::vector<MenuItem>& items, int depth, std::vector<FlatItem>& out)
{
    for (const MenuItem& item : items) {
        out.push_back({depth, item.kind, item.id, item.text, item.flags});
        Flatten(item.children, depth + 1, out);
    }
}

// The same walk over a menu the system built from the template.
void FlattenSystemMenu(HMENU menu, int depth, std::vector<FlatItem>& out)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU | MIIM_STATE;
        info.dwTypeData = text;
        info.cch = 255;
        ASSERT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
        MenuItem::Kind kind = info.hSubMenu != nullptr           ? MenuItem::Kind::Popup
                              : (info.fType & MFT_SEPARATOR) != 0 ? MenuItem::Kind::Separator
                                                                  : MenuItem::Kind::Command;
        uint16_t id = kind == MenuItem::Kind::Command ? static_cast<uint16_t>(info.wID) : 0;
        std::u16string label(reinterpret_cast<const char16_t*>(text));
        // The system reports every separator as greyed; that is no state of
        // the resource.
        UINT state = kind == MenuItem::Kind::Separator ? 0 : info.fState;
        out.push_back({depth, kind, id, label, state});
        if (info.hSubMenu != nullptr)
            FlattenSystemMenu(info.hSubMenu, depth + 1, out);
    }
}

const char* KindName(MenuItem::Kind kind)
{
    switch (kind) {
    case MenuItem::Kind::Popup:
        return "popup";
    case MenuItem::Kind::Separator:
        return "separator";
    case MenuItem::Kind::Command:
    default:
        return "command";
    }
}

void ExpectRows(const std::vector<MenuRow>& expected, const std::vector<FlatItem>& actual, LanguageSet set)
{
    ASSERT_EQ(expected.size(), actual.size()) << "number of menu entries (popups, items, separators)";
    for (size_t i = 0; i < expected.size(); ++i) {
        const MenuRow& want = expected[i];
        const FlatItem& got = actual[i];
        SCOPED_TRACE("entry " + std::to_string(i) + " \"" + Utf8(want.text[set]) + "\"");
        EXPECT_EQ(want.depth, got.depth);
        EXPECT_STREQ(KindName(want.kind), KindName(got.kind));
        EXPECT_EQ(want.id, got.id);
        EXPECT_EQ(std::u16string(want.text[set]), got.text) << "got \"" << Utf8(got.text) << "\"";
        EXPECT_EQ(0u, got.state) << "no item is checked, greyed or disabled in the resource";
    }
}

class MenuResource : public LanguageSetTest {
protected:
    std::vector<FlatItem> Parsed(WORD id)
    {
        std::vector<FlatItem> flat;
        Flatten(ParseMenu(module_->Get(RT_MENU, id, language_)), 0, flat);
        return flat;
    }

    std::vector<FlatItem> LoadedBySystem(WORD id)
    {
        ResourceBytes bytes = module_->Get(RT_MENU, id, language_);
        HMENU menu = LoadMenuIndirectW(bytes.data);
        std::vector<FlatItem> flat;
        EXPECT_NE(nullptr, menu) << "the system rejects the menu template";
        if (menu != nullptr) {
            FlattenSystemMenu(menu, 0, flat);
            DestroyMenu(menu);
        }
        return flat;
    }
};

TEST_P(MenuResource, MainMenuHoldsEveryLabelAndCommandInOrder)
{
    ExpectRows(ExpectedMainMenu(), Parsed(IDR_ALBUM), set_);
}

TEST_P(MenuResource, SystemMenuLoaderReadsTheMainMenuTheSameWay)
{
    ExpectRows(ExpectedMainMenu(), LoadedBySystem(IDR_ALBUM), set_);
}

TEST_P(MenuResource, PopupBarHoldsSixPopupsWithTheirItems)
{
    ExpectRows(ExpectedPopupMenus(), Parsed(IDR_ALBUM_POPUPS), set_);
}

TEST_P(MenuResource, SystemMenuLoaderReadsThePopupBarTheSameWay)
{
    ExpectRows(ExpectedPopupMenus(), LoadedBySystem(IDR_ALBUM_POPUPS), set_);
}

// The view shows the popup at this index in single mode; it must be the one
// with rename, delete and the way back to multi mode.
TEST_P(MenuResource, TheSingleModeContextMenuIsAtTheIndexTheViewUses)
{
    ResourceBytes bytes = module_->Get(RT_MENU, IDR_ALBUM_POPUPS, language_);
    HMENU bar = LoadMenuIndirectW(bytes.data);
    ASSERT_NE(nullptr, bar);
    HMENU popup = GetSubMenu(bar, ALBUM_POPUP_IMAGE_INDEX);
    ASSERT_NE(nullptr, popup);
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(popup); ++i)
        ids.push_back(GetMenuItemID(popup, i));
    DestroyMenu(bar);
    EXPECT_EQ((std::vector<UINT>{ID_IMAGE_RENAME, ID_IMAGE_DELETE, 0, ID_MULTI_SHOW}), ids);
}

INSTANTIATE_TEST_SUITE_P(EachSet, MenuResource, testing::ValuesIn(SetsUnderTest()), SetName);

}  // namespace
