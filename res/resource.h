/* Identifiers shared by the resource script, the message maps, the dialogs
 * and the code that sends commands, sets timers or posts messages. The
 * compiled menus, toolbar, string table and dialog templates refer to these
 * by number, so every value is part of the resource format: never renumber.
 *
 * Plain #defines only: the resource compiler's preprocessor reads this file
 * as well as the C++ compiler. */
#ifndef IMAGEBROWSE_RESOURCE_H
#define IMAGEBROWSE_RESOURCE_H

/* The framework's identifiers (toolbar and pane windows, ID_FILE_PRINT,
 * RT_TOOLBAR, the strings it loads) and the host's exit message. */
#include "framework/FwResource.h"
#include "ImageBrowse.h"

/* Browser commands: one contiguous range, 0x802E..0x8039. */
#define ID_IMAGE_RENAME         0x802E
#define ID_ALBUM_RETURN         0x802F
#define ID_ALBUM_REFRESH        0x8030
#define ID_MULTI_SHOW           0x8031
#define ID_SET_WALLPAPER        0x8032
#define ID_EXPORT_NEW_BMP       0x8033
#define ID_IMAGE_DELETE         0x8034
#define ID_PAGE_NEXT            0x8035
#define ID_PAGE_PREV            0x8036
#define ID_PAGE_FIRST           0x8037
#define ID_PAGE_LAST            0x8038
#define ID_AUTO_SHOW            0x8039

#define ID_BROWSER_COMMAND_FIRST ID_IMAGE_RENAME
#define ID_BROWSER_COMMAND_LAST  ID_AUTO_SHOW

/* Commands that only keys give (album/AlbumCommands.h names the keys): the
 * arrow moves, the selected picture alone, and the zoom of a picture shown
 * alone. No menu, toolbar or string shows them; they lie apart from the
 * range above, whose numbers the resources fix, in a range of their own,
 * 0x8040..0x8048. */
#define ID_MOVE_LEFT            0x8040
#define ID_MOVE_RIGHT           0x8041
#define ID_MOVE_UP              0x8042
#define ID_MOVE_DOWN            0x8043
#define ID_SINGLE_SHOW          0x8044
#define ID_ZOOM_IN              0x8045
#define ID_ZOOM_OUT             0x8046
#define ID_ZOOM_FIT             0x8047
#define ID_ZOOM_ACTUAL          0x8048

/* The marks' own keys (Insert, Ctrl+A, Esc on a page), in a range of their
 * own, 0x8050..0x8052. */
#define ID_MARK_TOGGLE          0x8050
#define ID_MARK_ALL             0x8051
#define ID_MARKS_CLEAR          0x8052

/* The commands on the marked pictures, in the File menu: 0x8058..0x8059. */
#define ID_EXPORT_MARKED        0x8058
#define ID_DELETE_MARKED        0x8059

/* Standard application commands under their customary names and values
 * (ID_FILE_PRINT is the framework's), so that the frame's print and
 * print-preview machinery recognises them. */
#define ID_FILE_OPEN            0xE101
#define ID_FILE_SAVE_AS         0xE104
#define ID_FILE_PRINT_DIRECT    0xE108
#define ID_FILE_PRINT_PREVIEW   0xE109
#define ID_APP_ABOUT            0xE140
#define ID_APP_EXIT             0xE141

/* Resources. IDR_ALBUM names the frame's set: main menu, toolbar and the
 * toolbar's bitmap share it. */
#define IDR_ALBUM               307
#define IDD_RENAME              310
#define IDR_ALBUM_POPUPS        311
#define IDD_DATE_CAMERA         312

/* The popup of IDR_ALBUM_POPUPS that the view shows in single mode. */
#define ALBUM_POPUP_IMAGE_INDEX 4

/* Resources that no code uses: the About box, the icon it shows and the
 * version block. */
#define IDD_ABOUT               100
#define IDI_ALBUM               128
#define IDR_VERSION             1

/* Controls. */
#define IDC_NEW_NAME            1070
#define IDC_DATE_LABEL          1074
#define IDC_DATE                1075
#define IDC_CAMERA_LABEL        1076
#define IDC_CAMERA              1077
#define IDC_ABOUT_ICON          1080
#define IDC_ABOUT_TEXT          1081

/* Messages of the file commands, in the string table of every language
 * set; "%s" stands for a path. */
#define IDS_IMAGE_NOT_READ      0x6100
#define IDS_IMAGE_NOT_WRITTEN   0x6101
#define IDS_NAME_NOT_PLAIN      0x6102
#define IDS_REPLACE_SAVED_FILE  0x6103

/* The frame's title with marks: "%s" the album's title or the path of the
 * picture shown alone, "%d" the count of marked pictures. */
#define IDS_TITLE_MARKED        0x6110
#define IDS_TITLE_MARKED_ALONE  0x6111

/* The export of marked pictures: its progress window ("%s" pictures done of
 * all, "%d" per cent) and its outcomes ("%s" a path, "%d" a count). */
#define IDS_EXPORT_TITLE        0x6120
#define IDS_EXPORT_PROGRESS     0x6121
#define IDS_EXPORT_CANCEL       0x6122
#define IDS_EXPORT_DONE         0x6123
#define IDS_EXPORT_CANCELLED    0x6124
#define IDS_EXPORT_DISK_FULL    0x6125
#define IDS_EXPORT_PICTURE_GONE 0x6126
#define IDS_EXPORT_PICTURE_HELD 0x6127
#define IDS_EXPORT_FAILED       0x6128
#define IDS_EXPORT_CHECK_FAILED 0x6129
#define IDS_EXPORT_FILTER       0x612A

/* Delete marked: the question ("%d" how many) and the pictures that stayed
 * ("%s" their names, a line each). */
#define IDS_DELETE_MARKED_QUESTION 0x6130
#define IDS_DELETE_MARKED_FAILED   0x6131

/* Sent by the date-and-camera chooser to the view: show the day folder
 * (lParam, a path) as the current entry and list it again (wParam non-zero:
 * also in single mode). */
#define UM_SHOW_DAY_FOLDER      0x8001

/* Posted by the watch of the album's folder to the view: changes of the
 * folder wait to be taken (album/watch/FolderWatch.h). */
#define UM_FOLDER_CHANGED       0x8002

/* Posted by an export's thread to the view: the export has ended. */
#define UM_EXPORT_DONE          0x8003

/* Timer of the automatic browse (1000 ms). */
#define ID_TIMER_AUTOSHOW       5
/* Timer of a zoomed picture read again after its file was busy. */
#define ID_TIMER_ZOOM_RETRY     6

#endif /* IMAGEBROWSE_RESOURCE_H */
