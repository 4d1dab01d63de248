// The album's finished cells: the cache and the two workers that fill it.
// The view asks for the cells it paints and waits for each in turn; after
// a page it reads the next one ahead. See CellCache.h and CellWorkers.h.
#pragma once

#include <chrono>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "album/cells/CellCache.h"
#include "album/cells/CellWorkers.h"
#include "album/cells/FinishedCell.h"

class CAlbumCells {
public:
    using Ptr = std::shared_ptr<const CFinishedCell>;

    // At most this much picture memory is kept. What the album keeps (three
    // pages of thumbnails and three single pictures) takes 13 MB at most on
    // a 1024 x 768 screen; on larger screens the least recently used cells
    // go first.
    static constexpr std::size_t kBudgetBytes = 32u * 1024 * 1024;

    CAlbumCells() : m_cache(kBudgetBytes), m_workers(m_cache, &CFinishedCell::Prepare) {}

    void Need(const std::vector<CellKey>& keys) { m_workers.Need(keys); }
    Ptr Wait(const CellKey& key) { return m_workers.Wait(key); }
    void ReadAhead(const std::vector<CellKey>& keys) { m_workers.ReadAhead(keys); }
    void CancelReadAhead() { m_workers.CancelReadAhead(); }
    void RetainPaths(const std::set<std::string>& paths) { m_cache.RetainPaths(paths); }
    bool WaitIdle(std::chrono::milliseconds timeout) { return m_workers.WaitIdle(timeout); }
    std::size_t Bytes() const { return m_cache.Bytes(); }
    unsigned Prepared() const { return m_workers.Prepared(); }

private:
    CCellCache<CFinishedCell> m_cache;
    CCellWorkers<CFinishedCell> m_workers;     // after the cache: stops first
};
