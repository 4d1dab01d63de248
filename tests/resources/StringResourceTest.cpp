// The prompt strings of every language set: exactly the listed commands
// have one, in the block of its command, with the listed text (no newline
// that would split off a tooltip), and nothing else is in the table (no
// frame title, no prompt for the commands reachable only by message).
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

#include "tests/resources/ExpectedResources.h"
#include "tests/resources/TestModules.h"

namespace {

class StringResource : public LanguageSetTest {};

TEST_P(StringResource, TheTableHoldsExactlyThePrompts)
{
    std::map<uint32_t, std::u16string> expected, actual;
    for (const PromptRow& row : ExpectedPrompts())
        expected[row.id] = row.text[set_];
    for (const ResourceEntry& entry : module_->Inventory()) {
        if (entry.type.ordinal != LOWORD(RT_STRING) || entry.language != language_)
            continue;
        WORD block = entry.name.ordinal;
        std::vector<std::u16string> texts = ParseStringBlock(module_->Get(RT_STRING, block, language_));
        for (uint32_t i = 0; i < texts.size(); ++i)
            if (!texts[i].empty())
                actual[(block - 1u) * 16u + i] = texts[i];
    }
    for (const auto& [id, text] : expected)
        EXPECT_EQ(text, actual[id]) << "string " << id << ": got \"" << Utf8(actual[id]) << "\"";
    EXPECT_EQ(expected, actual);
}

INSTANTIATE_TEST_SUITE_P(EachSet, StringResource, testing::ValuesIn(SetsUnderTest()), SetName);

}  // namespace
