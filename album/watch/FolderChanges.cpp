#include "album/watch/FolderChanges.h"

size_t CFolderChanges::IndexOf(const std::wstring& name)
{
    const auto found = m_index.find(name);
    if (found != m_index.end())
        return found->second;
    m_entries.push_back(Entry{name, false, std::wstring()});
    m_index.emplace(name, m_entries.size() - 1);
    return m_entries.size() - 1;
}

void CFolderChanges::ForgetRenamesFrom(const std::wstring& name)
{
    const auto found = m_renamedTo.find(name);
    if (found == m_renamedTo.end())
        return;
    m_entries[found->second].renamedFrom.clear();
    m_renamedTo.erase(found);
}

void CFolderChanges::Arrived(const std::wstring& name, const std::wstring& renamedFrom)
{
    const size_t at = IndexOf(name);
    ForgetRenamesFrom(name);
    Entry& entry = m_entries[at];
    entry.present = true;
    // Renamed back to where it came from: the same name, there as before.
    if (!renamedFrom.empty() && renamedFrom != name) {
        if (!entry.renamedFrom.empty())
            m_renamedTo.erase(entry.renamedFrom);
        entry.renamedFrom = renamedFrom;
        m_renamedTo[renamedFrom] = at;
    }
}

void CFolderChanges::Went(const std::wstring& name)
{
    Entry& entry = m_entries[IndexOf(name)];
    entry.present = false;
    if (!entry.renamedFrom.empty()) {
        m_renamedTo.erase(entry.renamedFrom);
        entry.renamedFrom.clear();
    }
}

void CFolderChanges::Add(unsigned action, const std::wstring& name)
{
    if (m_bLost)
        return;
    if (m_index.find(name) == m_index.end() && m_entries.size() >= kMostNames) {
        Lose();
        return;
    }
    // A rename's old name is followed at once by its new one; anything
    // else means the new name was not in this folder.
    std::wstring renaming;
    renaming.swap(m_strRenaming);
    switch (action) {
    case RenamedOld: {
        const Entry& entry = m_entries[IndexOf(name)];
        m_strRenaming = entry.renamedFrom.empty() ? name : entry.renamedFrom;
        Went(name);
        break;
    }
    case RenamedNew:
        Arrived(name, renaming);
        break;
    case Removed:
        Went(name);
        break;
    case Added:
    case Modified:
        Arrived(name, std::wstring());
        break;
    default:
        break;
    }
}

void CFolderChanges::Lose()
{
    m_bLost = true;
    m_entries.clear();
    m_index.clear();
    m_renamedTo.clear();
    m_strRenaming.clear();
}
