#include "framework/FileFind.h"

bool CFileFind::FindFile(const char* pattern)
{
    Close();
    char full[MAX_PATH * 2];
    char* namePart = nullptr;
    DWORD n = GetFullPathNameA(pattern, sizeof full, full, &namePart);
    if (n == 0 || n >= sizeof full)
        return false;
    m_root.assign(full);
    size_t slash = m_root.find_last_of('\\');
    m_root.erase(slash == std::string::npos ? 0 : slash);
    m_hFind = FindFirstFileA(pattern, &m_data);
    m_bStarted = false;
    return m_hFind != INVALID_HANDLE_VALUE;
}

bool CFileFind::FindNextFile()
{
    if (m_hFind == INVALID_HANDLE_VALUE)
        return false;
    // The first call reports the entry FindFirstFile found.
    if (!m_bStarted) {
        m_bStarted = true;
        return true;
    }
    return ::FindNextFileA(m_hFind, &m_data) != 0;
}

std::string CFileFind::GetFilePath() const
{
    return m_root + "\\" + m_data.cFileName;
}

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE)
        FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
}
