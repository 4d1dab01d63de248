#include "picture/Picture.h"

#include "ImageLoad.h"
#include "imageload/block/DibBlock.h"
#include "picture/NearestResample.h"

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

// Largest block Resize asks for: every size and offset then fits a signed
// 32-bit int, and so does the header's pixel data size field.
constexpr std::uint64_t kMaxBlockBytes = 0x7FFFFFFF;

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

// Headers, colour table and rows of a new block, or 0 when the block would
// not fit kMaxBlockBytes. Divides instead of multiplying so that no product
// of a huge width and height overflows.
std::uint64_t ResizedBlockBytes(int bitCount, int colours, int width, int height)
{
    const std::uint64_t fixed = dib::kHeadersBytes + 4 * static_cast<std::uint64_t>(colours);
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(dib::RowBytes64(bitCount, width));
    if (fixed > kMaxBlockBytes)
        return 0;
    if (height > 0 && rowBytes > (kMaxBlockBytes - fixed) / static_cast<std::uint64_t>(height))
        return 0;
    return fixed + rowBytes * static_cast<std::uint64_t>(height);
}

}  // namespace

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

HGLOBAL CPicture::CallLoader(int fileType, const char* path)
{
    switch (fileType) {
    case PIC_FILE_BMP: return LoadBMP(path);
    case PIC_FILE_GIF: return LoadGIF(path);
    case PIC_FILE_PCX: return LoadPCX(path);
    case PIC_FILE_TGA: return LoadTGA(path);
    case PIC_FILE_JPG: return LoadJPG(path);
    case PIC_FILE_TIF: return LoadTIF(path);
    default: return nullptr;
    }
}

int CPicture::Load(const char* path, CDC* dc, int x, int y)
{
    Free();
    m_nType = FileType(path);
    // A number outside the table names no loader: the file is as
    // unrecognised as with 0, and the previous header facts stay.
    if (m_nType < PIC_FILE_BMP || m_nType > PIC_FILE_TIF) {
        m_nStatus = PIC_ERR_FILE_TYPE;
        return 0;
    }
    ReplacePath(path);
    m_hDIB = CallLoader(m_nType, path);
    if (m_hDIB == nullptr) {
        m_nStatus = GetLastPicLibError();
        return 0;
    }
    if (!HoldsWellFormedBlock()) {
        GlobalFree(m_hDIB);
        m_hDIB = nullptr;
        m_nStatus = PIC_ERR_LAYOUT;
        return 0;
    }
    ReadHeader();
    CreateDIBPalette();
    if (dc != nullptr)
        Draw(dc, x, y);
    return 1;
}

// Drawing and resampling trust the header's sizes, so a block that claims
// more than it holds is refused before anything reads its pixels. A block
// that cannot be locked is let through: every later operation stops at the
// lock, so nothing can be read from it.
bool CPicture::HoldsWellFormedBlock()
{
    const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(m_hDIB));
    if (bytes == nullptr)
        return true;
    const bool wellFormed = dib::IsWellFormed(bytes, GlobalSize(m_hDIB));
    UnlockDIB();
    return wellFormed;
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
    m_nWidth = dib::ReadI32(bytes + dib::kWidthOffset);
    m_nHeight = dib::ReadI32(bytes + dib::kHeightOffset);
    m_nPlanes = dib::ReadU16(bytes + dib::kPlanesOffset);
    m_nBitCount = dib::ReadU16(bytes + dib::kBitCountOffset);
    m_nColors = static_cast<int>(dib::ColourCount(m_nBitCount, m_nPlanes));
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
    const int rows = dc == nullptr ? 0
        : StretchDIBits(dc->GetSafeHdc(), m_nX, m_nY, m_nWidth, m_nHeight, 0, 0, m_nWidth, m_nHeight,
                        bytes + dib::kHeadersBytes + m_nPaletteBytes,
                        reinterpret_cast<const BITMAPINFO*>(bytes + dib::kFileHeaderBytes), DIB_RGB_COLORS,
                        SRCCOPY);
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

    m_nStatus = PIC_ERR_ALLOC;
    const std::uint64_t blockBytes = ResizedBlockBytes(m_nBitCount, m_nColors, newWidth, newHeight);
    HGLOBAL block = blockBytes == 0 ? nullptr
        : GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(blockBytes));
    if (block == nullptr) {
        UnlockDIB();
        return 0;
    }
    m_nStatus = PIC_ERR_LOCK;
    BYTE* fresh = static_cast<BYTE*>(GlobalLock(block));
    if (fresh == nullptr) {
        GlobalFree(block);
        UnlockDIB();
        return 0;
    }

    const std::size_t tableBytes = 4 * static_cast<std::size_t>(m_nColors);
    const std::size_t newRowBytes = static_cast<std::size_t>(dib::RowBytes64(m_nBitCount, newWidth));
    std::memcpy(fresh, old, dib::kHeadersBytes + tableBytes);
    dib::WriteI32(fresh + dib::kWidthOffset, newWidth);
    dib::WriteI32(fresh + dib::kHeightOffset, newHeight);
    dib::WriteU32(fresh + dib::kImageSizeOffset, static_cast<std::uint32_t>(newRowBytes * newHeight));
    m_nWidth = newWidth;
    m_nHeight = newHeight;

    // The source's own header gives its size and so its stride: the block
    // was checked against that header at load (or written by this code).
    const int oldWidth = dib::ReadI32(old + dib::kWidthOffset);
    const int oldHeight = dib::ReadI32(old + dib::kHeightOffset);
    const dib::SourceRows source{old + dib::kHeadersBytes + tableBytes,
                                 static_cast<std::size_t>(dib::RowBytes64(m_nBitCount, oldWidth < 0 ? 0 : oldWidth)),
                                 oldWidth, oldHeight};
    const dib::TargetRows target{fresh + dib::kHeadersBytes + tableBytes, newRowBytes, newWidth, newHeight};
    dib::ResampleNearest(source, target, m_nBitCount);

    GlobalUnlock(block);
    UnlockDIB();
    GlobalFree(m_hDIB);
    m_hDIB = block;
    m_nStatus = PIC_OK;
    return 1;
}
