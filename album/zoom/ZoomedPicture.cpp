#include "album/zoom/ZoomedPicture.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "ImageLoad.h"
#include "imageload/block/DibBlock.h"
#include "picture/PictureBlock.h"

namespace {

// Blue, green, red and a zero byte: a pixel as a 32-bit screen takes it.
std::uint32_t ScreenPixel(const unsigned char* bgr)
{
    return static_cast<std::uint32_t>(bgr[0]) | static_cast<std::uint32_t>(bgr[1]) << 8 |
           static_cast<std::uint32_t>(bgr[2]) << 16;
}

// 5-bit components to 8 bits, the high bits repeated, as the picture
// library reads 16-bit pictures.
unsigned char Expand5(unsigned v)
{
    return static_cast<unsigned char>((v << 3) | (v >> 2));
}

// The colours of columns [left, right) of row y (from the top) of a locked
// block, as blue, green, red bytes.
void ColoursOfRow(const BYTE* block, const picture::Facts& facts, int y, int left, int right, unsigned char* bgr)
{
    const BYTE* table = block + dib::kHeadersBytes;
    const std::size_t stride = static_cast<std::size_t>(dib::RowBytes64(facts.bitCount, facts.width));
    const BYTE* row = table + picture::PaletteBytes(facts) + static_cast<std::size_t>(facts.height - 1 - y) * stride;
    for (int x = left; x < right; ++x, bgr += 3) {
        unsigned index = 0;
        switch (facts.bitCount) {
        case 1:
            index = (row[x >> 3] >> (7 - (x & 7))) & 1u;
            break;
        case 4:
            index = (row[x >> 1] >> ((x & 1) != 0 ? 0 : 4)) & 15u;
            break;
        case 8:
            index = row[x];
            break;
        case 16: {
            const unsigned v = row[2 * x] | row[2 * x + 1] << 8;
            bgr[0] = Expand5(v & 31u);
            bgr[1] = Expand5((v >> 5) & 31u);
            bgr[2] = Expand5((v >> 10) & 31u);
            continue;
        }
        default:    // 24 and 32 bits: blue, green, red first
            std::memcpy(bgr, row + static_cast<std::size_t>(x) * (facts.bitCount / 8), 3);
            continue;
        }
        if (static_cast<int>(index) < facts.colours)
            std::memcpy(bgr, table + 4 * index, 3);
        else
            bgr[0] = bgr[1] = bgr[2] = 0;
    }
}

bool SameFile(const CZoomedPicture::File& a, const CZoomedPicture::File& b)
{
    return a.path == b.path && a.size == b.size && a.writeTime == b.writeTime;
}

bool SameRegion(const ZoomRegion& a, const ZoomRegion& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom && a.viewX == b.viewX &&
           a.viewY == b.viewY && a.scale == b.scale;
}

}  // namespace

bool CZoomedPicture::Same(const File& file, const ZoomRegion& region, int viewWidth, int viewHeight) const
{
    return m_bMade && SameFile(file, m_file) && SameRegion(region, m_region) && viewWidth == m_nViewWidth &&
           viewHeight == m_nViewHeight;
}

bool CZoomedPicture::Render(const File& file, int width, int height, const ZoomRegion& region, int viewWidth,
                            int viewHeight)
{
    if (Same(file, region, viewWidth, viewHeight))
        return true;
    try {
        m_bMade = false;
        m_file = file;
        m_nExpectedWidth = width;
        m_nExpectedHeight = height;
        Lay(region, viewWidth, viewHeight);
        if (m_rcPlace.right > m_rcPlace.left && m_rcPlace.bottom > m_rcPlace.top) {
            const bool read = FileType(file.path.c_str()) == IL_TYPE_JPG ? ReadJpeg(file)
                                                                         : ReadWhole(file, width, height);
            if (!read || m_nRowsTaken != region.bottom - region.top) {
                Release();
                return false;
            }
        }
        m_bMade = true;
        return true;
    } catch (const std::bad_alloc&) {
        Release();
        return false;
    }
}

// The place on the view, and for each of its columns the region's pixel
// shown there.
void CZoomedPicture::Lay(const ZoomRegion& region, int viewWidth, int viewHeight)
{
    m_region = region;
    m_nViewWidth = viewWidth;
    m_nViewHeight = viewHeight;
    m_nRowsTaken = 0;
    const int scale = std::max(region.scale, 1);
    m_rcPlace.left = std::max(0, region.viewX);
    m_rcPlace.top = std::max(0, region.viewY);
    m_rcPlace.right = std::max<LONG>(m_rcPlace.left, std::min(viewWidth, region.viewX + (region.right - region.left) * scale));
    m_rcPlace.bottom =
        std::max<LONG>(m_rcPlace.top, std::min(viewHeight, region.viewY + (region.bottom - region.top) * scale));
    const int width = m_rcPlace.right - m_rcPlace.left, height = m_rcPlace.bottom - m_rcPlace.top;
    m_columns.resize(static_cast<std::size_t>(width));
    for (int i = 0; i < width; ++i)
        m_columns[static_cast<std::size_t>(i)] = (m_rcPlace.left + i - region.viewX) / scale * 3;
    m_pixels.assign(static_cast<std::size_t>(width) * height, 0);
}

void CZoomedPicture::TakeRow(int y, const unsigned char* bgr)
{
    ++m_nRowsTaken;
    const int scale = std::max(m_region.scale, 1);
    const int first = m_region.viewY + (y - m_region.top) * scale;
    const int from = std::max<int>(first, m_rcPlace.top), to = std::min<int>(first + scale, m_rcPlace.bottom);
    if (from >= to)
        return;
    const std::size_t width = m_columns.size();
    std::uint32_t* row = &m_pixels[static_cast<std::size_t>(from - m_rcPlace.top) * width];
    for (std::size_t i = 0; i < width; ++i)
        row[i] = ScreenPixel(bgr + m_columns[i]);
    // The other view rows of the same picture row are copies.
    for (int again = from + 1; again < to; ++again)
        std::memcpy(&m_pixels[static_cast<std::size_t>(again - m_rcPlace.top) * width], row, width * sizeof *row);
}

int __cdecl CZoomedPicture::ChooseRegion(void* self, int width, int height, int* x, int* y, int* regionWidth,
                                         int* regionHeight)
{
    auto* zoomed = static_cast<CZoomedPicture*>(self);
    // A file rewritten since the fit measured it holds another picture.
    if (width != zoomed->m_nExpectedWidth || height != zoomed->m_nExpectedHeight)
        return 0;
    const ZoomRegion& r = zoomed->m_region;
    *x = r.left;
    *y = r.top;
    *regionWidth = r.right - r.left;
    *regionHeight = r.bottom - r.top;
    return 1;
}

int __cdecl CZoomedPicture::TakeRegionRow(void* self, int y, const unsigned char* bgr)
{
    static_cast<CZoomedPicture*>(self)->TakeRow(y, bgr);
    return 1;
}

bool CZoomedPicture::ReadJpeg(const File& file)
{
    return ReadJPGRegion(file.path.c_str(), &CZoomedPicture::ChooseRegion, &CZoomedPicture::TakeRegionRow, this) != 0;
}

// Read once while the picture is zoomed: a pan or a step reads it again from
// memory, not from its file.
bool CZoomedPicture::ReadWhole(const File& file, int width, int height)
{
    if (m_hWhole == nullptr || !SameFile(file, m_wholeFile)) {
        if (m_hWhole != nullptr)
            GlobalFree(m_hWhole);
        int fileType = 0, status = 0;
        m_hWhole = picture::LoadBlock(file.path.c_str(), &fileType, &status);
        m_wholeFile = file;
        if (m_hWhole == nullptr)
            return false;
    }
    const BYTE* block = static_cast<const BYTE*>(GlobalLock(m_hWhole));
    if (block == nullptr)
        return false;
    const picture::Facts facts = picture::ReadFacts(block);
    bool read = facts.width == width && facts.height == height;
    if (read) {
        std::vector<unsigned char> bgr(static_cast<std::size_t>(m_region.right - m_region.left) * 3);
        for (int y = m_region.top; y < m_region.bottom; ++y) {
            ColoursOfRow(block, facts, y, m_region.left, m_region.right, bgr.data());
            TakeRow(y, bgr.data());
        }
    }
    GlobalUnlock(m_hWhole);
    return read;
}

bool CZoomedPicture::Draw(HDC dc) const
{
    const int width = m_rcPlace.right - m_rcPlace.left, height = m_rcPlace.bottom - m_rcPlace.top;
    if (!m_bMade || width <= 0 || height <= 0)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;      // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return StretchDIBits(dc, m_rcPlace.left, m_rcPlace.top, width, height, 0, 0, width, height, m_pixels.data(),
                         &info, DIB_RGB_COLORS, SRCCOPY) > 0;
}

void CZoomedPicture::Release()
{
    std::vector<std::uint32_t>().swap(m_pixels);
    std::vector<int>().swap(m_columns);
    if (m_hWhole != nullptr)
        GlobalFree(m_hWhole);
    m_hWhole = nullptr;
    m_wholeFile = File{"", 0, 0};
    m_bMade = false;
    m_rcPlace = RECT{0, 0, 0, 0};
}

std::size_t CZoomedPicture::Bytes() const
{
    return m_pixels.capacity() * sizeof(std::uint32_t) + m_columns.capacity() * sizeof(int) +
           (m_hWhole != nullptr ? GlobalSize(m_hWhole) : 0);
}
