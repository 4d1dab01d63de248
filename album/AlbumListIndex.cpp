#include "album/AlbumListIndex.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <limits>

namespace {

unsigned char Folded(char c)
{
    return static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
}

// Names that differ in case only share a hash.
size_t HashOf(const std::string& name)
{
    return std::hash<std::string>()(FileNameKey(name));
}

}  // namespace

std::string FileNameKey(const std::string& name)
{
    std::string folded(name);
    for (char& c : folded)
        c = static_cast<char>(Folded(c));
    return folded;
}

int CompareFileNames(const std::string& a, const std::string& b)
{
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const unsigned char x = Folded(a[i]), y = Folded(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

void CAlbumListIndex::Clear()
{
    m_bValid = true;
    m_bNameOrder = true;
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
    m_bNameOrder = false;
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
    for (int run = 0; run < ALBUM_RUNS && m_bNameOrder; ++run) {
        const auto begin = names.begin() + RunStart(run);
        const auto end = begin + m_nRunLength[run];
        m_bNameOrder = std::is_sorted(begin, end, [](const std::string& a, const std::string& b) {
            return CompareFileNames(a, b) < 0;
        });
    }
    m_bStamped = m_bNameOrder || names.empty();
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

int CAlbumListIndex::PlaceFor(int run, const std::string& name, const AlbumList& names) const
{
    if (!m_bNameOrder)
        return EndOfRun(run);
    const auto begin = names.begin() + RunStart(run);
    const auto end = begin + m_nRunLength[run];
    const auto place = std::upper_bound(begin, end, name, [](const std::string& a, const std::string& b) {
        return CompareFileNames(a, b) < 0;
    });
    return static_cast<int>(place - names.begin());
}

int CAlbumListIndex::PlaceOfRenamed(int index, const AlbumList& names) const
{
    if (!m_bValid || !m_bNameOrder)
        return index;
    const int run = RunOf(index);
    const auto begin = names.begin() + RunStart(run);
    const auto end = begin + m_nRunLength[run];
    const auto at = names.begin() + index;
    const auto less = [](const std::string& a, const std::string& b) { return CompareFileNames(a, b) < 0; };
    if (at != begin && less(*at, *(at - 1)))
        return static_cast<int>(std::upper_bound(begin, at, *at, less) - names.begin());
    if (at + 1 != end && less(*(at + 1), *at))
        return static_cast<int>(std::upper_bound(at + 1, end, *at, less) - names.begin()) - 1;
    return index;
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

void CAlbumListIndex::Inserted(int run, int at, const AlbumList& names)
{
    if (!m_bValid)
        return;
    ++m_nRunLength[run];
    if (m_bNameOrder || !m_bStamped)
        return;     // no stamps, or stamped with the rest when first needed
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

std::vector<int> CAlbumListIndex::FindAll(const std::string& name, const AlbumList& names) const
{
    std::vector<int> indices;
    if (m_bNameOrder) {
        const auto less = [](const std::string& a, const std::string& b) { return CompareFileNames(a, b) < 0; };
        for (int run = 0; run < ALBUM_RUNS; ++run) {
            const auto begin = names.begin() + RunStart(run);
            const auto range = std::equal_range(begin, begin + m_nRunLength[run], name, less);
            for (auto it = range.first; it != range.second; ++it)
                indices.push_back(static_cast<int>(it - names.begin()));
        }
        return indices;
    }
    Stamp(names);
    if (!m_bValid)
        return indices;
    const auto range = m_byName.equal_range(HashOf(name));
    for (auto it = range.first; it != range.second; ++it) {
        const int index = IndexOf(it->second);
        // Another name of the same hash is told apart here.
        if (index >= 0 && SameFileName(names[static_cast<size_t>(index)], name))
            indices.push_back(index);
    }
    std::sort(indices.begin(), indices.end());
    return indices;
}

std::vector<int> CAlbumListIndex::Find(const std::string& name, const AlbumList& names) const
{
    std::vector<int> indices = FindAll(name, names);
    std::vector<int> exact;
    for (int index : indices)
        if (names[static_cast<size_t>(index)] == name)
            exact.push_back(index);
    return exact.empty() ? indices : exact;
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
    if (!m_bNameOrder && m_bStamped) {
        Forget(HashOf(names[static_cast<size_t>(index)]), index);
        m_stamps.erase(m_stamps.begin() + index);
    }
    --m_nRunLength[run];
}

void CAlbumListIndex::Renaming(int index, const std::string& newName, const AlbumList& names)
{
    if (!m_bValid)
        return;
    const int run = RunOf(index);
    if (run < 0) {
        Invalidate();
        return;
    }
    // In name order the state moves the entry (PlaceOfRenamed).
    if (m_bNameOrder)
        return;
    if (!m_bStamped)
        return;
    Forget(HashOf(names[static_cast<size_t>(index)]), index);
    try {
        m_byName.emplace(HashOf(newName), Key{m_stamps[static_cast<size_t>(index)], run});
    } catch (...) {
        Invalidate();
    }
}
