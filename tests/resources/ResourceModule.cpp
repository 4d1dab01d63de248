#include "tests/resources/ResourceModule.h"

#include <new>
#include <string>

namespace {

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR context)
{
    // No exception may leave a system callback: stop the enumeration instead.
    try {
        auto* entries = reinterpret_cast<std::set<ResourceEntry>*>(context);
        entries->insert({ResourceKey::FromPointer(type), ResourceKey::FromPointer(name), language});
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

BOOL CALLBACK AddName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR context)
{
    return EnumResourceLanguagesW(module, type, name, AddLanguage, context);
}

BOOL CALLBACK AddType(HMODULE module, LPWSTR type, LONG_PTR context)
{
    return EnumResourceNamesW(module, type, AddName, context);
}

}  // namespace

ResourceKey ResourceKey::FromPointer(LPCWSTR key)
{
    ResourceKey result;
    if (IS_INTRESOURCE(key))
        result.ordinal = LOWORD(reinterpret_cast<ULONG_PTR>(key));
    else
        result.name = key;
    return result;
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

ResourceModule::ResourceModule(const std::wstring& fileName)
    : path_(ProgramFolder() + fileName)
{
    // As a data file: no code of the library runs, only its resources map.
    module_ = LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

ResourceModule::~ResourceModule()
{
    if (module_ != nullptr)
        FreeLibrary(module_);
}

ResourceBytes ResourceModule::Find(LPCSTR type, WORD id, WORD language) const
{
    if (!IS_INTRESOURCE(type))
        throw FormatError("resource types are looked up by ordinal here");
    LPCWSTR typeOrdinal = MAKEINTRESOURCEW(LOWORD(reinterpret_cast<ULONG_PTR>(type)));
    HRSRC info = FindResourceExW(module_, typeOrdinal, MAKEINTRESOURCEW(id), language);
    if (info == nullptr)
        return {};
    HGLOBAL loaded = LoadResource(module_, info);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr)
        return {};
    return {static_cast<const uint8_t*>(data), SizeofResource(module_, info)};
}

ResourceBytes ResourceModule::Get(LPCSTR type, WORD id, WORD language) const
{
    ResourceBytes bytes = Find(type, id, language);
    if (bytes.data == nullptr)
        throw FormatError("no resource " + std::to_string(id) + " of type " +
                          std::to_string(reinterpret_cast<ULONG_PTR>(type)) + " in language " +
                          std::to_string(language));
    return bytes;
}

std::set<ResourceEntry> ResourceModule::Inventory() const
{
    std::set<ResourceEntry> entries;
    EnumResourceTypesW(module_, AddType, reinterpret_cast<LONG_PTR>(&entries));
    return entries;
}
