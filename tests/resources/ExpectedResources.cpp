// Texts are UTF-8 here and UTF-16 in the literals; the resources must hold
// exactly these code units, blanks included.
#include "tests/resources/ExpectedResources.h"

#include <commctrl.h>

#include "res/resource.h"

namespace {

constexpr Texts kNoText = {u"", u"", u""};

}  // namespace

const std::vector<MenuRow>& ExpectedMainMenu()
{
    static const std::vector<MenuRow> rows = {
        {0, kPopup, 0, {u"File", u"文件(&F)", u"檔案(&F)"}},
        {1, kCommand, ID_FILE_OPEN, {u"&Open...\tCtrl+O", u"打开(&O)...\tCtrl+O", u"打開(&O)...\tCtrl+O"}},
        {1, kCommand, ID_FILE_SAVE_AS, {u"&Save as...\tCtrl+S", u"另存为(&A)...\tCtrl+S", u"另存為(&A)...\tCtrl+S"}},
        {1, kCommand, ID_EXPORT_MARKED, {u"&Export marked...\tCtrl+E", u"导出标记的图片(&E)...\tCtrl+E", u"匯出標記的圖片(&E)...\tCtrl+E"}},
        {1, kCommand, ID_IMAGE_RENAME, {u"&Rename\tF2", u"改名(&G)\tF2", u"改名(&G)\tF2"}},
        {1, kCommand, ID_IMAGE_DELETE, {u"&Delete image\tDel", u"删除当前照片(&D)\tDel", u"刪除當前照片(&D)\tDel"}},
        {1, kCommand, ID_DELETE_MARKED, {u"Delete mar&ked", u"删除标记的图片(&K)", u"刪除標記的圖片(&K)"}},
        {1, kSeparator, 0, kNoText},
        {1, kCommand, ID_FILE_PRINT, {u"&Print..\tCtrl+P", u"打印(&P)...\tCtrl+P", u"列印(&P)...\tCtrl+P"}},
        {1, kCommand, ID_FILE_PRINT_PREVIEW, {u"Print pre&view", u"打印预览(&V)", u"列印預覽(&V)"}},
        {1, kSeparator, 0, kNoText},
        {1, kCommand, ID_ALBUM_RETURN, {u"E&xit", u"返回视频(&X)", u"返回(&X)"}},
        {0, kPopup, 0, {u"&Operation", u" 操作(&C)", u" 操作(&C)"}},
        {1, kCommand, ID_PAGE_FIRST, {u"&Top page\tHome", u"最前一页(&F)\tHome", u"最前一頁(&F)\tHome"}},
        {1, kCommand, ID_PAGE_NEXT, {u"&Forward page\tPgDn", u"前面一页(&P)\tPgDn", u"前面一頁(&P)\tPgDn"}},
        {1, kCommand, ID_PAGE_PREV, {u"&Next page\tPgUp", u"下面一页(&N)\tPgUp", u"下面一頁(&N)\tPgUp"}},
        {1, kCommand, ID_PAGE_LAST, {u"&Last page\tEnd", u"最后一页(&L)\tEnd", u"最後一頁(&L)\tEnd"}},
        {1, kCommand, ID_ALBUM_REFRESH, {u"&Refresh image\tF5", u"刷新图片(&R)\tF5", u"刷新圖片(&R)\tF5"}},
        {1, kCommand, ID_MULTI_SHOW, {u"&Multi show\tEsc", u"多图片显示(&M)\tEsc", u"多圖片顯示(&M)\tEsc"}},
        {1, kCommand, ID_AUTO_SHOW, {u"&Auto show\tSpace", u"连续翻页(&S)\tSpace", u"連續翻頁(&S)\tSpace"}},
    };
    return rows;
}

const std::vector<MenuRow>& ExpectedPopupMenus()
{
    static const std::vector<MenuRow> rows = {
        {0, kPopup, 0, {u"_POPUP0", u"_POPUP0", u"_POPUP0"}},
        {1, kCommand, ID_FILE_SAVE_AS, {u"&Rename as..\tCtrl+S", u"另存为(&A)...\tCtrl+S", u"另存為(&A)...\tCtrl+S"}},
        {1, kCommand, ID_IMAGE_RENAME, {u"Ren&ame\tF2", u"改名(&G)\tF2", u"改名(&G)\tF2"}},
        {1, kCommand, ID_IMAGE_DELETE, {u"&Delete image\tDel", u"删除当前照片(&D)\tDel", u"刪除當前照片(&D)\tDel"}},
        {1, kPopup, 0, {u"Function", u"功能", u"功能"}},
        {2, kCommand, ID_APP_EXIT, {u"E&xit", u"退出", u"退出"}},
        {1, kSeparator, 0, kNoText},
        {0, kPopup, 0, {u"_POPUP1", u"_POPUP1", u"_POPUP1"}},
        {1, kCommand, ID_APP_EXIT, {u"E&xit", u"退出", u"退出"}},
        {0, kPopup, 0, {u"_POPUP2", u"_POPUP2", u"_POPUP2"}},
        {1, kCommand, ID_ALBUM_RETURN, {u"&Back home", u"返回视频", u"返回監看"}},
        {0, kPopup, 0, {u"_POPUP3", u"_POPUP3", u"_POPUP3"}},
        {1, kCommand, ID_ALBUM_RETURN, {u"&Back home", u"返回视频", u"返回監看"}},
        {0, kPopup, 0, {u"_IMGPOP", u"_IMGPOP", u"_IMGPOP"}},
        {1, kCommand, ID_IMAGE_RENAME, {u"&Modify name\tF2", u"更换名称\tF2", u"更換名稱\tF2"}},
        {1, kCommand, ID_IMAGE_DELETE, {u"Delete image\tDel", u"删除当前照片\tDel", u"刪除當前照片\tDel"}},
        {1, kSeparator, 0, kNoText},
        {1, kCommand, ID_MULTI_SHOW, {u"&Back to browse\tEsc", u"回到浏览模式\tEsc", u"回到瀏覽模式\tEsc"}},
        {0, kPopup, 0, {u"_ICONPOP", u"_ICONPOP", u"_ICONPOP"}},
        {1, kCommand, ID_APP_ABOUT, {u"&About", u"版本说明", u"版本說明"}},
        {1, kCommand, ID_APP_EXIT, {u"E&xit", u"程序退出", u"程式退出"}},
    };
    return rows;
}

const std::vector<PromptRow>& ExpectedPrompts()
{
    static const std::vector<PromptRow> rows = {
        {ID_IMAGE_RENAME, {u"Rename the image", u"重新命名当前图片的名称", u"重新命名當前圖片的名稱"}},
        {ID_ALBUM_RETURN, {u"Return", u"返回到视频捕捉窗口", u"返回到影像捕捉窗口"}},
        {ID_MULTI_SHOW, {u"To multi display mode", u"进入每页显示多幅图片模式", u"進入每頁顯示多幅圖片模式"}},
        {ID_IMAGE_DELETE, {u"Delete the image", u"完全删除当前图片", u"完全刪除當前圖片"}},
        {ID_PAGE_NEXT, {u"To next page", u"进入下一页", u"進入下一頁"}},
        {ID_PAGE_PREV, {u"To previous page", u"进入上一页", u"進入上一頁"}},
        {ID_PAGE_FIRST, {u"To first page", u"直接翻到第一页", u"直接翻到第一頁"}},
        {ID_PAGE_LAST, {u"To last page", u"直接翻到最后一页", u"直接翻到最後一頁"}},
        {ID_AUTO_SHOW, {u"Automatic browse", u"自动连续翻页来观赏图片", u"自動連續翻頁來觀賞圖"}},
        // One trailing blank in English and Simplified, none in Traditional.
        {ID_FILE_OPEN, {u"To open the new file folder ", u"打开一个新的文件夹或文件 ", u"打開一個新的文件夾或文件"}},
        // Two blanks after "the".
        {ID_FILE_SAVE_AS, {u"Save the  image to a folder or a new folder",
                           u"将当前图片存成另外一个文件或存到另外的文件夹",
                           u"將當前圖片存成另外一個文件或存到另外的文件夾"}},
        {ID_FILE_PRINT, {u"To print image", u"打印输出当前图片", u"列印當前圖片"}},
        {ID_FILE_PRINT_PREVIEW, {u"Preview print image", u"预览当前需要打印输出的图片", u"預覽當前需要列印的圖片"}},
        // Messages of the file commands; "%s" is filled with a path.
        {IDS_IMAGE_NOT_READ, {u"Can not to read image %s !", u"不能读取图片 %s ！", u"不能讀取圖片 %s ！"}},
        {IDS_IMAGE_NOT_WRITTEN, {u"Can not to write image %s !", u"不能写入图片 %s ！", u"不能寫入圖片 %s ！"}},
        {IDS_NAME_NOT_PLAIN, {u"File name can not hold \\ / : * ? < > | or quotes !",
                              u"文件名不能含有 \\ / : * ? < > | 或引号 ！",
                              u"文件名不能含有 \\ / : * ? < > | 或引號 ！"}},
        {IDS_REPLACE_SAVED_FILE, {u"%s already exists, replace it ?", u"%s 已经存在，要替换它吗？",
                                  u"%s 已經存在，要替換它嗎？"}},
        // The frame's title with marks: "%s" the album's title or the path
        // shown alone, "%d" the count.
        {IDS_TITLE_MARKED, {u"%s - %d marked", u"%s - 已标记 %d 张", u"%s - 已標記 %d 張"}},
        {IDS_TITLE_MARKED_ALONE, {u"%s - marked (%d marked)", u"%s - 已标记（共标记 %d 张）",
                                  u"%s - 已標記（共標記 %d 張）"}},
        // The commands on the marked pictures and their messages.
        {ID_EXPORT_MARKED, {u"Export the marked pictures into a zip file with their checksums", u"将标记的图片连同校验值导出到一个 zip 文件", u"將標記的圖片連同校驗值匯出到一個 zip 檔案"}},
        {ID_DELETE_MARKED, {u"Delete the marked pictures", u"删除所有标记的图片", u"刪除所有標記的圖片"}},
        {IDS_EXPORT_TITLE, {u"Export marked", u"导出标记的图片", u"匯出標記的圖片"}},
        {IDS_EXPORT_PROGRESS, {u"Exporting pictures: %s (%d %)", u"正在导出图片：%s（%d %）", u"正在匯出圖片：%s（%d %）"}},
        {IDS_EXPORT_CANCEL, {u"Cancel", u"取消", u"取消"}},
        {IDS_EXPORT_DONE, {u"%d pictures exported to %s", u"已将 %d 张图片导出到 %s", u"已將 %d 張圖片匯出到 %s"}},
        {IDS_EXPORT_CANCELLED, {u"The export was cancelled: %s was not written.", u"导出已取消：没有写入 %s。", u"匯出已取消：沒有寫入 %s。"}},
        {IDS_EXPORT_DISK_FULL, {u"The export was not made: the drive of %s is full.", u"导出失败：%s 所在的磁盘已满。", u"匯出失敗：%s 所在的磁碟已滿。"}},
        {IDS_EXPORT_PICTURE_GONE, {u"The export was not made: %s was removed meanwhile.", u"导出失败：%s 在导出期间被删除。", u"匯出失敗：%s 在匯出期間被刪除。"}},
        {IDS_EXPORT_PICTURE_HELD, {u"The export was not made: another program holds %s.", u"导出失败：%s 被另一个程序占用。", u"匯出失敗：%s 被另一個程式佔用。"}},
        {IDS_EXPORT_FAILED, {u"The export was not made: %s", u"导出失败：%s", u"匯出失敗：%s"}},
        {IDS_EXPORT_CHECK_FAILED, {u"The export was not made: the zip read back differs from %s.", u"导出失败：读回的 zip 与 %s 不符。", u"匯出失敗：讀回的 zip 與 %s 不符。"}},
        {IDS_EXPORT_FILTER, {u"Zip files (*.zip)|*.zip||", u"Zip 文件 (*.zip)|*.zip||", u"Zip 檔案 (*.zip)|*.zip||"}},
        {IDS_DELETE_MARKED_QUESTION, {u"Delete the %d marked pictures ?", u"要删除标记的 %d 张图片吗？", u"要刪除標記的 %d 張圖片嗎？"}},
        {IDS_DELETE_MARKED_FAILED, {u"These pictures could not be deleted and stay listed:\n%s", u"以下图片无法删除，仍保留在列表中：\n%s", u"以下圖片無法刪除，仍保留在列表中：\n%s"}},
        // The framework's texts: message box caption and print job name,
        // the print preview's title and buttons.
        {AFX_IDS_APP_TITLE, {u"Image browse", u"Image browse", u"Image browse"}},
        {AFX_IDS_PREVIEW_TITLE, {u"Print preview", u"打印预览", u"預覽列印"}},
        {AFX_IDS_PREVIEW_PRINT, {u"&Print...", u"打印(&P)...", u"列印(&P)..."}},
        {AFX_IDS_PREVIEW_ZOOM_IN, {u"Zoom &In", u"放大(&I)", u"放大(&I)"}},
        {AFX_IDS_PREVIEW_ZOOM_OUT, {u"Zoom &Out", u"缩小(&O)", u"縮小(&O)"}},
        {AFX_IDS_PREVIEW_CLOSE, {u"&Close", u"关闭(&C)", u"關閉(&C)"}},
    };
    return rows;
}

const DialogExpectation& ExpectedRenameDialog()
{
    constexpr uint32_t kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
    static const DialogExpectation dialog = {
        IDD_RENAME, false,
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0,
        0, 0, 184, 89,
        {u"Input new file name", u"输入新文件名", u"輸入新檔名"},
        {u"MS Sans Serif", u"宋体", u"細明體"},
        9, 0, 0,
        {
            // The Chinese words for OK and Cancel in every set, English included.
            {IDOK, kButtonClass, nullptr, {u"确定", u"确定", u"确定"}, kButton, 0, 59, 68, {50, 50, 50}, 14},
            {IDCANCEL, kButtonClass, nullptr, {u"取消", u"取消", u"取消"}, kButton, 0, 127, 68, {50, 50, 50}, 14},
            {IDC_NEW_NAME, kEditClass, nullptr, kNoText,
             WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, 0,
             7, 28, {170, 170, 170}, 14},
        },
    };
    return dialog;
}

const DialogExpectation& ExpectedDateCameraDialog()
{
    constexpr uint32_t kLabel = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
    static const DialogExpectation dialog = {
        IDD_DATE_CAMERA, true,
        WS_POPUP | DS_SETFONT, 0,
        0, 0, 163, 39,
        kNoText,
        {u"MS Sans Serif", u"宋体", u"細明體"},
        9, FW_NORMAL, DEFAULT_CHARSET,
        {
            {IDOK, kButtonClass, nullptr, {u"E&xit", u"退出(&X)", u"退出(&X)"},
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, WS_EX_STATICEDGE, 121, 3, {40, 40, 40}, 15},
            {IDC_DATE_LABEL, kStaticClass, nullptr, {u"Date", u"查询日期", u"查詢日期"},
             kLabel, 0, 3, 7, {17, 33, 33}, 8},
            {IDC_DATE, 0, u"SysDateTimePick32", {u"DateTimePicker1", u"DateTimePicker1", u"DateTimePicker1"},
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | DTS_LONGDATEFORMAT | DTS_RIGHTALIGN, 0, 39, 3, {75, 75, 75}, 15},
            {IDC_CAMERA_LABEL, kStaticClass, nullptr, {u"Camera", u"场景选择", u"場景選擇"},
             kLabel, 0, 3, 28, {25, 33, 33}, 8},
            // 77 is the height with the list dropped down.
            {IDC_CAMERA, kComboBoxClass, nullptr, kNoText,
             WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN | CBS_SORT, 0,
             39, 24, {75, 75, 75}, 77},
        },
    };
    return dialog;
}

const std::vector<uint16_t>& ExpectedToolbarSlots()
{
    static const std::vector<uint16_t> slots = {
        ID_ALBUM_RETURN, ID_FILE_OPEN, 0,
        ID_FILE_SAVE_AS, ID_IMAGE_RENAME, ID_IMAGE_DELETE, 0,
        ID_PAGE_FIRST, ID_PAGE_PREV, 0,
        ID_PAGE_NEXT, 0,
        ID_PAGE_LAST, ID_MULTI_SHOW, ID_AUTO_SHOW, 0,
        ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW,
    };
    return slots;
}
