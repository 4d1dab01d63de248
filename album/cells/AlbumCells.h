// The album's finished cells: the cache and the two workers that fill it.
// The view asks for the cells it paints and waits for each in turn; after
// a page it reads the next one ahead. See CellCache.h and CellWorkers.h.
#pragma once

#include <chrono>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "album/cells/CellBudget.h"
#include "album/cells/CellCache.h"
#include "album/cells/CellWorkers.h"
#include "album/cells/FinishedCell.h"

// Makes a cell from its file, on a worker (CFinishedCell::Prepare); a test
// puts a gate in front of it.
using CellPreparer = std::shared_ptr<const CFinishedCell> (*)(const CellKey& key);
extern CellPreparer g_pfnPrepareCell;

class CAlbumCells {
public:
    using Ptr = std::shared_ptr<const CFinishedCell>;

    // Until the view has a size, the budget of a 1024 x 768 screen.
    CAlbumCells()
        : m_viewBudget(CellBudgetFor({336, 205, 50}, {1024, 690, 6})),
          m_cache(m_viewBudget),
          m_workers(m_cache, [](const CellKey& key) { return g_pfnPrepareCell(key); })
    {
    }

    // The view's boxes changed with its size: the budget follows them.
    void FitBudgetTo(const CellBox& thumbnail, const CellBox& single)
    {
        m_viewBudget = CellBudgetFor(thumbnail, single);
        m_cache.SetBudget(CellBudgetBeside(m_viewBudget, m_heldWhole));
    }
    // A picture held whole for its zoom takes that many bytes of the
    // ceiling (0: none); cells beyond what is left go at once.
    void HoldWhole(std::size_t bytes)
    {
        if (bytes == m_heldWhole)
            return;
        m_heldWhole = bytes;
        m_cache.SetBudget(CellBudgetBeside(m_viewBudget, m_heldWhole));
    }

    void Need(const std::vector<CellKey>& keys) { m_workers.Need(keys); }
    Ptr Wait(const CellKey& key) { return m_workers.Wait(key); }
    void ReadAhead(const std::vector<CellKey>& keys) { m_workers.ReadAhead(keys); }
    void CancelReadAhead() { m_workers.CancelReadAhead(); }
    void RetainPaths(const std::set<std::string>& paths) { m_cache.RetainPaths(paths); }
    bool WaitIdle(std::chrono::milliseconds timeout) { return m_workers.WaitIdle(timeout); }
    std::size_t Bytes() const { return m_cache.Bytes(); }
    std::size_t Budget() const { return m_cache.Budget(); }
    bool Keeps(const std::string& path) const { return m_cache.Keeps(path); }
    unsigned Prepared() const { return m_workers.Prepared(); }

private:
    std::size_t m_viewBudget;
    std::size_t m_heldWhole = 0;
    CCellCache<CFinishedCell> m_cache;
    CCellWorkers<CFinishedCell> m_workers;     // after the cache: stops first
};
