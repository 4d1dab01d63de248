// What changed in a watched folder since it was last asked, name by name:
// each name's last state (there or gone), in the order the names first
// changed, which name a name was renamed from, and whether the record was
// lost (the system's own record overflowed, or more names changed than are
// kept): then only a new walk of the folder can tell.
//
// Pure logic: the watch's thread (FolderWatch.h) feeds it the system's
// notifications in the order they came.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

class CFolderChanges {
public:
    // More changed names than this between two updates of the album and
    // the record is given up for one walk of the folder: what is kept stays
    // bounded whatever the folder goes through.
    static constexpr size_t kMostNames = 20000;

    // The system's notifications (FILE_ACTION_ADDED to
    // FILE_ACTION_RENAMED_NEW_NAME).
    enum Action : unsigned { Added = 1, Removed = 2, Modified = 3, RenamedOld = 4, RenamedNew = 5 };

    struct Entry {
        std::wstring name;
        bool present = false;
        // Not empty: the name came by renaming this one, which is gone.
        std::wstring renamedFrom;
    };

    void Add(unsigned action, const std::wstring& name);
    // The record is lost; nothing more is kept until it is taken.
    void Lose();
    bool IsLost() const { return m_bLost; }
    bool Empty() const { return m_entries.empty() && !m_bLost; }
    const std::vector<Entry>& Entries() const { return m_entries; }

private:
    size_t IndexOf(const std::wstring& name);
    // The name is there again: a rename from it is no longer one.
    void ForgetRenamesFrom(const std::wstring& name);
    void Arrived(const std::wstring& name, const std::wstring& renamedFrom);
    void Went(const std::wstring& name);

    std::vector<Entry> m_entries;
    std::unordered_map<std::wstring, size_t> m_index;
    // Old name -> the entry renamed from it.
    std::unordered_map<std::wstring, size_t> m_renamedTo;
    // The old name of a rename whose new name is still to come, and the
    // name it was renamed from itself, if any (a -> b -> c is one rename).
    std::wstring m_strRenaming;
    bool m_bLost = false;
};
