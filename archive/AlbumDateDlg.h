// The date-and-camera chooser: a small captionless window over the album
// in which every new calendar date or camera moves the album at once to
// that day's snapshot folder of that camera.
#pragma once

#include <windows.h>

#include "framework/Dialog.h"

// Named for the date though it also chooses the camera: the name is fixed.
class CAlbumDateDlg : public CDialog {
public:
    explicit CAlbumDateDlg(HWND parent);

    // The channel handed to the archive lookup (the folder name is this
    // number + 1); meaningful only while m_bHaveChannel is set, which it is
    // not until a camera row has been selected.
    int m_nChannel = 0;
    bool m_bHaveChannel = false;
    // The date last applied.
    int m_nYear = 0;
    int m_nMonth = 0;
    int m_nDay = 0;
    CComboBox m_cbCamera;
    CDate m_date;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code) override;
    bool OnNotify(NMHDR* header, LRESULT* result) override;

    void FillCameraList();
    void OnCloseupDate(NMHDR* header, LRESULT* result);
    void OnSelchangeCamera();
    void SwitchDayFolder();

private:
    void FillAllChannels();
    void FillEnabledChannels();
    // The channel entry the selected row shows, or -1 without a selection.
    int SelectedEntry() const;
    // The channel a row's entry stands for in the current mode.
    static int ChannelOfEntry(int entry);
};
