// Every command of the album view, declared once: its identifier, the
// view's handler, the rule of the album's state that enables it (null:
// always), for a toggle the rule that checks it (null: never), and its keys
// by the names the menus show (album/AlbumKeys.h; "": none). The view's
// command table is made from this list, once, and with it the gate for
// disabled commands, the menus and the toolbar; the key table is made from
// it too: a key gives its command only where the same rule enables it, and
// is otherwise left to the focused window. The rules are members
// of CAlbumState, tested natively by name.
//
// A new command is one row here, its handler, its identifier in
// res/resource.h and its entries in res/ImageBrowse.rc.
//
// Enter has two rows: in multi mode it shows the selected picture alone, in
// single mode it goes back to the page; the first row whose rule enables
// it wins.
#pragma once

#include "album/AlbumState.h"
#include "res/resource.h"

// COMMAND(identifier, handler, enabled, checked, keys)
#define ALBUM_VIEW_COMMANDS(COMMAND)                                                                           \
    COMMAND(ID_ALBUM_REFRESH, OnAlbumRefresh, nullptr, nullptr, "F5")                                          \
    COMMAND(ID_PAGE_NEXT, OnPageNext, &CAlbumState::CanPageForward, nullptr, "PgDn")                           \
    COMMAND(ID_PAGE_PREV, OnPagePrev, &CAlbumState::CanPageBack, nullptr, "PgUp")                              \
    COMMAND(ID_PAGE_FIRST, OnPageFirst, &CAlbumState::CanPageBack, nullptr, "Home")                            \
    COMMAND(ID_PAGE_LAST, OnPageLast, &CAlbumState::CanPageForward, nullptr, "End")                            \
    COMMAND(ID_SINGLE_SHOW, OnSingleShow, &CAlbumState::CanShowAlone, nullptr, "Enter")                        \
    COMMAND(ID_MULTI_SHOW, OnMultiShow, &CAlbumState::IsSingleMode, nullptr, "Esc|Enter")                      \
    COMMAND(ID_AUTO_SHOW, OnAutoShow, &CAlbumState::HasCurrent, &CAlbumState::IsAutoShowing, "Space")          \
    COMMAND(ID_FILE_OPEN, OnFileOpen, &CAlbumState::IsMultiMode, nullptr, "Ctrl+O")                            \
    COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs, &CAlbumState::HasCurrent, nullptr, "Ctrl+S")                        \
    COMMAND(ID_IMAGE_RENAME, OnImageRename, &CAlbumState::CanChangeCurrentFile, nullptr, "F2")                 \
    COMMAND(ID_IMAGE_DELETE, OnImageDelete, &CAlbumState::CanChangeCurrentFile, nullptr, "Del")                \
    COMMAND(ID_SET_WALLPAPER, OnSetWallpaper, &CAlbumState::CanChangeCurrentFile, nullptr, "")                 \
    COMMAND(ID_EXPORT_NEW_BMP, OnExportNewBmp, &CAlbumState::CanChangeCurrentFile, nullptr, "")                \
    COMMAND(ID_FILE_PRINT, OnFilePrint, nullptr, nullptr, "Ctrl+P")                                            \
    COMMAND(ID_FILE_PRINT_DIRECT, OnFilePrintDirect, nullptr, nullptr, "")                                     \
    COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview, nullptr, nullptr, "")                                   \
    COMMAND(ID_MOVE_LEFT, OnMoveLeft, &CAlbumState::CanMoveLeft, nullptr, "Left")                              \
    COMMAND(ID_MOVE_RIGHT, OnMoveRight, &CAlbumState::CanMoveRight, nullptr, "Right")                          \
    COMMAND(ID_MOVE_UP, OnMoveUp, &CAlbumState::CanMoveUp, nullptr, "Up")                                      \
    COMMAND(ID_MOVE_DOWN, OnMoveDown, &CAlbumState::CanMoveDown, nullptr, "Down")                              \
    COMMAND(ID_ZOOM_IN, OnZoomIn, &CAlbumState::CanZoomIn, nullptr, "+|Num +")                                 \
    COMMAND(ID_ZOOM_OUT, OnZoomOut, &CAlbumState::CanZoomOut, nullptr, "-|Num -")                              \
    COMMAND(ID_ZOOM_FIT, OnZoomFit, &CAlbumState::CanZoomOut, nullptr, "0")                                    \
    COMMAND(ID_ZOOM_ACTUAL, OnZoomActual, &CAlbumState::CanShowActualSize, nullptr, "1")                      \
    COMMAND(ID_MARK_TOGGLE, OnMarkToggle, &CAlbumState::HasCurrent, nullptr, "Ins")                            \
    COMMAND(ID_MARK_ALL, OnMarkAll, &CAlbumState::HasCurrent, nullptr, "Ctrl+A")                               \
    COMMAND(ID_MARKS_CLEAR, OnMarksClear, &CAlbumState::CanClearMarks, nullptr, "Esc")                        \
    COMMAND(ID_EXPORT_MARKED, OnExportMarked, &CAlbumState::HasCurrent, nullptr, "Ctrl+E")                     \
    COMMAND(ID_DELETE_MARKED, OnDeleteMarked, &CAlbumState::CanDeleteMarked, nullptr, "")
