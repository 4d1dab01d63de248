// Commands whose implementation is being written; each moves to its own
// file when done.
#include "AlbumView.h"

void CAlbumView::OnFileSaveAs() {}
void CAlbumView::OnImageRename() {}
void CAlbumView::OnImageDelete() {}
void CAlbumView::OnSetWallpaper() {}
void CAlbumView::OnExportNewBmp() {}
void CAlbumView::OnContextMenu(HWND, int, int) {}
void CAlbumView::OnFileOpen() {}
