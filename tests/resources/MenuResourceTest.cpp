// The main menu and the popup bar of every language set, as the system's
// menu loader builds them from the compiled templates: labels (with their
// tabs and mnemonics), commands, popup titles, separators and nesting, and
// after each tab the key its command's row names (album/AlbumCommands.h).
// (The popup the view shows in single mode, found by its index, is
// PopupMenuTest's.)
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "album/AlbumKeys.h"
#include "res/resource.h"
#include "tests/resources/ExpectedResources.h"
#include "tests/resources/TestModules.h"

namespace {

struct FlatItem {
    int depth;
    MenuKind kind;
    uint16_t id;
    std::u16string text;
    uint32_t flags;                 // state and type bits beyond a plain string item
};

void Flatten(HMENU menu, int depth, std::vector<FlatItem>& out)
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
        MenuKind kind = info.hSubMenu != nullptr ? kPopup : (info.fType & MFT_SEPARATOR) != 0 ? kSeparator : kCommand;
        uint16_t id = kind == kCommand ? static_cast<uint16_t>(info.wID) : 0;
        // The system reports every separator as greyed; that is no state of
        // the resource.
        UINT flags = kind == kSeparator ? 0 : info.fState | info.fType;
        out.push_back({depth, kind, id, reinterpret_cast<const char16_t*>(text), flags});
        if (info.hSubMenu != nullptr)
            Flatten(info.hSubMenu, depth + 1, out);
    }
}

class MenuResource : public LanguageSetTest {};

TEST_P(MenuResource, BothMenusHoldEveryLabelAndCommandInOrder)
{
    const struct {
        WORD id;
        const std::vector<MenuRow>& rows;
    } menus[] = {{IDR_ALBUM, ExpectedMainMenu()}, {IDR_ALBUM_POPUPS, ExpectedPopupMenus()}};
    for (const auto& menu : menus) {
        SCOPED_TRACE("menu " + std::to_string(menu.id));
        HMENU loaded = LoadMenuIndirectW(module_->Get(RT_MENU, menu.id, language_).data);
        ASSERT_NE(nullptr, loaded) << "the system rejects the menu template";
        std::vector<FlatItem> actual;
        Flatten(loaded, 0, actual);
        DestroyMenu(loaded);
        ASSERT_EQ(menu.rows.size(), actual.size()) << "number of menu entries (popups, items, separators)";
        for (size_t i = 0; i < actual.size(); ++i) {
            const MenuRow& want = menu.rows[i];
            const FlatItem& got = actual[i];
            SCOPED_TRACE("entry " + std::to_string(i) + " \"" + Utf8(want.text[set_]) + "\"");
            EXPECT_EQ(want.depth, got.depth);
            EXPECT_EQ(want.kind, got.kind) << "0 command, 1 popup, 2 separator";
            EXPECT_EQ(want.id, got.id);
            EXPECT_EQ(std::u16string(want.text[set_]), got.text) << "got \"" << Utf8(got.text) << "\"";
            EXPECT_EQ(0u, got.flags) << "no item is checked, greyed, disabled or broken in the resource";
            if (got.kind == kCommand) {
                const size_t tab = got.text.find(u'\t');
                const std::string key = tab == std::u16string::npos ? "" : Utf8(got.text.substr(tab + 1));
                EXPECT_EQ(MenuKeyLabel(KeyNamesOf(got.id)), key) << "the key of the command's row";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EachSet, MenuResource, testing::ValuesIn(SetsUnderTest()), SetName);

}  // namespace
