// The view's "Open" command: the date-and-camera chooser, modal over the
// browser's frame.
#include "AlbumDateDlg.h"
#include "AlbumView.h"

void CAlbumView::OnFileOpen()
{
    CAlbumDateDlg chooser(nullptr);
    chooser.DoModal();
}
