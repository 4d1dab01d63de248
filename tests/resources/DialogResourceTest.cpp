// The rename dialog and the date-and-camera chooser of every language set:
// the template as compiled (styles, positions, caption, font, controls in
// tab order) and the dialog the system builds from it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/resources/ExpectedResources.h"
#include "tests/resources/TestModules.h"

namespace {

std::u16string Lower(std::u16string text)
{
    for (char16_t& c : text)
        c = static_cast<char16_t>(std::towlower(c));
    return text;
}

std::u16string WindowText(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return reinterpret_cast<const char16_t*>(text);
}

std::u16string ClassOf(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return reinterpret_cast<const char16_t*>(name);
}

// The class a predefined control ordinal stands for, as the system names it.
std::u16string SystemClassName(const ControlRow& row)
{
    switch (row.classOrdinal) {
    case kButtonClass:
        return u"Button";
    case kEditClass:
        return u"Edit";
    case kStaticClass:
        return u"Static";
    case kComboBoxClass:
        return u"ComboBox";
    default:
        return row.className;
    }
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

class DialogResource : public LanguageSetTest {
protected:
    void ExpectTemplate(const DialogExpectation& want)
    {
        DialogTemplate got = ParseDialog(module_->Get(RT_DIALOG, want.id, language_));
        EXPECT_EQ(want.extended, got.extended) << "classic or extended template";
        EXPECT_EQ(want.style, got.style);
        EXPECT_EQ(want.exStyle, got.exStyle);
        EXPECT_EQ(0u, got.helpId);
        EXPECT_EQ(want.x, got.x);
        EXPECT_EQ(want.y, got.y);
        EXPECT_EQ(want.cx, got.cx);
        EXPECT_EQ(want.cy, got.cy);
        EXPECT_TRUE(got.menu.IsEmpty());
        EXPECT_TRUE(got.windowClass.IsEmpty());
        EXPECT_EQ(std::u16string(want.caption[set_]), got.caption) << "got \"" << Utf8(got.caption) << "\"";
        EXPECT_EQ(std::u16string(want.font[set_]), got.font) << "got \"" << Utf8(got.font) << "\"";
        EXPECT_EQ(want.pointSize, got.pointSize);
        if (want.extended) {
            EXPECT_EQ(want.weight, got.weight);
            EXPECT_EQ(0, got.italic);
            EXPECT_EQ(want.charset, got.charset);
        }
        ASSERT_EQ(want.controls.size(), got.controls.size());
        for (size_t i = 0; i < want.controls.size(); ++i)
            ExpectControl(want.controls[i], got.controls[i]);
    }

    void ExpectControl(const ControlRow& want, const DialogControl& got)
    {
        SCOPED_TRACE("control " + std::to_string(want.id));
        EXPECT_EQ(want.id, got.id);
        if (want.classOrdinal != 0) {
            EXPECT_TRUE(got.windowClass.isOrdinal);
            EXPECT_EQ(want.classOrdinal, got.windowClass.ordinal);
        } else {
            // Window classes are matched without regard to case, and the
            // resource compiler stores class names in upper case.
            EXPECT_FALSE(got.windowClass.isOrdinal);
            EXPECT_EQ(Lower(want.className), Lower(got.windowClass.name));
        }
        EXPECT_FALSE(got.title.isOrdinal);
        EXPECT_EQ(std::u16string(want.text[set_]), got.title.name) << "got \"" << Utf8(got.title.name) << "\"";
        EXPECT_EQ(want.style, got.style) << std::hex << "0x" << want.style << " vs 0x" << got.style;
        EXPECT_EQ(want.exStyle, got.exStyle);
        EXPECT_EQ(0u, got.helpId);
        EXPECT_EQ(want.x, got.x);
        EXPECT_EQ(want.y, got.y);
        EXPECT_EQ(want.cx[set_], got.cx);
        EXPECT_EQ(want.cy, got.cy);
        EXPECT_EQ(0, got.extraBytes);
    }

    // The system's dialog manager builds the dialog: the controls exist in
    // template (tab) order, with their real classes, texts and the font.
    void ExpectLiveDialog(const DialogExpectation& want)
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        ResourceBytes bytes = module_->Get(RT_DIALOG, want.id, language_);
        std::unique_ptr<HWND__, decltype(&DestroyWindow)> dialog(
            CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data),
                                       nullptr, QuietDialogProc, 0),
            DestroyWindow);
        ASSERT_NE(nullptr, dialog) << "the system rejects the template, error " << GetLastError();
        EXPECT_EQ(std::u16string(want.caption[set_]), WindowText(dialog.get()));
        EXPECT_FALSE(IsWindowVisible(dialog.get())) << "dialogs are shown by their owners";
        // The chooser moves itself; with a caption the user could drag it.
        const DWORD caption = WS_CAPTION | WS_SYSMENU;
        EXPECT_EQ(want.style & caption, static_cast<DWORD>(GetWindowLongW(dialog.get(), GWL_STYLE)) & caption);

        HWND child = GetWindow(dialog.get(), GW_CHILD);
        for (const ControlRow& row : want.controls) {
            SCOPED_TRACE("control " + std::to_string(row.id));
            ASSERT_NE(nullptr, child) << "fewer controls than the template lists";
            EXPECT_EQ(static_cast<int>(row.id), GetDlgCtrlID(child));
            // The registered class, whatever the case of the name in the template.
            EXPECT_EQ(SystemClassName(row), ClassOf(child));
            if (row.classOrdinal == kButtonClass || row.classOrdinal == kStaticClass) {
                EXPECT_EQ(std::u16string(row.text[set_]), WindowText(child));
            }
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(nullptr, child) << "more controls than the template lists";

        HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog.get(), WM_GETFONT, 0, 0));
        ASSERT_NE(nullptr, font) << "the template's font was not created";
        LOGFONTW logFont = {};
        ASSERT_NE(0, GetObjectW(font, sizeof logFont, &logFont));
        EXPECT_EQ(std::u16string(want.font[set_]), std::u16string(reinterpret_cast<const char16_t*>(logFont.lfFaceName)));
    }
};

TEST_P(DialogResource, TheRenameDialogAndTheChooserMatchTheirTablesAsCompiledAndAsBuilt)
{
    for (const DialogExpectation* want : {&ExpectedRenameDialog(), &ExpectedDateCameraDialog()}) {
        SCOPED_TRACE("dialog " + std::to_string(want->id));
        ExpectTemplate(*want);
        ExpectLiveDialog(*want);
    }
}

INSTANTIATE_TEST_SUITE_P(EachSet, DialogResource, testing::ValuesIn(SetsUnderTest()), SetName);

}  // namespace
