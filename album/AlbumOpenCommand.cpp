// The view's "Open" command, the date-and-camera chooser modal over the
// browser's frame, and what the chooser does to the album: it tells the
// view by message, so that it needs nothing of the view but its window.
#include "album/AlbumView.h"
#include "archive/AlbumDateDlg.h"
#include "res/resource.h"

namespace {
// Stands in the name list for the folder the album moved to; the refresh
// replaces it in multi mode. The name is fixed: keep it as it is.
const char kDayFolderName[] = "01way-2001-07-05-13.57.36-00.jpg";
}  // namespace

void CAlbumView::OnFileOpen()
{
    CAlbumDateDlg chooser(nullptr);
    chooser.DoModal();
}

void CAlbumView::ShowDayFolder(const char* folder, bool refreshInSingleMode)
{
    PointAtFolder(folder != nullptr ? folder : "", kDayFolderName);
    Invalidate(TRUE);
    if (refreshInSingleMode || !m_bSingle)
        SendCommand(ID_ALBUM_REFRESH);
}
