// The library as a whole: which resources exist in which languages, that
// the three sets share the toolbar and the About box, and the
// language-free parts (icon, version block).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/resources/ExpectedResources.h"
#include "tests/resources/TestModules.h"

namespace {

ResourceKey Ordinal(WORD value)
{
    ResourceKey key;
    key.ordinal = value;
    return key;
}

ResourceKey TypeKey(LPCSTR type)
{
    return Ordinal(LOWORD(reinterpret_cast<ULONG_PTR>(type)));
}

std::string Describe(const ResourceKey& key)
{
    return key.name.empty() ? std::to_string(key.ordinal) : std::string(key.name.begin(), key.name.end());
}

// Dialog structure without texts, fonts or label widths.
std::vector<long long> Skeleton(const DialogTemplate& dialog)
{
    std::vector<long long> skeleton = {dialog.extended, dialog.style, dialog.exStyle, dialog.x, dialog.y,
                                       dialog.cx, dialog.cy, dialog.pointSize, dialog.weight, dialog.charset};
    for (const DialogControl& control : dialog.controls) {
        long long cls = control.windowClass.isOrdinal ? control.windowClass.ordinal : -1;
        skeleton.insert(skeleton.end(), {control.id, cls, control.style, control.exStyle, control.helpId,
                                         control.x, control.y, control.cy});
    }
    return skeleton;
}

std::vector<uint8_t> Copy(ResourceBytes bytes)
{
    return std::vector<uint8_t>(bytes.data, bytes.data + bytes.size);
}

class ResourceSet : public ModuleTest {};

TEST_P(ResourceSet, EveryTranslatedResourceExistsInExactlyTheThreeSets)
{
    const std::set<WORD> threeSets(languages_.begin(), languages_.end());
    const std::set<WORD> neutralOnly = {MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)};
    // Nothing else: no accelerator table either, so Ctrl+O and Ctrl+P are
    // only menu text.
    std::map<std::pair<ResourceKey, ResourceKey>, std::set<WORD>> expected = {
        {{TypeKey(RT_MENU), Ordinal(IDR_ALBUM)}, threeSets},
        {{TypeKey(RT_MENU), Ordinal(IDR_ALBUM_POPUPS)}, threeSets},
        {{TypeKey(RT_DIALOG), Ordinal(IDD_RENAME)}, threeSets},
        {{TypeKey(RT_DIALOG), Ordinal(IDD_DATE_CAMERA)}, threeSets},
        {{TypeKey(RT_DIALOG), Ordinal(IDD_ABOUT)}, threeSets},
        {{Ordinal(RT_TOOLBAR), Ordinal(IDR_ALBUM)}, threeSets},
        {{TypeKey(RT_BITMAP), Ordinal(IDR_ALBUM)}, threeSets},
        {{TypeKey(RT_GROUP_ICON), Ordinal(IDI_ALBUM)}, neutralOnly},
        {{TypeKey(RT_VERSION), Ordinal(IDR_VERSION)}, neutralOnly},
    };
    for (const PromptRow& row : ExpectedPrompts())
        expected[{TypeKey(RT_STRING), Ordinal(static_cast<WORD>(row.id / 16 + 1))}] = threeSets;

    std::map<std::pair<ResourceKey, ResourceKey>, std::set<WORD>> actual;
    for (const ResourceEntry& entry : module_->Inventory())
        // The icon images are numbered by the compiler; only their group counts.
        if (!(entry.type == TypeKey(RT_ICON)))
            actual[{entry.type, entry.name}].insert(entry.language);
    for (const auto& [key, languages] : actual)
        EXPECT_EQ(1u, expected.count(key)) << "unexpected resource type " << Describe(key.first) << " name "
                                           << Describe(key.second);
    for (const auto& [key, languages] : expected) {
        SCOPED_TRACE("type " + Describe(key.first) + " name " + Describe(key.second));
        ASSERT_EQ(1u, actual.count(key)) << "missing";
        EXPECT_EQ(languages, actual.at(key));
    }
}

TEST_P(ResourceSet, TheThreeSetsCarryTheSameToolbarAndTheSameImage)
{
    for (LPCSTR type : {MAKEINTRESOURCEA(RT_TOOLBAR), RT_BITMAP}) {
        auto english = Copy(module_->Get(type, IDR_ALBUM, languages_[kEnglish]));
        EXPECT_EQ(english, Copy(module_->Get(type, IDR_ALBUM, languages_[kSimplified])));
        EXPECT_EQ(english, Copy(module_->Get(type, IDR_ALBUM, languages_[kTraditional])));
    }
}

TEST_P(ResourceSet, TheIconHas16And32PixelImagesOf256Colours)
{
    std::vector<IconGroupEntry> group = ParseIconGroup(module_->Get(RT_GROUP_ICON, IDI_ALBUM, 0));
    std::set<int> sizes;
    for (const IconGroupEntry& entry : group) {
        SCOPED_TRACE("icon image " + std::to_string(entry.iconId));
        sizes.insert(entry.width);
        EXPECT_EQ(entry.width, entry.height);
        EXPECT_EQ(8, entry.bitCount);
        EXPECT_EQ(0, entry.colourCount) << "0 stands for 256 colours";
        ResourceBytes image = module_->Get(RT_ICON, entry.iconId, 0);
        EXPECT_EQ(entry.bytes, image.size);
        DibImage dib(image, DibImage::Kind::IconImage);
        EXPECT_EQ(entry.width, dib.Width());
        EXPECT_EQ(entry.height, dib.Height());
        EXPECT_EQ(8, dib.BitCount());
        EXPECT_EQ(256u, dib.Palette().size());
        HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image.data), image.size, TRUE, 0x00030000,
                                              entry.width, entry.height, LR_DEFAULTCOLOR);
        EXPECT_NE(nullptr, icon) << "the system cannot build the icon";
        if (icon != nullptr)
            DestroyIcon(icon);
    }
    EXPECT_EQ((std::set<int>{16, 32}), sizes);
}

// The About box has no table of its own: its three sets share controls,
// styles and positions, and each shows the icon. (The other dialogs'
// tables hold every set.)
TEST_P(ResourceSet, TheAboutBoxShowsTheIconInEverySetOfOneLayout)
{
    const auto layout = Skeleton(ParseDialog(module_->Get(RT_DIALOG, IDD_ABOUT, languages_[kEnglish])));
    for (WORD language : languages_) {
        DialogTemplate about = ParseDialog(module_->Get(RT_DIALOG, IDD_ABOUT, language));
        EXPECT_EQ(layout, Skeleton(about)) << "language " << language;
        auto icon = std::find_if(about.controls.begin(), about.controls.end(),
                                 [](const DialogControl& c) { return c.id == IDC_ABOUT_ICON; });
        ASSERT_NE(about.controls.end(), icon);
        EXPECT_EQ(static_cast<uint32_t>(SS_ICON), icon->style & SS_TYPEMASK);
        EXPECT_TRUE(icon->title.isOrdinal);
        EXPECT_EQ(IDI_ALBUM, icon->title.ordinal);
        EXPECT_FALSE(about.caption.empty());
    }
}

TEST_P(ResourceSet, TheVersionBlockDescribesTheLibrary)
{
    const std::wstring& path = module_->Path();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<uint8_t> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);
    EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);

    wchar_t* description = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\000004b0\\OriginalFilename",
                               reinterpret_cast<void**>(&description), &length));
    EXPECT_STREQ(L"ImageBrowse.dll", description);
}

INSTANTIATE_TEST_SUITE_P(EachLibrary, ResourceSet, testing::ValuesIn(ModulesUnderTest()), ModuleName);

}  // namespace
