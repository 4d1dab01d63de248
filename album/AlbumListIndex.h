// Where the entries of the album's list stand, found without a walk of the
// list. The list is six runs, one per pattern in the order of the passes
// (BMP, GIF, PCX, TGA, JPG, TIF); a picture that arrives joins the end of
// its run. Each entry carries a stamp that grows along its run, and its
// name's hash leads to its run and stamp: a name's place is then a binary
// search of one run. So an arrival or a removal in a folder of 100,000
// names compares a few strings, not 100,000.
//
// Pure logic: the album's state (AlbumState.h) keeps it beside its lists
// and tells it of every change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

constexpr int ALBUM_RUNS = 6;

class CAlbumListIndex {
public:
    // An empty list, which can be updated.
    void Clear();
    // After a list build: run r holds runLengths[r] entries of names, one
    // run after another. Names past the runs make the index unusable.
    void Build(const std::vector<std::string>& names, const int (&runLengths)[ALBUM_RUNS]);
    // The list holds an entry of no run (the chooser's stand-in for its
    // folder): unusable until the next build.
    void Invalidate();
    bool Valid() const { return m_bValid; }

    // Where a new entry of the run goes: after the last one of its run.
    int EndOfRun(int run) const;
    int RunOf(int index) const;
    // An entry of the run was put at EndOfRun(run) of names (already there).
    void Inserted(int run, const std::vector<std::string>& names);
    // The list indices of the entries of that name, one per run, in list order.
    std::vector<int> Find(const std::string& name, const std::vector<std::string>& names) const;
    // The entry at index, named name, is about to leave the list.
    void Erasing(int index, const std::string& name);
    // The entry at index changes its name from oldName to newName.
    void Renaming(int index, const std::string& oldName, const std::string& newName);

private:
    struct Key {
        uint32_t stamp;
        int run;
    };
    int RunStart(int run) const;
    // The list index of the entry with that key, or -1.
    int IndexOf(const Key& key) const;
    void Forget(size_t hash, int index);

    bool m_bValid = true;
    int m_nRunLength[ALBUM_RUNS] = {};
    uint32_t m_nNextStamp[ALBUM_RUNS] = {};
    std::vector<uint32_t> m_stamps;     // one per list entry
    std::unordered_multimap<size_t, Key> m_byName;
};
