#include "framework/Module.h"

#include <string>
#include <vector>

namespace {

HINSTANCE g_module;
// Never destroyed: at process exit another thread may have been stopped
// while holding the heap, and freeing would then wait for ever.
std::vector<std::string>& RegisteredClasses()
{
    static std::vector<std::string>* classes = new std::vector<std::string>;
    return *classes;
}

}  // namespace

void FwInitModule(HINSTANCE module)
{
    g_module = module;
}

HINSTANCE FwModule()
{
    return g_module != nullptr ? g_module : GetModuleHandleA(nullptr);
}

bool FwRegisterClass(const WNDCLASSEXA& wc)
{
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(wc.hInstance, wc.lpszClassName, &existing))
        return true;
    if (!RegisterClassExA(&wc))
        return false;
    RegisteredClasses().push_back(wc.lpszClassName);
    return true;
}

void FwUnregisterClasses()
{
    for (const std::string& name : RegisteredClasses())
        UnregisterClassA(name.c_str(), FwModule());
    RegisteredClasses().clear();
}

bool FwLoadString(UINT id, char* buffer, int size)
{
    if (size > 0)
        buffer[0] = '\0';
    return LoadStringA(FwModule(), id, buffer, size) > 0;
}

std::string FwString(UINT id)
{
    char text[512];
    return FwLoadString(id, text, sizeof text) ? std::string(text) : std::string();
}

std::wstring FwWideString(UINT id)
{
    // Length 0 asks for a pointer to the string in the resource itself.
    const wchar_t* text = nullptr;
    int length = LoadStringW(FwModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}
