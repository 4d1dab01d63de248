// The commands on the current picture and its file: save as, rename,
// delete, wallpaper, export, and the popup menu of single mode.
//
// Save as, wallpaper and export load the current picture themselves right
// before they use it: what painting leaves in the picture object is not the
// current picture after a single-mode paint, nor when the last cell of a
// page is selected, and automatic browse may repaint while a dialog is open.
#include <direct.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "album/AlbumMessages.h"
#include "album/AlbumView.h"
#include "album/FileNameRules.h"
#include "album/RenameDlg.h"
#include "bridge/ModuleGlobals.h"
#include "framework/FileDialog.h"
#include "framework/Module.h"
#include "picture/Picture.h"
#include "res/resource.h"

int g_nSaveFilterIndex = 1;

namespace {

const char kSaveFilter[] =
    "Jpeg Files(*.JPG)|*.JPG|BMP Files(*.BMP)|*.BMP|GIF Files(*.GIF)|*.GIF|"
    "PCX Files(*.PCX)|*.PCX|Targa Files(*.TGA)|*.TGA|Tif Files(*.TIF)|*.TIF||";
const char kWallpaperName[] = "\\VELDO.BMP";
const char kExportName[] = "\\NEW.BMP";
const int kJpegBitCount = 24;

bool IsSystemLeadByte(unsigned char c)
{
    return IsDBCSLeadByte(c) != FALSE;
}

// The C runtime's text for the error number a call left.
std::string ErrorText(int error)
{
    return std::strerror(error);
}

std::string WindowsDirectoryFile(const char* name)
{
    char folder[MAX_PATH] = "";
    UINT length = GetWindowsDirectoryA(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder)
        return std::string();
    return std::string(folder) + name;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Makes a folder current for a while and the previous one current again
// on every way out.
class CurrentDirectoryScope {
public:
    explicit CurrentDirectoryScope(const char* folder)
    {
        GetCurrentDirectoryA(sizeof m_saved, m_saved);
        _chdir(folder);
    }
    ~CurrentDirectoryScope() { _chdir(m_saved); }
    CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
    CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

private:
    char m_saved[MAX_PATH] = "";
};

// The frame: the first window up from the view that is not a child.
HWND TopLevelOwner(HWND wnd)
{
    while (wnd != nullptr && (GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD) != 0)
        wnd = GetParent(wnd);
    return wnd;
}

// Loads a picture file into the picture object; tells the operator and
// returns false when it cannot be read.
bool LoadPictureFile(CPicture& picture, const std::string& path)
{
    if (picture.Load(path.c_str(), nullptr, -1, -1) != 0)
        return true;
    FwMessageBox(MessageWith(IDS_IMAGE_NOT_READ, path).c_str());
    return false;
}

// Loads the current picture into the picture object; false, after telling
// the operator, when its file cannot be read, and false without a word
// when there is no picture object or no current picture.
bool LoadCurrentPicture(CAlbumView& view)
{
    if (view.m_pPicture == nullptr || !view.HasCurrent())
        return false;
    return LoadPictureFile(*view.m_pPicture, view.CurrentPath());
}

// Writes the loaded picture and lets it go: painting does not use the
// picture object, so nothing else would free a picture of many megabytes.
// Tells the operator when the write failed.
bool WriteLoadedPicture(CPicture& picture, const std::string& path)
{
    const bool written = picture.Save(path.c_str(), -1) != 0;
    picture.Free();
    if (!written)
        FwMessageBox(MessageWith(IDS_IMAGE_NOT_WRITTEN, path).c_str());
    return written;
}

}  // namespace

void CAlbumView::OnFileSaveAs()
{
    CurrentDirectoryScope scope(g_szBrowsePath);
    CFileDialog dialog(kSaveFilter, g_nSaveFilterIndex);
    while (dialog.DoModal() == IDOK) {
        const int choice = SaveChoiceOrFirst(dialog.GetFilterIndex());
        g_nSaveFilterIndex = choice;
        if (m_pPicture == nullptr || !HasCurrent())
            return;
        // The picture the operator chose to save: automatic browse may
        // move on while a question below is open.
        const std::string source = CurrentPath();
        if (choice == PIC_SAVE_JPG) {
            if (!LoadPictureFile(*m_pPicture, source))
                return;
            const int bitCount = m_pPicture->GetBitCount();
            m_pPicture->Free();
            if (bitCount != kJpegBitCount) {
                FwMessageBox("Can not to turn to JPEG format !!!");
                continue;
            }
        }
        const std::string typed = dialog.GetPathName();
        const std::string target = SavePathWithExtension(typed, g_pszSaveExt[choice - 1], IsSystemLeadByte);
        // The dialog asked about the typed name only; the new extension may
        // name another file.
        if (lstrcmpiA(target.c_str(), typed.c_str()) != 0 && FileExists(target) &&
            FwMessageBox(MessageWith(IDS_REPLACE_SAVED_FILE, target).c_str(), MB_YESNO) != IDYES)
            continue;
        // Loaded only now: every modal loop above paints the view and runs
        // its timer, and painting replaces what the picture object holds.
        if (!LoadPictureFile(*m_pPicture, source))
            return;
        m_strSaveName = target;
        WriteLoadedPicture(*m_pPicture, m_strSaveName);
        return;
    }
}

void CAlbumView::OnSetWallpaper()
{
    if (!LoadCurrentPicture(*this))
        return;
    std::string path = WindowsDirectoryFile(kWallpaperName);
    if (path.empty() || !WriteLoadedPicture(*m_pPicture, path))
        return;
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(path.c_str()), SPIF_SENDWININICHANGE);
}

void CAlbumView::OnExportNewBmp()
{
    if (!LoadCurrentPicture(*this))
        return;
    std::string path = WindowsDirectoryFile(kExportName);
    if (!path.empty())
        WriteLoadedPicture(*m_pPicture, path);
}

void CAlbumView::OnImageRename()
{
    if (!HasCurrent())
        return;
    // The file whose name the dialog shows, whatever happens to the album
    // while it is open.
    const std::string oldPath = CurrentPath();
    const std::string extension = ListedExtension(CurrentName());
    CRenameDlg dialog;
    dialog.m_strNewName = ListedStem(CurrentName());
    while (dialog.DoModal() == IDOK) {
        if (dialog.m_strNewName.empty()) {
            FwMessageBox("File name can not blank !");
            continue;
        }
        // A separator or drive would move the file out of the album folder.
        if (!IsPlainFileName(dialog.m_strNewName, IsSystemLeadByte)) {
            FwMessageBox(MessageWith(IDS_NAME_NOT_PLAIN).c_str());
            continue;
        }
        const std::string newName = dialog.m_strNewName + extension;
        const std::string newPath = FolderOf(oldPath, IsSystemLeadByte) + newName;
        if (std::rename(oldPath.c_str(), newPath.c_str()) != 0) {
            FwMessageBox(ErrorText(errno).c_str());
            continue;
        }
        // Something posted to the frame may have moved the album on
        // meanwhile: then the list is built again.
        if (CurrentPath() != oldPath) {
            OnAlbumRefresh();
            return;
        }
        ReplaceCurrentName(newName, IsSystemLeadByte);
        Invalidate(TRUE);
        return;
    }
}

std::string CAlbumView::DeletePictureFile(const std::string& path)
{
    if (std::remove(path.c_str()) != 0)
        return ErrorText(errno);
    // On a read-only mount Wine reports the delete done and keeps the file
    // (the unlink happens at close and its failure is lost): a file that is
    // still there was refused, and stays in the list.
    if (FileExists(path))
        return ErrorText(EACCES);
    return std::string();
}

void CAlbumView::OnImageDelete()
{
    if (!HasCurrent())
        return;
    // The file the question names, whatever happens to the album while it
    // is open.
    const std::string path = CurrentPath();
    if (FwMessageBox(DeleteQuestion(CurrentName()).c_str(), MB_YESNO) != IDYES)
        return;
    const std::string error = DeletePictureFile(path);
    if (!error.empty()) {
        FwMessageBox(error.c_str());
        return;
    }
    if (CurrentPath() != path) {
        OnAlbumRefresh();
        return;
    }
    RemoveCurrent();
    Invalidate(TRUE);
}

void CAlbumView::OnContextMenu(HWND, int screenX, int screenY)
{
    if (!m_bSingle)
        return;
    HMENU bar = LoadMenuA(FwModule(), MAKEINTRESOURCEA(IDR_ALBUM_POPUPS));
    if (bar == nullptr)
        return;
    // The frame owns the popup, so its menu handling applies the command
    // rules when the popup opens and routes the choice back to the view.
    HMENU popup = GetSubMenu(bar, ALBUM_POPUP_IMAGE_INDEX);
    if (popup != nullptr)
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screenX, screenY, 0, TopLevelOwner(m_hWnd), nullptr);
    DestroyMenu(bar);
}
