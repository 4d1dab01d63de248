// Where the entries of the album's list stand, found without a walk of the
// list. The list is six runs, one per pattern in the order of the passes
// (BMP, GIF, PCX, TGA, JPG, TIF).
//
// Most folders list their names in name order (NTFS, and Wine's drives):
// there a name's place in each run is a binary search of the names
// themselves, and a picture that arrives takes its place by name, where a
// new walk of the folder would list it. Elsewhere (FAT lists in the order
// the names were made) a picture that arrives joins the end of its run;
// each entry then carries a stamp that grows along its run, and its name's
// hash leads to its run and stamp. Either way an arrival or a removal in a
// folder of 100,000 names compares a few strings, not 100,000.
//
// Names are matched as the file system matches them: without regard to
// case (an exact match is preferred where a drive keeps both).
//
// The stamps and hashes are made when a name is first looked for, not at
// the list build: a refresh costs what it did, and the first change after
// it pays once for the whole list.
//
// Pure logic: the album's state (AlbumState.h) keeps it beside its lists
// and tells it of every change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

constexpr int ALBUM_RUNS = 6;

// The album's names or paths, in list order. A deque: the oldest snapshot
// going, or a picture arriving at the end of the list or of its first run,
// moves none of the others.
using AlbumList = std::deque<std::string>;

// The file system's order of names: letters compared as capitals (so "_"
// comes after "z"), everything else by its code.
int CompareFileNames(const std::string& a, const std::string& b);
// A name as the file system tells names apart (equal for names that
// differ in case only).
std::string FileNameKey(const std::string& name);
inline bool SameFileName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && CompareFileNames(a, b) == 0;
}

class CAlbumListIndex {
public:
    // An empty list, which can be updated (and is in name order).
    void Clear();
    // After a list build: run r holds runLengths[r] entries of names, one
    // run after another. Names past the runs make the index unusable.
    void Build(const AlbumList& names, const int (&runLengths)[ALBUM_RUNS]);
    // The list holds an entry of no run (the chooser's stand-in for its
    // folder): unusable until the next build.
    void Invalidate();
    bool Valid() const { return m_bValid; }
    // Whether every run was listed in name order, and is kept so.
    bool NameOrder() const { return m_bNameOrder; }

    // Where a new entry of the run named name goes: its place by name in
    // a list in name order, else after the last one of its run.
    int PlaceFor(int run, const std::string& name, const AlbumList& names) const;
    int RunOf(int index) const;
    // An entry of the run was put at PlaceFor(run, ...) of names (already there).
    void Inserted(int run, int at, const AlbumList& names);
    // The list indices of the entries of that name, in list order: those of
    // exactly that name, else those that differ from it in case only.
    std::vector<int> Find(const std::string& name, const AlbumList& names) const;
    // The entry at index of names is about to leave the list.
    void Erasing(int index, const AlbumList& names);
    // The entry at index of names is about to be named newName.
    void Renaming(int index, const std::string& newName, const AlbumList& names);
    // Where the entry at index goes now that it was renamed: its new name's
    // place in a list in name order (the others keep theirs), else index.
    int PlaceOfRenamed(int index, const AlbumList& names) const;

private:
    struct Key {
        uint32_t stamp;
        int run;
    };
    int RunStart(int run) const;
    int EndOfRun(int run) const { return RunStart(run) + m_nRunLength[run]; }
    std::vector<int> FindAll(const std::string& name, const AlbumList& names) const;
    // Stamps and hashes for the names as they are now, if not made yet.
    void Stamp(const AlbumList& names) const;
    // The list index of the entry with that key, or -1.
    int IndexOf(const Key& key) const;
    void Forget(size_t hash, int index);

    mutable bool m_bValid = true;
    bool m_bNameOrder = true;
    int m_nRunLength[ALBUM_RUNS] = {};
    // Not in name order only: made when first needed (Stamp), kept up to
    // date from then on.
    mutable bool m_bStamped = false;
    mutable uint32_t m_nNextStamp[ALBUM_RUNS] = {};
    mutable std::deque<uint32_t> m_stamps;     // one per list entry
    mutable std::unordered_multimap<size_t, Key> m_byName;
};
