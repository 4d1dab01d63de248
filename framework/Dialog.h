// Modal dialogs from templates of the module, with data exchange between
// controls and members.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Window.h"

class CComboBox;
class CDate;

// One direction of one exchange: controls to members (save) or members to
// controls.
class CDataExchange {
public:
    CDataExchange(HWND dialog, bool save) : m_hDlg(dialog), m_bSaveAndValidate(save) {}
    HWND Control(int id) const { return GetDlgItem(m_hDlg, id); }

    HWND m_hDlg;
    bool m_bSaveAndValidate;
};

// The text of a control and a string member, with no length limit.
void DDX_Text(CDataExchange* dx, int id, std::string& value);
// Binds a control window to a control object (once).
void DDX_Control(CDataExchange* dx, int id, CComboBox& control);
// The date of a date-time picker and a date member.
void DDX_DateTimeCtrl(CDataExchange* dx, int id, CDate& value);

class CDialog {
public:
    CDialog(UINT templateId, HWND parent) : m_nIDTemplate(templateId), m_hParent(parent) {}
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally; its end code, or -1 when it could not be
    // shown. Without a parent the thread's main window owns it (and is
    // disabled meanwhile).
    INT_PTR DoModal();
    // Moves data between controls and members; false if that failed.
    BOOL UpdateData(BOOL save = TRUE);
    void EndDialog(INT_PTR result) { ::EndDialog(m_hWnd, result); }

    HWND m_hWnd = nullptr;

protected:
    virtual void DoDataExchange(CDataExchange*) {}
    // Default: members to controls; TRUE lets the system set the focus.
    virtual BOOL OnInitDialog();
    // Default: controls to members, then the dialog ends with IDOK.
    virtual void OnOK();
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // A control's command or notification; true when handled.
    virtual bool OnCommand(WORD id, WORD code) { return false; }
    virtual bool OnNotify(NMHDR* header, LRESULT* result) { return false; }

private:
    static INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    HWND m_hParent;
};

// A combo box control bound to a dialog's control.
class CComboBox {
public:
    HWND m_hWnd = nullptr;
    int InsertString(int index, const char* text);
    int SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const;
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    std::string GetLBText(int index) const;
};

// A calendar date (time of day midnight) with validity, as a date-time
// picker shows it.
class CDate {
public:
    CDate() = default;
    CDate(int year, int month, int day) { SetDate(year, month, day); }
    bool SetDate(int year, int month, int day);
    int GetYear() const { return m_year; }
    int GetMonth() const { return m_month; }
    int GetDay() const { return m_day; }
    bool IsValid() const { return m_valid; }
    SYSTEMTIME ToSystemTime() const;
    static CDate FromSystemTime(const SYSTEMTIME& st);

private:
    // The default value: 30 December 1899, valid, as the classic date type
    // counts its day zero.
    int m_year = 1899, m_month = 12, m_day = 30;
    bool m_valid = true;
};
