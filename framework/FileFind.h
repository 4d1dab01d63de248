// Directory search yielding names and full paths of what a wildcard
// pattern matches, in the order in which the system returns them.
#pragma once

#include <windows.h>

#include <string>

class CFileFind {
public:
    CFileFind() = default;
    ~CFileFind() { Close(); }
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // Starts a search; false when nothing matches.
    bool FindFile(const char* pattern);
    // Moves to the next match; false when there is none.
    bool FindNextFile();
    std::string GetFileName() const { return m_data.cFileName; }
    // The folder of the pattern, made absolute, a backslash and the name.
    std::string GetFilePath() const;
    void Close();

private:
    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA m_data = {};
    std::string m_root;
    bool m_bStarted = false;
};
