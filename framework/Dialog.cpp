#include "framework/Dialog.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "framework/Module.h"
#include "framework/Thread.h"

namespace {
const char* const kDialogProperty = "FwDialogObject";
}

void DDX_Text(CDataExchange* dx, int id, std::string& value)
{
    HWND control = dx->Control(id);
    if (dx->m_bSaveAndValidate) {
        int length = GetWindowTextLengthA(control);
        std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
        GetWindowTextA(control, text.data(), length + 1);
        value.assign(text.data());
    } else {
        SetWindowTextA(control, value.c_str());
    }
}

void DDX_Control(CDataExchange* dx, int id, CComboBox& control)
{
    if (control.m_hWnd == nullptr)
        control.m_hWnd = dx->Control(id);
}

void DDX_DateTimeCtrl(CDataExchange* dx, int id, CDate& value)
{
    HWND control = dx->Control(id);
    if (dx->m_bSaveAndValidate) {
        SYSTEMTIME st = {};
        if (SendMessageA(control, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) == GDT_VALID)
            value = CDate::FromSystemTime(st);
    } else {
        SYSTEMTIME st = value.ToSystemTime();
        SendMessageA(control, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    }
}

INT_PTR CDialog::DoModal()
{
    HWND owner = m_hParent;
    if (owner == nullptr) {
        CWinThread* thread = FwGetThread();
        if (thread != nullptr && thread->m_pMainWnd != nullptr)
            owner = thread->m_pMainWnd->m_hWnd;
    }
    // A Unicode dialog: the template's texts reach the controls whole,
    // whatever the code page (the rename buttons read 确定 everywhere).
    return DialogBoxParamW(FwModule(), MAKEINTRESOURCEW(m_nIDTemplate), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::UpdateData(BOOL save)
{
    CDataExchange dx(m_hWnd, save != FALSE);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CDialog* self = static_cast<CDialog*>(GetPropA(dlg, kDialogProperty));
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        self->m_hWnd = dlg;
        SetPropA(dlg, kDialogProperty, self);
    }
    if (self == nullptr)
        return FALSE;
    INT_PTR result = FALSE;
    try {
        result = self->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's dialog manager.
        result = FALSE;
    }
    if (msg == WM_NCDESTROY) {
        RemovePropA(dlg, kDialogProperty);
        self->m_hWnd = nullptr;
    }
    return result;
}

INT_PTR CDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND: {
        WORD id = LOWORD(wParam), code = HIWORD(wParam);
        if (OnCommand(id, code))
            return TRUE;
        if (id == IDOK && code == BN_CLICKED) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL && code == BN_CLICKED) {
            OnCancel();
            return TRUE;
        }
        return FALSE;
    }
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(reinterpret_cast<NMHDR*>(lParam), &result)) {
            SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

int CComboBox::InsertString(int index, const char* text)
{
    return static_cast<int>(SendMessageA(m_hWnd, CB_INSERTSTRING, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(text)));
}

int CComboBox::SetItemData(int index, DWORD_PTR data)
{
    return static_cast<int>(SendMessageA(m_hWnd, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
}

DWORD_PTR CComboBox::GetItemData(int index) const
{
    return static_cast<DWORD_PTR>(SendMessageA(m_hWnd, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

int CComboBox::GetCount() const
{
    return static_cast<int>(SendMessageA(m_hWnd, CB_GETCOUNT, 0, 0));
}

int CComboBox::GetCurSel() const
{
    return static_cast<int>(SendMessageA(m_hWnd, CB_GETCURSEL, 0, 0));
}

int CComboBox::SetCurSel(int index)
{
    return static_cast<int>(SendMessageA(m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0));
}

std::string CComboBox::GetLBText(int index) const
{
    LRESULT length = SendMessageA(m_hWnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return std::string();
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(m_hWnd, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

bool CDate::SetDate(int year, int month, int day)
{
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    FILETIME ft;
    m_valid = year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= 31 &&
              SystemTimeToFileTime(&st, &ft);
    if (m_valid) {
        m_year = year;
        m_month = month;
        m_day = day;
    }
    return m_valid;
}

SYSTEMTIME CDate::ToSystemTime() const
{
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(m_year);
    st.wMonth = static_cast<WORD>(m_month);
    st.wDay = static_cast<WORD>(m_day);
    return st;
}

CDate CDate::FromSystemTime(const SYSTEMTIME& st)
{
    return CDate(st.wYear, st.wMonth, st.wDay);
}
