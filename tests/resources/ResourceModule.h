// A library of compiled resources opened as a data file, and the look-ups
// the tests need: one resource in one explicit language, and the inventory
// of every type, name and language the library carries.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <tuple>

#include "tests/resources/ResourceFormats.h"

// A resource type or name: an ordinal or an upper-case string.
struct ResourceKey {
    WORD ordinal = 0;
    std::wstring name;

    bool operator<(const ResourceKey& other) const
    {
        return std::tie(ordinal, name) < std::tie(other.ordinal, other.name);
    }
    bool operator==(const ResourceKey& other) const
    {
        return ordinal == other.ordinal && name == other.name;
    }
    static ResourceKey FromPointer(LPCWSTR key);
};

struct ResourceEntry {
    ResourceKey type;
    ResourceKey name;
    WORD language = 0;

    bool operator<(const ResourceEntry& other) const
    {
        return std::tie(type, name, language) < std::tie(other.type, other.name, other.language);
    }
};

class ResourceModule {
public:
    // Opens the library beside the running test program.
    explicit ResourceModule(const std::wstring& fileName);
    ~ResourceModule();
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    bool IsOpen() const { return module_ != nullptr; }
    const std::wstring& Path() const { return path_; }

    // The bytes of one resource of an ordinal type (RT_MENU, ...) in
    // exactly the given language; empty (data null) when the library has
    // none.
    ResourceBytes Find(LPCSTR type, WORD id, WORD language) const;
    ResourceBytes Get(LPCSTR type, WORD id, WORD language) const;   // throws when absent

    std::set<ResourceEntry> Inventory() const;

private:
    HMODULE module_ = nullptr;
    std::wstring path_;
};

// The folder of the running test program, with a trailing backslash.
std::wstring ProgramFolder();
