// The prompt strings of every language set: exactly the listed commands
// have one, with the listed text, and nothing else is in the table (no
// frame title, no prompt for the commands reachable only by message).
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

#include "res/resource.h"
#include "tests/resources/ExpectedResources.h"
#include "tests/resources/TestModules.h"

namespace {

class StringResource : public LanguageSetTest {
protected:
    // Every non-empty string of this language, by string id.
    std::map<uint32_t, std::u16string> AllStrings()
    {
        std::map<uint32_t, std::u16string> strings;
        for (const ResourceEntry& entry : module_->Inventory()) {
            if (entry.type.ordinal != LOWORD(RT_STRING) || entry.language != language_)
                continue;
            WORD block = entry.name.ordinal;
            std::vector<std::u16string> texts = ParseStringBlock(module_->Get(RT_STRING, block, language_));
            for (uint32_t i = 0; i < texts.size(); ++i)
                if (!texts[i].empty())
                    strings[(block - 1u) * 16u + i] = texts[i];
        }
        return strings;
    }
};

TEST_P(StringResource, EachPromptSitsInTheBlockOfItsCommand)
{
    for (const PromptRow& row : ExpectedPrompts()) {
        SCOPED_TRACE("command " + std::to_string(row.id));
        WORD block = static_cast<WORD>(row.id / 16 + 1);
        std::vector<std::u16string> texts = ParseStringBlock(module_->Get(RT_STRING, block, language_));
        EXPECT_EQ(std::u16string(row.text[set_]), texts[row.id % 16])
            << "got \"" << Utf8(texts[row.id % 16]) << "\"";
    }
}

TEST_P(StringResource, TheTableHoldsNoStringBeyondThePrompts)
{
    std::map<uint32_t, std::u16string> expected;
    for (const PromptRow& row : ExpectedPrompts())
        expected[row.id] = row.text[set_];
    std::map<uint32_t, std::u16string> actual = AllStrings();
    EXPECT_EQ(expected, actual);
    EXPECT_EQ(0u, actual.count(IDR_ALBUM)) << "the frame loads no title string";
    for (uint32_t silent : {ID_ALBUM_REFRESH, ID_SET_WALLPAPER, ID_EXPORT_NEW_BMP, ID_FILE_PRINT_DIRECT,
                            ID_APP_ABOUT, ID_APP_EXIT})
        EXPECT_EQ(0u, actual.count(silent)) << "command " << silent << " has no prompt";
}

// A newline would split a prompt into prompt and tooltip; none has one.
TEST_P(StringResource, NoPromptCarriesATooltipPart)
{
    for (const auto& [id, text] : AllStrings())
        EXPECT_EQ(std::u16string::npos, text.find(u'\n')) << "string " << id;
}

INSTANTIATE_TEST_SUITE_P(EachSet, StringResource, testing::ValuesIn(SetsUnderTest()), SetName);

}  // namespace
