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

void PrintTo(const ModuleUnderTest& module, std::ostream* out)
{
    *out << module.label;
}

void PrintTo(const SetUnderTest& set, std::ostream* out)
{
    static const char* const names[] = {"English", "Simplified", "Traditional"};
    *out << set.module.label << " " << names[set.set] << " (language " << set.Language() << ")";
}

std::string Utf8(const std::u16string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
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
