// What the compiled resources must hold, as data: one row per menu item,
// prompt and dialog control, with the text of each of the three language
// sets side by side so that a difference between the sets is visible here.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

#include "tests/resources/ResourceFormats.h"

enum LanguageSet { kEnglish = 0, kSimplified = 1, kTraditional = 2 };
constexpr int kLanguageSetCount = 3;

constexpr WORD kLangSimplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);     // 2052
constexpr WORD kLangTraditional = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL);   // 1028

using Texts = std::array<const char16_t*, kLanguageSetCount>;

enum MenuKind { kCommand, kPopup, kSeparator };

struct MenuRow {
    int depth;
    MenuKind kind;
    uint16_t id;
    Texts text;
};

struct PromptRow {
    uint16_t id;
    Texts text;
};

struct ControlRow {
    uint32_t id;
    uint16_t classOrdinal;          // 0 when the class is given by name
    const char16_t* className;
    Texts text;
    uint32_t style;
    uint32_t exStyle;
    int16_t x, y;
    std::array<int16_t, kLanguageSetCount> cx;
    int16_t cy;
};

struct DialogExpectation {
    uint16_t id;
    bool extended;
    uint32_t style;
    uint32_t exStyle;
    int16_t x, y, cx, cy;
    Texts caption;
    Texts font;
    uint16_t pointSize;
    uint16_t weight;                // extended templates only
    uint8_t charset;                // extended templates only
    std::vector<ControlRow> controls;
};

// Window-class ordinals of the predefined controls in a dialog template.
constexpr uint16_t kButtonClass = 0x0080;
constexpr uint16_t kEditClass = 0x0081;
constexpr uint16_t kStaticClass = 0x0082;
constexpr uint16_t kComboBoxClass = 0x0085;

const std::vector<MenuRow>& ExpectedMainMenu();
const std::vector<MenuRow>& ExpectedPopupMenus();
const std::vector<PromptRow>& ExpectedPrompts();
const DialogExpectation& ExpectedRenameDialog();
const DialogExpectation& ExpectedDateCameraDialog();
const std::vector<uint16_t>& ExpectedToolbarSlots();
