// The album's list of the current directory: every entry that the patterns
// "*.bmp", "*.GIF", "*.PCX", "*.TGA", "*.JPG" and "*.TIF" match, pattern by
// pattern in that order, each pattern's entries in the order the directory
// search yields them, as a path (the directory made absolute, a backslash
// and the name) and a name. The match is the system's: it ignores case, it
// also takes an entry whose short name matches (x.tiff, short X~1.TIF, is a
// TIF; x.jpeg, short X~1.JPE, is none), and it does not look at attributes
// (hidden entries and folders are listed too).
#pragma once

#include <string>
#include <vector>

class CAlbumFolderList {
public:
    // Appends each entry's path and name to the two lists, in the list's
    // order; the lists stay the same length whatever fails. One walk of the
    // directory finds them all; but where the last characters of a name
    // are not plain ASCII, how the system's case-insensitive match takes
    // them is its own affair, and the directory is then searched once per
    // pattern as it always was. Returns whether one walk did.
    static bool List(std::vector<std::string>& paths, std::vector<std::string>& names);

private:
    static bool ListInOneWalk(std::vector<std::string>& paths, std::vector<std::string>& names);
    static void ListPatternByPattern(std::vector<std::string>& paths, std::vector<std::string>& names);
};
