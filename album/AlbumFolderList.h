// The album's list of the current directory: every entry that the patterns
// "*.bmp", "*.GIF", "*.PCX", "*.TGA", "*.JPG" and "*.TIF" match, pattern by
// pattern in that order, each pattern's entries in the order the directory
// search yields them, as a path (the directory made absolute, a backslash
// and the name) and a name. The match is the system's: it ignores case, it
// also takes an entry whose short name matches (x.tiff, short X~1.TIF, is a
// TIF; x.jpeg, short X~1.JPE, is none), and it does not look at attributes
// (hidden entries and folders are listed too).
#pragma once

#include <functional>
#include <string>

class CAlbumFolderList {
public:
    using Append = std::function<void(const std::string& path, const std::string& name)>;

    // Calls append for each entry, in the list's order. One walk of the
    // directory finds them all; but where the last characters of a name
    // are not plain ASCII, how the system's case-insensitive match takes
    // them is its own affair, and the directory is then searched once per
    // pattern as it always was. Returns whether one walk did.
    static bool List(const Append& append);

private:
    static bool ListInOneWalk(const Append& append);
    static void ListPatternByPattern(const Append& append);
};
