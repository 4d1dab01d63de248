// The pictures the operator marked, by path: a mark stays with its file
// while the list around it changes (paging, modes, automatic browse, the
// folder's own changes) and goes with it when the file leaves the list.
#pragma once

#include <set>
#include <string>

class CAlbumMarks {
public:
    bool Has(const std::string& path) const { return m_paths.count(path) != 0; }
    int Count() const { return static_cast<int>(m_paths.size()); }
    bool Empty() const { return m_paths.empty(); }

    void Set(const std::string& path, bool marked)
    {
        if (marked)
            m_paths.insert(path);
        else
            m_paths.erase(path);
    }
    void Toggle(const std::string& path) { Set(path, !Has(path)); }
    // A renamed file keeps its mark under its new path.
    void Rename(const std::string& from, const std::string& to)
    {
        if (m_paths.erase(from) != 0)
            m_paths.insert(to);
    }
    void Erase(const std::string& path) { m_paths.erase(path); }
    bool Clear()
    {
        const bool had = !m_paths.empty();
        m_paths.clear();
        return had;
    }
    // Only the marks of the given paths stay (a list built anew).
    template <class Paths>
    void KeepOnly(const Paths& listed)
    {
        if (m_paths.empty())
            return;
        std::set<std::string> kept;
        for (const std::string& path : listed)
            if (m_paths.count(path) != 0)
                kept.insert(path);
        m_paths.swap(kept);
    }

private:
    std::set<std::string> m_paths;
};
