// One picture held as a device-independent bitmap in the BMP file layout,
// inside one movable global memory block: loaded and saved through the
// picture library, drawn one to one, resampled to a new size.
#pragma once

#include "framework/Gdi.h"

#include <windows.h>

// Status codes kept in CPicture::m_nStatus. Any other value is the picture
// library's own error number after a loader returned no block.
enum PictureStatus {
    PIC_OK = 0,
    PIC_ERR_ALLOC = -50,
    PIC_ERR_LOCK = -51,
    PIC_ERR_FILE_TYPE = -200,
    PIC_ERR_NO_PICTURE = -201,
    PIC_ERR_PALETTE_MEMORY = -202,
    PIC_ERR_DRAW = -204,
    // The loader's block is not a picture this object can draw or resample
    // safely (see dib::IsWellFormed); the block is released.
    PIC_ERR_LAYOUT = -205,
};

// File types are FileType's answers, IL_TYPE_* of ImageLoad.h (which loader
// runs); save types are the picture object's own. Both numberings are fixed
// and never converted into each other.

// Save type numbers: position in g_pszSaveExt counted from 1.
enum PictureSaveType {
    PIC_SAVE_JPG = 1,
    PIC_SAVE_BMP = 2,
    PIC_SAVE_GIF = 3,
    PIC_SAVE_PCX = 4,
    PIC_SAVE_TGA = 5,
    PIC_SAVE_TIF = 6,
};

// Save extensions in save type order, ended by "". The save-as dialog uses
// the same table: its choice n appends entry n - 1.
extern const char* const g_pszSaveExt[];

// Reads the bits per pixel of a screen device context. The palette step
// reads the screen depth through this so that tests can stand for screens
// the test machine cannot show; returns the reader it replaced.
using ScreenDepthReader = int (*)(HDC screen);
ScreenDepthReader SetScreenDepthReader(ScreenDepthReader reader);
// The screen's bits per pixel, through that reader.
int ScreenBitsPerPixel();

class CPicture {
public:
    CPicture();
    ~CPicture();
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;

    // 1 when the file's picture is now held (and drawn at x, y when dc is
    // given), 0 when not; the previous picture is released either way.
    int Load(const char* path, CDC* dc, int x, int y);
    // saveType -1 takes the type from the path's last four characters.
    // 0 when no save type results, else the saver's result unchanged.
    int Save(const char* path, int saveType);
    // Draws unscaled at (m_nX, m_nY); -1 keeps a stored coordinate.
    int Draw(CDC* dc, int x, int y);
    // Nearest-neighbour copy at the new size; 1 done (or already that size).
    int Resize(int newWidth, int newHeight);
    // Releases block, path and palette; non-zero when a palette was deleted.
    int Free();

    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetBitCount() const { return m_nBitCount; }
    int GetColors() const { return m_nColors; }

    static int RowBytes(int bitCount, int width);
    static int SaveTypeFromPath(const char* path);

private:
    friend class CPictureProbe;  // tests read the members

    void Init();
    void ReadHeader();
    void CreateDIBPalette();
    static LOGPALETTE* BuildLogPalette(const RGBQUAD* colourTable, int count);
    BYTE* LockDIB(int* oldRowBytes, int bitCount, int* newRowBytes, int newWidth = -1);
    void UnlockDIB() { GlobalUnlock(m_hDIB); }
    int CallSaver(int saveType, const char* path);
    void ReplacePath(const char* path);

    int m_nStatus;
    int m_nDisplayBits;
    int m_nPaletteBytes;
    int m_nWidth;
    int m_nHeight;
    int m_nPlanes;
    int m_nBitCount;
    int m_nColors;
    int m_nType;
    int m_nX;
    int m_nY;
    int m_nJpegQuality;
    CPalette m_palette;
    HGLOBAL m_hDIB;
    char* m_pszPath;
};
