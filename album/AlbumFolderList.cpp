#include "album/AlbumFolderList.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <utility>
#include <vector>

#include "framework/FileFind.h"

namespace {

// The list is built in these passes, in this order.
const char* const kListPatterns[] = {"*.bmp", "*.GIF", "*.PCX", "*.TGA", "*.JPG", "*.TIF"};
const char kExtensions[][4] = {"BMP", "GIF", "PCX", "TGA", "JPG", "TIF"};
constexpr int kPasses = ALBUM_RUNS;

// Whether a name's own case-insensitive match is the system's to decide.
constexpr unsigned kUndecided = CAlbumFolderList::kUndecided;

// The passes whose pattern a name matches, one bit each: "*" takes any
// start, so the name must end in "." and the extension, letters in either
// case. A non-ASCII character among the last four leaves it undecided.
unsigned PassesOf(const wchar_t* name)
{
    const size_t length = std::wcslen(name);
    if (length < 4)
        return 0;
    char tail[4];
    for (int i = 0; i < 4; ++i) {
        const wchar_t c = name[length - 4 + i];
        if (c >= 0x80)
            return kUndecided;
        tail[i] = static_cast<char>(c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c);
    }
    if (tail[0] != '.')
        return 0;
    for (int pass = 0; pass < kPasses; ++pass)
        if (tail[1] == kExtensions[pass][0] && tail[2] == kExtensions[pass][1] && tail[3] == kExtensions[pass][2])
            return 1u << pass;
    return 0;
}

// Appends a name in the 8-bit code page. Every code page the system runs
// in keeps ASCII as it is, so the usual name needs no conversion call.
bool AppendNarrow(const wchar_t* name, UINT codePage, std::string& text)
{
    const wchar_t* c = name;
    while (*c != 0 && *c < 0x80)
        ++c;
    if (*c == 0) {
        for (c = name; *c != 0; ++c)
            text.push_back(static_cast<char>(*c));
        return true;
    }
    char narrow[MAX_PATH];
    const int bytes = WideCharToMultiByte(codePage, 0, name, -1, narrow, sizeof narrow, nullptr, nullptr);
    if (bytes == 0)
        return false;
    text.append(narrow, static_cast<size_t>(bytes - 1));
    return true;
}

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : m_hFind(handle) {}
    ~FindHandle()
    {
        if (Valid())
            FindClose(m_hFind);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool Valid() const { return m_hFind != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_hFind; }

private:
    HANDLE m_hFind;
};

}  // namespace

// The current directory made absolute, as the framework's finder puts it
// before a backslash and a name.
std::string CAlbumFolderList::CurrentFolder()
{
    char full[MAX_PATH * 2];
    const DWORD length = GetFullPathNameA("*", sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full)
        return std::string();
    std::string folder(full, length);
    const size_t slash = folder.find_last_of('\\');
    folder.erase(slash == std::string::npos ? 0 : slash);
    return folder;
}

namespace {

// Moves both strings in; a failure leaves neither.
void AppendEntry(AlbumList& paths, AlbumList& names, std::string path, std::string name)
{
    paths.push_back(std::move(path));
    try {
        names.push_back(std::move(name));
    } catch (...) {
        paths.pop_back();
        throw;
    }
}

}  // namespace

unsigned CAlbumFolderList::RunsOf(const WIN32_FIND_DATAW& data)
{
    return PassesOf(data.cFileName) | PassesOf(data.cAlternateFileName);
}

bool CAlbumFolderList::NarrowName(const wchar_t* name, std::string& text)
{
    return AppendNarrow(name, AreFileApisANSI() ? CP_ACP : CP_OEMCP, text);
}

bool CAlbumFolderList::List(AlbumList& paths, AlbumList& names, int (*runLengths)[ALBUM_RUNS])
{
    int lengths[ALBUM_RUNS] = {};
    const bool oneWalk = ListInOneWalk(paths, names, lengths);
    if (!oneWalk)
        ListPatternByPattern(paths, names, lengths);
    if (runLengths != nullptr)
        std::copy(std::begin(lengths), std::end(lengths), *runLengths);
    return oneWalk;
}

bool CAlbumFolderList::ListInOneWalk(AlbumList& paths, AlbumList& names, int (&runLengths)[ALBUM_RUNS])
{
    // The matching names one after another in one string, so that the walk
    // allocates next to nothing.
    struct Entry {
        size_t offset;
        size_t length;
        unsigned passes;
    };
    std::vector<Entry> entries;
    std::string text;
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(L"*", &data));
    if (!find.Valid())
        return true;  // nothing to list, and no pattern would find anything either
    // Names as the system's 8-bit search hands them out.
    const UINT codePage = AreFileApisANSI() ? CP_ACP : CP_OEMCP;
    do {
        const unsigned passes = RunsOf(data);
        if (passes & kUndecided)
            return false;
        if (passes == 0)
            continue;
        const size_t offset = text.size();
        if (!AppendNarrow(data.cFileName, codePage, text))
            return false;  // longer than an 8-bit name can be
        entries.push_back({offset, text.size() - offset, passes});
    } while (FindNextFileW(find.Get(), &data));

    const std::string folder = CurrentFolder();
    if (folder.empty())
        return false;
    for (int pass = 0; pass < kPasses; ++pass)
        for (const Entry& entry : entries) {
            if (!(entry.passes & (1u << pass)))
                continue;
            std::string path;
            path.reserve(folder.size() + 1 + entry.length);
            path.append(folder).append(1, '\\').append(text, entry.offset, entry.length);
            AppendEntry(paths, names, std::move(path), text.substr(entry.offset, entry.length));
            ++runLengths[pass];
        }
    return true;
}

void CAlbumFolderList::ListPatternByPattern(AlbumList& paths, AlbumList& names, int (&runLengths)[ALBUM_RUNS])
{
    for (int pass = 0; pass < kPasses; ++pass) {
        CFileFind finder;
        if (!finder.FindFile(kListPatterns[pass]))
            continue;
        while (finder.FindNextFile()) {
            AppendEntry(paths, names, finder.GetFilePath(), finder.GetFileName());
            ++runLengths[pass];
        }
    }
}
