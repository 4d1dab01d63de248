#include "album/AlbumListIndex.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <limits>

namespace {

size_t HashOf(const std::string& name)
{
    return std::hash<std::string>()(name);
}

}  // namespace

void CAlbumListIndex::Clear()
{
    m_bValid = true;
    std::fill(std::begin(m_nRunLength), std::end(m_nRunLength), 0);
    std::fill(std::begin(m_nNextStamp), std::end(m_nNextStamp), 0u);
    m_stamps.clear();
    m_byName.clear();
    m_bStamped = true;      // an empty list has all its stamps
}

void CAlbumListIndex::Invalidate()
{
    Clear();
    m_bValid = false;
}

void CAlbumListIndex::Build(const AlbumList& names, const int (&runLengths)[ALBUM_RUNS])
{
    Clear();
    size_t total = 0;
    for (int length : runLengths)
        total += static_cast<size_t>(std::max(length, 0));
    if (total != names.size()) {
        Invalidate();
        return;
    }
    std::copy(std::begin(runLengths), std::end(runLengths), m_nRunLength);
    m_bStamped = names.empty();
}

void CAlbumListIndex::Stamp(const AlbumList& names) const
{
    if (m_bStamped || !m_bValid)
        return;
    try {
        m_byName.reserve(names.size());
        size_t at = 0;
        for (int run = 0; run < ALBUM_RUNS; ++run) {
            m_nNextStamp[run] = 0;
            for (int i = 0; i < m_nRunLength[run]; ++i, ++at) {
                const uint32_t stamp = m_nNextStamp[run]++;
                m_stamps.push_back(stamp);
                m_byName.emplace(HashOf(names[at]), Key{stamp, run});
            }
        }
        m_bStamped = true;
    } catch (...) {
        // Without memory for the index every change is a walk of the folder.
        m_stamps.clear();
        m_byName.clear();
        m_bValid = false;
    }
}

int CAlbumListIndex::RunStart(int run) const
{
    int start = 0;
    for (int r = 0; r < run; ++r)
        start += m_nRunLength[r];
    return start;
}

int CAlbumListIndex::EndOfRun(int run) const
{
    return RunStart(run) + m_nRunLength[run];
}

int CAlbumListIndex::RunOf(int index) const
{
    int end = 0;
    for (int run = 0; run < ALBUM_RUNS; ++run) {
        end += m_nRunLength[run];
        if (index < end)
            return run;
    }
    return -1;
}

void CAlbumListIndex::Inserted(int run, const AlbumList& names)
{
    if (!m_bValid)
        return;
    const int at = EndOfRun(run);
    ++m_nRunLength[run];
    if (!m_bStamped)
        return;     // stamped with the rest when first needed
    // Four thousand million arrivals into one list without a new build: the
    // whole list is stamped afresh.
    if (m_nNextStamp[run] == std::numeric_limits<uint32_t>::max()) {
        m_stamps.clear();
        m_byName.clear();
        m_bStamped = false;
        return;
    }
    try {
        const uint32_t stamp = m_nNextStamp[run]++;
        m_stamps.insert(m_stamps.begin() + at, stamp);
        m_byName.emplace(HashOf(names[static_cast<size_t>(at)]), Key{stamp, run});
    } catch (...) {
        Invalidate();
    }
}

int CAlbumListIndex::IndexOf(const Key& key) const
{
    const auto begin = m_stamps.begin() + RunStart(key.run);
    const auto end = begin + m_nRunLength[key.run];
    const auto found = std::lower_bound(begin, end, key.stamp);
    if (found == end || *found != key.stamp)
        return -1;
    return static_cast<int>(found - m_stamps.begin());
}

std::vector<int> CAlbumListIndex::Find(const std::string& name, const AlbumList& names) const
{
    std::vector<int> indices;
    Stamp(names);
    if (!m_bValid)
        return indices;
    const auto range = m_byName.equal_range(HashOf(name));
    for (auto it = range.first; it != range.second; ++it) {
        const int index = IndexOf(it->second);
        // Another name of the same hash is told apart here.
        if (index >= 0 && names[static_cast<size_t>(index)] == name)
            indices.push_back(index);
    }
    std::sort(indices.begin(), indices.end());
    return indices;
}

void CAlbumListIndex::Forget(size_t hash, int index)
{
    const Key key{m_stamps[static_cast<size_t>(index)], RunOf(index)};
    const auto range = m_byName.equal_range(hash);
    for (auto it = range.first; it != range.second; ++it)
        if (it->second.stamp == key.stamp && it->second.run == key.run) {
            m_byName.erase(it);
            return;
        }
}

void CAlbumListIndex::Erasing(int index, const AlbumList& names)
{
    if (!m_bValid)
        return;
    const int run = RunOf(index);
    if (run < 0) {
        Invalidate();
        return;
    }
    if (m_bStamped) {
        Forget(HashOf(names[static_cast<size_t>(index)]), index);
        m_stamps.erase(m_stamps.begin() + index);
    }
    --m_nRunLength[run];
}

void CAlbumListIndex::Renaming(int index, const std::string& newName, const AlbumList& names)
{
    if (!m_bValid || !m_bStamped)
        return;
    const int run = RunOf(index);
    if (run < 0) {
        Invalidate();
        return;
    }
    Forget(HashOf(names[static_cast<size_t>(index)]), index);
    try {
        m_byName.emplace(HashOf(newName), Key{m_stamps[static_cast<size_t>(index)], run});
    } catch (...) {
        Invalidate();
    }
}
