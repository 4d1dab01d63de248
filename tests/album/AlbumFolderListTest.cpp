// The album's folder list, built in one walk, against the six pattern
// searches of the framework's finder that it replaces, on real folders
// whose names try the system's match: case, short names, hidden entries,
// folders, names outside ASCII, and the directory's own order.
#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "album/AlbumFolderList.h"
#include "framework/FileFind.h"
#include "tests/support/FileTree.h"

namespace {

using Listing = std::vector<std::pair<std::string, std::string>>;  // path, name

// With how many entries each pattern found: the runs of the list.
Listing SixPatternSearches(std::vector<int>* runLengths = nullptr)
{
    Listing found;
    for (const char* pattern : {"*.bmp", "*.GIF", "*.PCX", "*.TGA", "*.JPG", "*.TIF"}) {
        const size_t before = found.size();
        CFileFind finder;
        if (finder.FindFile(pattern))
            while (finder.FindNextFile())
                found.emplace_back(finder.GetFilePath(), finder.GetFileName());
        if (runLengths != nullptr)
            runLengths->push_back(static_cast<int>(found.size() - before));
    }
    return found;
}

Listing Listed(bool& oneWalk)
{
    AlbumList paths, names;
    int runLengths[ALBUM_RUNS] = {};
    oneWalk = CAlbumFolderList::List(paths, names, &runLengths);
    std::vector<int> expectedRuns;
    SixPatternSearches(&expectedRuns);
    EXPECT_EQ(expectedRuns, std::vector<int>(std::begin(runLengths), std::end(runLengths)));
    Listing listed;
    for (size_t i = 0; i < paths.size() && i < names.size(); ++i) listed.emplace_back(paths[i], names[i]);
    EXPECT_EQ(paths.size(), names.size());
    return listed;
}

void Touch(const std::string& folder, const std::wstring& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    const std::wstring path = std::wstring(folder.begin(), folder.end()) + L"\\" + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

}  // namespace

TEST(AlbumFolderList, OneWalkListsWhatTheSixPatternSearchesList)
{
    TempFolder folder;
    // Names made in a scrambled order, so that the directory's own order
    // is not the order of making.
    const wchar_t* const extensions[] = {L"jpg", L"BMP", L"gif", L"Tif", L"pcx", L"tga", L"txt", L"JPEG"};
    for (int i = 0; i < 160; ++i) {
        const int n = i * 37 % 160;
        Touch(folder.Path(), L"snap" + std::to_wstring(n) + L"." + extensions[n % 8]);
    }
    for (const wchar_t* name : {L"a.bmp", L"B.BMP", L"c.Bmp", L"a.bmpx", L"photo.jpeg", L"y.tiff",
                                L"longname_abcdefgh.jpgx", L"sp ace.bmp", L"snap.jpg.bak", L"readme.txt", L".bmp",
                                L"\u00fcn\u00ef.bmp", L"\u56fe\u7247.jpg", L"x.JPG", L"bmp", L"a.b.c.gif"})
        Touch(folder.Path(), name);
    Touch(folder.Path(), L"hidden.tga", FILE_ATTRIBUTE_HIDDEN);
    folder.MakeFolder("folder.jpg");
    SetCurrentDirectoryA(folder.Path().c_str());   // left again as the folder goes

    bool oneWalk = false;
    const Listing listed = Listed(oneWalk);
    EXPECT_TRUE(oneWalk);
    const Listing expected = SixPatternSearches();
    ASSERT_GT(expected.size(), 120u);
    EXPECT_EQ(listed, expected);

    // A name whose last characters are outside ASCII: the system's own
    // searches decide, and the list is still theirs.
    Touch(folder.Path(), L"full.\uff42mp");
    Touch(folder.Path(), L"t\u0131f.t\u0131f");
    const Listing exotic = Listed(oneWalk);
    EXPECT_FALSE(oneWalk);
    EXPECT_EQ(exotic, SixPatternSearches());
}
