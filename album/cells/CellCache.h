// The finished cells the album keeps: each picture as a cell shows it after
// fitting and resampling, keyed so that it is never shown stale. The key
// holds the file's size and last write time as the window thread read them
// before painting, the box the picture was fitted into, and the screen
// depth it was prepared for; a file another program changed has another
// key and is prepared afresh.
//
// Memory is bounded twice: the album keeps only the cells around what it
// shows (RetainPaths), and a byte budget evicts the least recently used
// cells beyond it. Cells still being drawn are shared pointers and outlive
// their eviction. Safe to use from several threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <tuple>
#include <utility>

#include "album/cells/CellFit.h"

struct CellKey {
    std::string path;
    std::uint64_t fileSize = 0;
    std::uint64_t writeTime = 0;
    CellBox box = {0, 0, 0};
    int screenBits = 0;

    // The same cell of a picture, whatever the file's state.
    bool SamePlace(const CellKey& other) const
    {
        return path == other.path && box.width == other.box.width && box.height == other.box.height &&
               box.margin == other.box.margin && screenBits == other.screenBits;
    }
    bool operator<(const CellKey& o) const
    {
        return std::tie(path, fileSize, writeTime, box.width, box.height, box.margin, screenBits) <
               std::tie(o.path, o.fileSize, o.writeTime, o.box.width, o.box.height, o.box.margin, o.screenBits);
    }
    bool operator==(const CellKey& o) const { return !(*this < o) && !(o < *this); }
};

// Cell: anything with std::size_t Bytes() const.
template <class Cell>
class CCellCache {
public:
    using Ptr = std::shared_ptr<const Cell>;

    explicit CCellCache(std::size_t budgetBytes) : m_budget(budgetBytes) {}

    Ptr Find(const CellKey& key)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_cells.find(key);
        if (it == m_cells.end())
            return nullptr;
        it->second.lastUse = ++m_clock;
        return it->second.cell;
    }

    // Keeps a cell; an older state of the same place goes, as do the least
    // recently used cells beyond the budget.
    void Put(const CellKey& key, Ptr cell)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_cells.begin(); it != m_cells.end();)
            it = it->first.SamePlace(key) ? Erase(it) : std::next(it);
        const std::size_t bytes = cell->Bytes();
        m_cells[key] = Entry{std::move(cell), ++m_clock};    // may throw: nothing counted yet
        m_bytes += bytes;
        KeepWithinBudget();
    }

    // A new budget (the view changed size); cells beyond it go at once.
    void SetBudget(std::size_t budgetBytes)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_budget = budgetBytes;
        KeepWithinBudget();
    }
    std::size_t Budget() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_budget;
    }

    // Whether any cell of a picture is kept.
    bool Keeps(const std::string& path) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& entry : m_cells)
            if (entry.first.path == path)
                return true;
        return false;
    }

    // Forgets every cell of a picture not among paths.
    void RetainPaths(const std::set<std::string>& paths)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_cells.begin(); it != m_cells.end();)
            it = paths.count(it->first.path) == 0 ? Erase(it) : std::next(it);
    }

    void Clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cells.clear();
        m_bytes = 0;
    }

    std::size_t Bytes() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_bytes;
    }
    std::size_t Count() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_cells.size();
    }

private:
    struct Entry {
        Ptr cell;
        std::uint64_t lastUse;
    };
    using Map = std::map<CellKey, Entry>;

    typename Map::iterator Erase(typename Map::iterator it)
    {
        m_bytes -= it->second.cell->Bytes();
        return m_cells.erase(it);
    }
    void KeepWithinBudget()
    {
        while (m_bytes > m_budget && m_cells.size() > 1)
            Erase(LeastRecentlyUsed());
    }
    typename Map::iterator LeastRecentlyUsed()
    {
        auto oldest = m_cells.begin();
        for (auto it = m_cells.begin(); it != m_cells.end(); ++it)
            if (it->second.lastUse < oldest->second.lastUse)
                oldest = it;
        return oldest;
    }

    mutable std::mutex m_mutex;
    Map m_cells;
    std::size_t m_bytes = 0;
    std::size_t m_budget;
    std::uint64_t m_clock = 0;
};
