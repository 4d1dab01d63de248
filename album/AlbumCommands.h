// Every command of the album view, declared once: its identifier, the
// view's handler, the rule of the album's state that enables it (null:
// always) and, for a toggle, the rule that checks it (null: never).
// The view's command table is made from this list, once, and with it the
// gate for disabled commands, the menus and the toolbar. The rules are
// members of CAlbumState, tested natively by name.
//
// A new command is one row here, its handler, its identifier in
// res/resource.h and its entries in res/ImageBrowse.rc.
#pragma once

#include "album/AlbumState.h"
#include "res/resource.h"

// COMMAND(identifier, handler, enabled, checked)
#define ALBUM_VIEW_COMMANDS(COMMAND)                                                               \
    COMMAND(ID_ALBUM_REFRESH, OnAlbumRefresh, nullptr, nullptr)                                    \
    COMMAND(ID_PAGE_NEXT, OnPageNext, &CAlbumState::CanPageForward, nullptr)                       \
    COMMAND(ID_PAGE_PREV, OnPagePrev, &CAlbumState::CanPageBack, nullptr)                          \
    COMMAND(ID_PAGE_FIRST, OnPageFirst, &CAlbumState::CanPageBack, nullptr)                        \
    COMMAND(ID_PAGE_LAST, OnPageLast, &CAlbumState::CanPageForward, nullptr)                       \
    COMMAND(ID_MULTI_SHOW, OnMultiShow, &CAlbumState::IsSingleMode, nullptr)                       \
    COMMAND(ID_AUTO_SHOW, OnAutoShow, &CAlbumState::HasCurrent, &CAlbumState::IsAutoShowing)       \
    COMMAND(ID_FILE_OPEN, OnFileOpen, &CAlbumState::IsMultiMode, nullptr)                          \
    COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs, &CAlbumState::HasCurrent, nullptr)                      \
    COMMAND(ID_IMAGE_RENAME, OnImageRename, &CAlbumState::CanChangeCurrentFile, nullptr)           \
    COMMAND(ID_IMAGE_DELETE, OnImageDelete, &CAlbumState::CanChangeCurrentFile, nullptr)           \
    COMMAND(ID_SET_WALLPAPER, OnSetWallpaper, &CAlbumState::CanChangeCurrentFile, nullptr)         \
    COMMAND(ID_EXPORT_NEW_BMP, OnExportNewBmp, &CAlbumState::CanChangeCurrentFile, nullptr)        \
    COMMAND(ID_FILE_PRINT, OnFilePrint, nullptr, nullptr)                                          \
    COMMAND(ID_FILE_PRINT_DIRECT, OnFilePrintDirect, nullptr, nullptr)                             \
    COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview, nullptr, nullptr)
