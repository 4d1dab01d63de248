#include "archive/AlbumDateDlg.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "archive/ArchiveDisks.h"
#include "bridge/ModuleGlobals.h"
#include "res/resource.h"

namespace {

constexpr int kScreenX = 777;
constexpr int kScreenY = 22;

bool AllChannelsMode()
{
    return g_bAllChannels != 0;
}

// The album view's window, the frame's first pane; null when the frame made
// no view, and the chooser then leaves the album alone.
HWND AlbumViewWindow(HWND chooser)
{
    if (g_pAlbumView == nullptr)
        return nullptr;
    return GetDlgItem(GetWindow(chooser, GW_OWNER), AFX_IDW_PANE_FIRST);
}

// Moves the album to the folder (the current directory already): the view
// shows it as its current entry and lists it again, in single mode only
// when asked to.
void ShowInView(HWND view, const std::string& folder, bool refreshInSingleMode)
{
    SendMessageA(view, UM_SHOW_DAY_FOLDER, refreshInSingleMode ? 1 : 0, reinterpret_cast<LPARAM>(folder.c_str()));
}

}  // namespace

CAlbumDateDlg::CAlbumDateDlg(HWND parent) : CDialog(IDD_DATE_CAMERA, parent) {}

void CAlbumDateDlg::DoDataExchange(CDataExchange* dx)
{
    DDX_Control(dx, IDC_CAMERA, m_cbCamera);
    DDX_DateTimeCtrl(dx, IDC_DATE, m_date);
}

BOOL CAlbumDateDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowPos(m_hWnd, nullptr, kScreenX, kScreenY, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);

    SYSTEMTIME now;
    GetLocalTime(&now);
    m_date.SetDate(now.wYear, now.wMonth, now.wDay);
    UpdateData(FALSE);
    m_nYear = m_date.GetYear();
    m_nMonth = m_date.GetMonth();
    m_nDay = m_date.GetDay();

    FillCameraList();
    if (AllChannelsMode()) {
        m_nChannel = 0;
        m_bHaveChannel = true;
    } else {
        int entry = SelectedEntry();
        m_bHaveChannel = entry >= 0;
        m_nChannel = m_bHaveChannel ? ChannelOfEntry(entry) : 0;
    }
    return TRUE;
}

bool CAlbumDateDlg::OnCommand(WORD id, WORD code)
{
    if (id == IDC_CAMERA && code == CBN_SELCHANGE) {
        OnSelchangeCamera();
        return true;
    }
    return false;
}

bool CAlbumDateDlg::OnNotify(NMHDR* header, LRESULT* result)
{
    if (header->idFrom == IDC_DATE && header->code == DTN_CLOSEUP) {
        OnCloseupDate(header, result);
        return true;
    }
    return false;
}

void CAlbumDateDlg::FillCameraList()
{
    if (AllChannelsMode())
        FillAllChannels();
    else
        FillEnabledChannels();
}

// Rows are inserted at the top while walking down from the last entry, so
// they end up in ascending entry order whatever the list's sort style.
void CAlbumDateDlg::FillAllChannels()
{
    const bool entryZeroNamed = g_settings.channels[0].szName[0] != '\0';
    for (int i = BROWSE_CHANNEL_COUNT - 1; i >= 0; --i) {
        const ChannelEntry& entry = g_settings.channels[i];
        if (entry.szName[0] != '\0') {
            m_cbCamera.InsertString(0, entry.szName);
        } else if (!entryZeroNamed) {
            char text[32];
            std::snprintf(text, sizeof text, "For %02d Way", i + 1);
            m_cbCamera.InsertString(0, text);
        } else {
            continue;
        }
        m_cbCamera.SetItemData(0, static_cast<DWORD_PTR>(i));
    }
    if (m_cbCamera.GetCount() > 0)
        m_cbCamera.SetCurSel(g_nInitialChannel);
}

void CAlbumDateDlg::FillEnabledChannels()
{
    for (int i = BROWSE_CHANNEL_COUNT - 1; i >= 0; --i) {
        const ChannelEntry& entry = g_settings.channels[i];
        if (entry.bEnabled == 0)
            continue;
        m_cbCamera.InsertString(0, entry.szName);
        m_cbCamera.SetItemData(0, static_cast<DWORD_PTR>(i));
    }
    const int hostChannel = g_settings.CurrentChannel();
    for (int row = 0; row < m_cbCamera.GetCount(); ++row) {
        if (static_cast<int>(m_cbCamera.GetItemData(row)) + 1 == hostChannel)
            m_cbCamera.SetCurSel(row);
    }
}

int CAlbumDateDlg::SelectedEntry() const
{
    int row = m_cbCamera.GetCurSel();
    if (row < 0)
        return -1;
    int entry = static_cast<int>(m_cbCamera.GetItemData(row));
    return entry >= 0 && entry < BROWSE_CHANNEL_COUNT ? entry : -1;
}

int CAlbumDateDlg::ChannelOfEntry(int entry)
{
    // All channels: the row's entry index is the channel; enabled channels:
    // the entry names its folder channel.
    return AllChannelsMode() ? entry : g_settings.channels[entry].nFolderChannel;
}

void CAlbumDateDlg::OnCloseupDate(NMHDR* /*header*/, LRESULT* result)
{
    UpdateData(TRUE);
    // SwitchDayFolder takes the new date over.
    if (m_date.GetYear() != m_nYear || m_date.GetMonth() != m_nMonth || m_date.GetDay() != m_nDay)
        SwitchDayFolder();
    *result = 0;
}

void CAlbumDateDlg::OnSelchangeCamera()
{
    int entry = SelectedEntry();
    if (entry < 0)
        return;
    int channel = ChannelOfEntry(entry);
    if (!AllChannelsMode() && m_bHaveChannel && channel == m_nChannel)
        return;
    m_nChannel = channel;
    m_bHaveChannel = true;
    SwitchDayFolder();
}

void CAlbumDateDlg::SwitchDayFolder()
{
    m_nYear = m_date.GetYear();
    m_nMonth = m_date.GetMonth();
    m_nDay = m_date.GetDay();
    // Until a camera row is picked there is no channel to look for; the
    // date is kept and applies with the first pick.
    HWND view = AlbumViewWindow(m_hWnd);
    if (!m_bHaveChannel || view == nullptr)
        return;

    const char* found = g_archiveDisks.FindDayFolder(m_nChannel, m_nYear, m_nMonth, m_nDay, 0);
    if (found != nullptr) {
        // Copied at once: the next lookup overwrites the shared buffer.
        std::string folder = found;
        SetCurrentDirectoryA(folder.c_str());
        ShowInView(view, folder, false);
        return;
    }

    // The record drive's snapshot folder stands in. Without any archive
    // drive it names no drive: the current directory stays and the album
    // lists it again.
    const char recordDrive = g_archiveDisks.m_cRecordDrive;
    const std::string standIn = recordDrive != 0 ? std::string(1, recordDrive) + ":\\DataPic" : std::string();
    if (recordDrive != 0)
        SetCurrentDirectoryA(standIn.c_str());
    ShowInView(view, standIn, true);
}
