// The system's save dialog over a filter string in the "name|pattern|...||"
// form. The object keeps the name buffer and the type choice between two
// DoModal calls, so the dialog shown again keeps the operator's entries.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

class CFileDialog {
public:
    // filter: pairs of "label|pattern|", ended by an extra "|".
    CFileDialog(const char* filter, int filterIndex);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when the operator confirmed a name, IDCANCEL otherwise. The
    // thread's main window owns the dialog.
    INT_PTR DoModal();

    // The full path chosen by the last confirmed dialog.
    std::string GetPathName() const;
    // The type choice, counted from 1 in filter order, as the dialog left it.
    int GetFilterIndex() const { return static_cast<int>(m_ofn.nFilterIndex); }
    // The extension a name typed without one gets (static text, no dot).
    void SetDefaultExtension(const char* extension) { m_ofn.lpstrDefExt = extension; }

    // The filter in the system's form: each "|" becomes a NUL.
    static std::vector<char> SystemFilter(const char* filter);

private:
    std::vector<char> m_filter;
    std::vector<char> m_fileName;
    OPENFILENAMEA m_ofn = {};
};
