#include "picture/Picture.h"

#include "ImageLoad.h"
#include "imageload/block/DibBlock.h"
#include "picture/PictureBlock.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

const char* const g_pszSaveExt[] = {".JPG", ".BMP", ".GIF", ".PCX", ".TGA", ".TIF", ""};

namespace {

int ReadScreenBitsPerPixel(HDC screen)
{
    return GetDeviceCaps(screen, BITSPIXEL);
}

ScreenDepthReader g_screenDepthReader = ReadScreenBitsPerPixel;

bool EqualIgnoringAsciiCase(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        char ca = *a, cb = *b;
        if (ca >= 'a' && ca <= 'z') ca = static_cast<char>(ca - 'a' + 'A');
        if (cb >= 'a' && cb <= 'z') cb = static_cast<char>(cb - 'a' + 'A');
        if (ca != cb)
            return false;
    }
    return *a == *b;
}

char* CopyOfString(const char* text)
{
    if (text == nullptr)
        return nullptr;
    const std::size_t bytes = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(bytes));
    if (copy != nullptr)
        std::memcpy(copy, text, bytes);
    return copy;
}

}  // namespace

int ScreenBitsPerPixel()
{
    HDC screen = GetDC(nullptr);
    const int bits = g_screenDepthReader(screen);
    ReleaseDC(nullptr, screen);
    return bits;
}

ScreenDepthReader SetScreenDepthReader(ScreenDepthReader reader)
{
    ScreenDepthReader previous = g_screenDepthReader;
    g_screenDepthReader = reader != nullptr ? reader : ReadScreenBitsPerPixel;
    return previous;
}

CPicture::CPicture()
{
    Init();
}

CPicture::~CPicture()
{
    Free();
}

void CPicture::Init()
{
    m_nStatus = PIC_OK;
    m_nDisplayBits = 0;
    m_nPaletteBytes = 0;
    m_nWidth = 0;
    m_nHeight = 0;
    m_nPlanes = 0;
    m_nBitCount = 0;
    m_nColors = 0;
    m_nType = 0;
    m_nX = 0;
    m_nY = 0;
    m_nJpegQuality = 100;
    m_palette.DeleteObject();
    m_hDIB = nullptr;
    m_pszPath = nullptr;
}

int CPicture::Free()
{
    if (m_hDIB != nullptr) {
        GlobalFree(m_hDIB);
        m_hDIB = nullptr;
    }
    std::free(m_pszPath);
    m_pszPath = nullptr;
    return m_palette.DeleteObject();
}

void CPicture::ReplacePath(const char* path)
{
    std::free(m_pszPath);
    m_pszPath = CopyOfString(path);
}

int CPicture::Load(const char* path, CDC* dc, int x, int y)
{
    Free();
    int status = PIC_OK;
    HGLOBAL block = picture::LoadBlock(path, &m_nType, &status);
    m_nStatus = status;
    // An unrecognised file keeps the previous header facts and path.
    if (m_nType < IL_TYPE_BMP || m_nType > IL_TYPE_TIF)
        return 0;
    ReplacePath(path);
    if (block == nullptr)
        return 0;
    m_hDIB = block;
    ReadHeader();
    CreateDIBPalette();
    if (dc != nullptr)
        Draw(dc, x, y);
    return 1;
}

void CPicture::ReadHeader()
{
    if (m_hDIB == nullptr) {
        m_nStatus = PIC_ERR_NO_PICTURE;
        return;
    }
    const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(m_hDIB));
    if (bytes == nullptr) {
        m_nStatus = PIC_ERR_LOCK;
        return;
    }
    const picture::Facts facts = picture::ReadFacts(bytes);
    m_nWidth = facts.width;
    m_nHeight = facts.height;
    m_nPlanes = facts.planes;
    m_nBitCount = facts.bitCount;
    m_nColors = facts.colours;
    UnlockDIB();
    m_nStatus = PIC_OK;
}

void CPicture::CreateDIBPalette()
{
    if (m_hDIB == nullptr) {
        m_nStatus = PIC_ERR_NO_PICTURE;
        return;
    }
    HDC screen = GetDC(nullptr);
    m_nDisplayBits = g_screenDepthReader(screen);
    m_nPaletteBytes = 0;
    m_palette.DeleteObject();
    if (m_nBitCount <= 8)
        m_nPaletteBytes = 4 * m_nColors;

    if (m_nDisplayBits >= 16) {
        m_nStatus = PIC_OK;
    } else if (const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(m_hDIB)); bytes == nullptr) {
        m_nStatus = PIC_ERR_LOCK;
    } else {
        if (m_nBitCount > 8) {
            m_nStatus = PIC_OK;
        } else if (LOGPALETTE* record = BuildLogPalette(
                       reinterpret_cast<const RGBQUAD*>(bytes + dib::kColourTableOffset), m_nColors)) {
            m_palette.CreatePalette(record);
            std::free(record);
            m_nStatus = PIC_OK;
        } else {
            m_nStatus = PIC_ERR_PALETTE_MEMORY;
        }
        UnlockDIB();
    }
    ReleaseDC(nullptr, screen);
}

LOGPALETTE* CPicture::BuildLogPalette(const RGBQUAD* colourTable, int count)
{
    if (colourTable == nullptr || count <= 0)
        return nullptr;
    const std::size_t bytes = sizeof(LOGPALETTE) + (static_cast<std::size_t>(count) - 1) * sizeof(PALETTEENTRY);
    LOGPALETTE* record = static_cast<LOGPALETTE*>(std::malloc(bytes));
    if (record == nullptr)
        return nullptr;
    record->palVersion = 0x300;
    record->palNumEntries = static_cast<WORD>(count);
    for (int i = 0; i < count; ++i) {
        record->palPalEntry[i].peRed = colourTable[i].rgbRed;
        record->palPalEntry[i].peGreen = colourTable[i].rgbGreen;
        record->palPalEntry[i].peBlue = colourTable[i].rgbBlue;
        record->palPalEntry[i].peFlags = 0;
    }
    return record;
}

int CPicture::Draw(CDC* dc, int x, int y)
{
    if (x != -1)
        m_nX = x;
    if (y != -1)
        m_nY = y;
    if (m_hDIB == nullptr) {
        m_nStatus = PIC_ERR_NO_PICTURE;
        return 0;
    }
    const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(m_hDIB));
    if (bytes == nullptr) {
        m_nStatus = PIC_ERR_LOCK;
        return 0;
    }
    const int rows = dc == nullptr ? 0 : picture::DrawBlock(dc->GetSafeHdc(), bytes, m_nX, m_nY);
    UnlockDIB();
    if (rows == m_nHeight) {
        m_nStatus = PIC_OK;
        return 1;
    }
    m_nStatus = PIC_ERR_DRAW;
    return 0;
}

int CPicture::SaveTypeFromPath(const char* path)
{
    if (path == nullptr)
        return -1;
    const std::size_t length = std::strlen(path);
    if (length < 4)
        return -1;
    for (int i = 0; g_pszSaveExt[i][0] != '\0'; ++i)
        if (EqualIgnoringAsciiCase(path + length - 4, g_pszSaveExt[i]))
            return i + 1;
    return -1;
}

int CPicture::CallSaver(int saveType, const char* path)
{
    switch (saveType) {
    case PIC_SAVE_JPG: return SaveJPG(path, m_hDIB, m_nJpegQuality);
    case PIC_SAVE_BMP: return SaveBMP(path, m_hDIB);
    case PIC_SAVE_GIF: return SaveGIF(path, m_hDIB);
    case PIC_SAVE_PCX: return SavePCX(path, m_hDIB);
    case PIC_SAVE_TGA: return SaveTGA(path, m_hDIB);
    case PIC_SAVE_TIF: return SaveTIF(path, m_hDIB);
    default: return 0;
    }
}

int CPicture::Save(const char* path, int saveType)
{
    if (saveType == -1)
        saveType = SaveTypeFromPath(path);
    if (saveType < PIC_SAVE_JPG || saveType > PIC_SAVE_TIF)
        return 0;
    m_nType = saveType;
    ReplacePath(path);
    return CallSaver(saveType, path);
}

int CPicture::RowBytes(int bitCount, int width)
{
    const std::int64_t bytes = dib::RowBytes64(bitCount, width);
    return bytes < 0 || bytes > INT_MAX ? -1 : static_cast<int>(bytes);
}

BYTE* CPicture::LockDIB(int* oldRowBytes, int bitCount, int* newRowBytes, int newWidth)
{
    if (m_hDIB == nullptr) {
        m_nStatus = PIC_ERR_NO_PICTURE;
        return nullptr;
    }
    BYTE* bytes = static_cast<BYTE*>(GlobalLock(m_hDIB));
    if (bytes == nullptr) {
        m_nStatus = PIC_ERR_LOCK;
        return nullptr;
    }
    if (oldRowBytes != nullptr)
        *oldRowBytes = RowBytes(m_nBitCount, m_nWidth);
    if (newRowBytes != nullptr)
        *newRowBytes = RowBytes(bitCount, newWidth == -1 ? m_nWidth : newWidth);
    return bytes;
}

int CPicture::Resize(int newWidth, int newHeight)
{
    if (newWidth == m_nWidth && newHeight == m_nHeight)
        return 1;
    // Negative sizes would make a block shorter than its own headers.
    if (newWidth < 0 || newHeight < 0)
        return 0;
    BYTE* old = LockDIB(nullptr, m_nBitCount, nullptr, newWidth);
    if (old == nullptr)
        return 0;

    int status = PIC_OK;
    HGLOBAL block = picture::ResizedBlock(old, newWidth, newHeight, &status);
    UnlockDIB();
    m_nStatus = status;
    if (block == nullptr)
        return 0;
    m_nWidth = newWidth;
    m_nHeight = newHeight;
    GlobalFree(m_hDIB);
    m_hDIB = block;
    m_nStatus = PIC_OK;
    return 1;
}
