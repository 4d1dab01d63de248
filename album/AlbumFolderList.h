// The album's list of the current directory: every entry that the patterns
// "*.bmp", "*.GIF", "*.PCX", "*.TGA", "*.JPG" and "*.TIF" match, pattern by
// pattern in that order, each pattern's entries in the order the directory
// search yields them, as a path (the directory made absolute, a backslash
// and the name) and a name. The match is the system's: it ignores case, it
// also takes an entry whose short name matches (x.tiff, short X~1.TIF, is a
// TIF; x.jpeg, short X~1.JPE, is none), and it does not look at attributes
// (hidden entries and folders are listed too).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "album/AlbumListIndex.h"

class CAlbumFolderList {
public:
    // Appends each entry's path and name to the two lists, in the list's
    // order; the lists stay the same length whatever fails. One walk of the
    // directory finds them all; but where the last characters of a name
    // are not plain ASCII, how the system's case-insensitive match takes
    // them is its own affair, and the directory is then searched once per
    // pattern as it always was. Returns whether one walk did. Given
    // runLengths, stores how many entries each pattern's run holds.
    static bool List(AlbumList& paths, AlbumList& names, int (*runLengths)[ALBUM_RUNS] = nullptr);

    // What the list makes of one entry as a wide search finds it: the runs
    // whose pattern its name or its short name matches, bit r for run r,
    // or kUndecided when only the system's own search can tell.
    static constexpr unsigned kUndecided = 1u << ALBUM_RUNS;
    static unsigned RunsOf(const WIN32_FIND_DATAW& data);
    // The name as the system's 8-bit search hands it out; false when it
    // cannot be.
    static bool NarrowName(const wchar_t* name, std::string& text);
    // The current directory made absolute, as the list's paths begin.
    static std::string CurrentFolder();

private:
    static bool ListInOneWalk(AlbumList& paths, AlbumList& names, int (&runLengths)[ALBUM_RUNS]);
    static void ListPatternByPattern(AlbumList& paths, AlbumList& names, int (&runLengths)[ALBUM_RUNS]);
};
