// The libraries whose compiled resources are checked, and the three
// language sets in each. Every library is opened as a data file, so no code
// of it runs.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/resources/ExpectedResources.h"
#include "tests/resources/ResourceModule.h"

struct ModuleUnderTest {
    const wchar_t* file;
    // Language of the English set: neutral as shipped, en-US in the variant
    // built to let Wine's loader pick the Chinese sets.
    WORD englishLanguage;
    const char* label;
};

struct SetUnderTest {
    ModuleUnderTest module;
    LanguageSet set;

    WORD Language() const;
};

std::vector<ModuleUnderTest> ModulesUnderTest();
std::vector<SetUnderTest> SetsUnderTest();
std::string ModuleName(const testing::TestParamInfo<ModuleUnderTest>& info);
std::string SetName(const testing::TestParamInfo<SetUnderTest>& info);

// For failure messages: the UTF-16 text as UTF-8.
std::string Utf8(const std::u16string& text);

// Fixture for tests that look at one language set of one library.
class LanguageSetTest : public testing::TestWithParam<SetUnderTest> {
protected:
    void SetUp() override;

    std::unique_ptr<ResourceModule> module_;
    LanguageSet set_ = kEnglish;
    WORD language_ = 0;
};

// Fixture for tests that compare the sets of one library.
class ModuleTest : public testing::TestWithParam<ModuleUnderTest> {
protected:
    void SetUp() override;

    std::unique_ptr<ResourceModule> module_;
    std::vector<WORD> languages_;   // English, Simplified, Traditional
};
