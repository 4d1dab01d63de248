// The album follows its folder while the browser is open: a watch of the
// folder the list was built from (album/watch) tells the view what changed,
// and the album's rules (CAlbumState::ApplyFolderChanges) update the list
// change by change, without a walk of the folder. Only names that the
// notifications say are there are looked up, with one exact search each,
// which also gives the short name (x.tiff is a TIF by its short name) and
// the name as listed (a notice may give the short name); a name that is
// gone is not: Wine looks for a name it cannot find in exact case in the
// whole folder (170 ms in one of 100,000 names). One gone under a short
// name that no entry bears is found by a walk that keeps the place.
#include <windows.h>

#include <cwchar>

#include "album/AlbumFolderList.h"
#include "album/AlbumView.h"
#include "res/resource.h"

int g_nFolderChangeBufferBytes = 64 * 1024;

namespace {

// The runs a name of the folder belongs in now (0 when it is not there),
// and the name as the folder's listing has it: a notice may name a file
// by its short name or in another case.
unsigned RunsNow(const std::wstring& folder, const std::wstring& name, std::wstring* listedName)
{
    *listedName = name;
    // Wildcards in a name (from a Unix program) would make the search a
    // pattern: the system's own searches decide then.
    if (name.find_first_of(L"*?") != std::wstring::npos)
        return CAlbumFolderList::kUndecided;
    WIN32_FIND_DATAW data;
    const wchar_t* separator = !folder.empty() && folder.back() == L'\\' ? L"" : L"\\";
    HANDLE find = FindFirstFileW((folder + separator + name).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(find);
    if (std::wcscmp(data.cFileName, name.c_str()) != 0) {
        // Found by its short name, or in another case: the same file. A
        // drive that tells case apart may hold this name as another file.
        if (lstrcmpiW(data.cFileName, name.c_str()) != 0 && lstrcmpiW(data.cAlternateFileName, name.c_str()) != 0)
            return 0;
        *listedName = data.cFileName;
    }
    return CAlbumFolderList::RunsOf(data);
}

// Makes a folder current for a while and the previous one current again:
// while a dialog of the view is open, the current directory may be
// another than the album's.
class FolderEntered {
public:
    explicit FolderEntered(const std::wstring& folder)
    {
        const DWORD length = GetCurrentDirectoryW(MAX_PATH, m_saved);
        m_bSaved = length > 0 && length < MAX_PATH;
        m_bEntered = m_bSaved && SetCurrentDirectoryW(folder.c_str()) != FALSE;
    }
    ~FolderEntered()
    {
        if (m_bEntered)
            SetCurrentDirectoryW(m_saved);
    }
    FolderEntered(const FolderEntered&) = delete;
    FolderEntered& operator=(const FolderEntered&) = delete;
    bool Entered() const { return m_bEntered; }

private:
    wchar_t m_saved[MAX_PATH] = L"";
    bool m_bSaved = false;
    bool m_bEntered = false;
};

}  // namespace

void CAlbumView::WatchCurrentFolder()
{
    wchar_t folder[MAX_PATH];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) {
        m_watch.Stop();
        return;
    }
    if (m_watch.Watching() && m_watch.Folder() == folder)
        return;
    // A folder that cannot be watched (gone, or on a system that tells
    // nothing) leaves the album as its refresh built it.
    m_watch.Start(folder, m_hWnd, UM_FOLDER_CHANGED, static_cast<DWORD>(g_nFolderChangeBufferBytes));
}

bool CAlbumView::ResolveChanges(const CFolderChanges& changes, std::vector<FolderChange>* resolved) const
{
    resolved->reserve(changes.Entries().size());
    for (const CFolderChanges::Entry& entry : changes.Entries()) {
        FolderChange change;
        std::wstring listedName = entry.name;
        change.runs = entry.present ? RunsNow(m_watch.Folder(), entry.name, &listedName) : 0;
        if (change.runs & CAlbumFolderList::kUndecided)
            return false;
        if (!CAlbumFolderList::NarrowName(listedName.c_str(), change.name))
            return false;
        if (!entry.renamedFrom.empty() && !CAlbumFolderList::NarrowName(entry.renamedFrom.c_str(), change.renamedFrom))
            return false;
        resolved->push_back(std::move(change));
    }
    return !NeedsWalk(*resolved);
}

void CAlbumView::RebuildKeepingPlace()
{
    AlbumList paths, names;
    int runLengths[ALBUM_RUNS] = {};
    {
        FolderEntered entered(m_watch.Folder());
        // A folder that cannot be entered any more has nothing to show.
        if (entered.Entered())
            CAlbumFolderList::List(paths, names, &runLengths);
    }
    ReplaceListKeepingPlace(std::move(paths), std::move(names), runLengths);
}

void CAlbumView::OnFolderChanged()
{
    const CFolderChanges changes = m_watch.Take();
    // The chooser's stand-in for its folder is shown until the list is
    // built from that folder.
    if (changes.Empty() || !FollowsChanges())
        return;
    ++m_nFolderUpdates;
    std::vector<FolderChange> resolved;
    bool shownChanged = true;
    if (changes.IsLost() || !ResolveChanges(changes, &resolved))
        RebuildKeepingPlace();
    else
        shownChanged = ApplyFolderChanges(resolved, m_strListFolder);
    if (shownChanged)
        Invalidate(TRUE);
}
