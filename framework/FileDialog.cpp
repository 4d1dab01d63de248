#include "framework/FileDialog.h"


#include <cstring>

#include "framework/Thread.h"
#include "framework/Window.h"

namespace {
// Long paths are refused by the dialog itself rather than cut here.
const size_t kNameBufferSize = 32768;
}  // namespace

std::vector<char> CFileDialog::SystemFilter(const char* filter)
{
    std::vector<char> result(filter, filter + std::strlen(filter));
    for (char& c : result)
        if (c == '|')
            c = '\0';
    // The system's list ends with two NULs, whatever the caller wrote.
    result.push_back('\0');
    result.push_back('\0');
    return result;
}

CFileDialog::CFileDialog(const char* filter, int filterIndex)
    : m_filter(SystemFilter(filter)), m_fileName(kNameBufferSize, '\0')
{
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.lpstrFilter = m_filter.data();
    m_ofn.nFilterIndex = static_cast<DWORD>(filterIndex);
    m_ofn.lpstrFile = m_fileName.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_fileName.size());
    m_ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
}

INT_PTR CFileDialog::DoModal()
{
    CWinThread* thread = FwGetThread();
    m_ofn.hwndOwner = thread != nullptr && thread->m_pMainWnd != nullptr ? thread->m_pMainWnd->m_hWnd : nullptr;
    return GetSaveFileNameA(&m_ofn) ? IDOK : IDCANCEL;
}

std::string CFileDialog::GetPathName() const
{
    return m_fileName.data();
}
