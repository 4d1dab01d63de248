#include "AlbumDateDlg.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "AlbumView.h"
#include "AlbumWnd.h"
#include "ArchiveDisks.h"
#include "ModuleGlobals.h"
#include "resource.h"

namespace {

constexpr int kScreenX = 777;
constexpr int kScreenY = 22;
// Stands in the view's name list for the folder the album moved to; the
// refresh replaces it in multi mode.
const char kPlaceholderName[] = "01way-2001-07-05-13.57.36-00.jpg";

bool AllChannelsMode()
{
    return g_bAllChannels != 0;
}

// Makes the folder the album's current entry, as a single-mode entry would
// be, and repaints the whole view.
void PointViewAt(CAlbumView& view, const std::string& folder)
{
    view.m_arrPaths.push_back(folder);
    view.m_arrNames.push_back(kPlaceholderName);
    view.m_nCurrent = static_cast<int>(view.m_arrPaths.size()) - 1;
    InvalidateRect(view.m_hWnd, nullptr, TRUE);
}

void RefreshView(CAlbumView& view)
{
    SendMessageA(view.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_ALBUM_REFRESH, 0), 0);
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
    for (int i = CHANNEL_COUNT - 1; i >= 0; --i) {
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
    for (int i = CHANNEL_COUNT - 1; i >= 0; --i) {
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
    return entry >= 0 && entry < CHANNEL_COUNT ? entry : -1;
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
    if (!m_bHaveChannel || g_pAlbumView == nullptr)
        return;
    CAlbumView& view = *g_pAlbumView;

    const char* found = g_archiveDisks.FindDayFolder(m_nChannel, m_nYear, m_nMonth, m_nDay, 0);
    view.m_nPageTop = 0;
    if (found != nullptr) {
        // Copied at once: the next lookup overwrites the shared buffer.
        std::string folder = found;
        SetCurrentDirectoryA(folder.c_str());
        view.m_strCurrent = folder;
        PointViewAt(view, folder);
        if (!view.m_bSingle)
            RefreshView(view);
        return;
    }

    // The record drive's snapshot folder stands in. Without any archive
    // drive it names no drive: the current directory stays and the album
    // lists it again.
    const char recordDrive = g_archiveDisks.m_cRecordDrive;
    view.m_strCurrent = recordDrive != 0 ? std::string(1, recordDrive) + ":\\DataPic" : std::string();
    if (recordDrive != 0)
        SetCurrentDirectoryA(view.m_strCurrent.c_str());
    PointViewAt(view, view.m_strCurrent);
    RefreshView(view);
}
