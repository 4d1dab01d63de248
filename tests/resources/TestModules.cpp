#include "tests/resources/TestModules.h"

WORD SetUnderTest::Language() const
{
    switch (set) {
    case kSimplified:
        return kLangSimplified;
    case kTraditional:
        return kLangTraditional;
    case kEnglish:
    default:
        return module.englishLanguage;
    }
}

std::vector<ModuleUnderTest> ModulesUnderTest()
{
    std::vector<ModuleUnderTest> modules = {
        {L"res_neutral.dll", MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), "Shipped"},
        {L"res_enus.dll", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), "EnglishTaggedEnUs"},
    };
#ifdef RESOURCES_IN_IMAGEBROWSE
    modules.push_back({L"ImageBrowse.dll", MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), "ImageBrowseDll"});
#endif
    return modules;
}

std::vector<SetUnderTest> SetsUnderTest()
{
    std::vector<SetUnderTest> sets;
    for (const ModuleUnderTest& module : ModulesUnderTest())
        for (LanguageSet set : {kEnglish, kSimplified, kTraditional})
            sets.push_back({module, set});
    return sets;
}

std::string ModuleName(const testing::TestParamInfo<ModuleUnderTest>& info)
{
    return info.param.label;
}

std::string SetName(const testing::TestParamInfo<SetUnderTest>& info)
{
    static const char* const names[] = {"English", "Simplified", "Traditional"};
    return std::string(info.param.module.label) + "_" + names[info.param.set];
}

std::string Utf8(const std::u16string& text)
{
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    std::string out(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr)), 0);
    if (!out.empty())
        WideCharToMultiByte(CP_UTF8, 0, wide, length, &out[0], static_cast<int>(out.size()), nullptr, nullptr);
    return out;
}

void LanguageSetTest::SetUp()
{
    module_ = std::make_unique<ResourceModule>(GetParam().module.file);
    ASSERT_TRUE(module_->IsOpen()) << "cannot open " << Utf8(std::u16string(
        module_->Path().begin(), module_->Path().end())) << " as a data file";
    set_ = GetParam().set;
    language_ = GetParam().Language();
}

void ModuleTest::SetUp()
{
    module_ = std::make_unique<ResourceModule>(GetParam().file);
    ASSERT_TRUE(module_->IsOpen()) << "cannot open the library as a data file";
    languages_ = {GetParam().englishLanguage, kLangSimplified, kLangTraditional};
}
