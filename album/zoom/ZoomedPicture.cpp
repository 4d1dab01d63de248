#include "album/zoom/ZoomedPicture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#include "ImageLoad.h"
#include "album/cells/FinishedCell.h"
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

// View rows drawn at once.
const int kBandRows = 64;

// The library's failures that may pass: a file it could not open (held
// without sharing while its writer rewrites it) and memory that ran out.
bool MayPass(int error)
{
    return error == IL_ERR_FILE || error == IL_ERR_NO_MEMORY;
}

bool SameFile(const CZoomedPicture::File& a, const CZoomedPicture::File& b)
{
    return a.path == b.path && a.size == b.size && a.writeTime == b.writeTime;
}

}  // namespace

CZoomedPicture::Rendered CZoomedPicture::Render(const File& file, int width, int height, const ZoomRegion& region,
                                                int viewWidth, int viewHeight)
{
    m_bMayPass = false;
    try {
        if (!SameFile(file, m_file) || width != m_nWidth || height != m_nHeight || viewWidth != m_nViewWidth ||
            viewHeight != m_nViewHeight) {
            m_bHolding = false;
            m_notes.Forget();
            m_bNotesAsked = false;
            m_file = file;
            m_nType = FileType(file.path.c_str());
            m_nWidth = width;
            m_nHeight = height;
            m_nViewWidth = viewWidth;
            m_nViewHeight = viewHeight;
            if (m_nType == IL_TYPE_UNKNOWN) {
                m_bMayPass = MayPass(GetLastPicLibError());
                return Failure();
            }
        }
        Lay(region);
        if (m_rcPlace.right <= m_rcPlace.left || m_rcPlace.bottom <= m_rcPlace.top)
            return Rendered::Shown;
        const Span shown = {region.left, region.top, region.right, region.bottom};
        if (m_bHolding && m_held.left <= shown.left && m_held.top <= shown.top && shown.right <= m_held.right &&
            shown.bottom <= m_held.bottom)
            return Rendered::Shown;
        if (Hold(HeldFor(region)))
            return Rendered::Shown;
    } catch (const std::bad_alloc&) {
        m_bMayPass = true;
    }
    return Failure();
}

CZoomedPicture::Rendered CZoomedPicture::Failure()
{
    const bool mayPass = m_bMayPass;
    Release();
    return mayPass ? Rendered::Busy : Rendered::Failed;
}


// The place on the view of what the region shows.
void CZoomedPicture::Lay(const ZoomRegion& region)
{
    m_region = region;
    const int scale = std::max(region.scale, 1);
    m_rcPlace.left = std::max(0, region.viewX);
    m_rcPlace.top = std::max(0, region.viewY);
    m_rcPlace.right =
        std::max<LONG>(m_rcPlace.left, std::min(m_nViewWidth, region.viewX + (region.right - region.left) * scale));
    m_rcPlace.bottom =
        std::max<LONG>(m_rcPlace.top, std::min(m_nViewHeight, region.viewY + (region.bottom - region.top) * scale));
}

// As large as the view (a picture smaller than the view: the picture), so
// that a step in and, zoomed in, a pan keep within it; centred on what is
// shown, held inside the picture.
CZoomedPicture::Span CZoomedPicture::HeldFor(const ZoomRegion& region) const
{
    const int width = std::min(m_nViewWidth, m_nWidth), height = std::min(m_nViewHeight, m_nHeight);
    auto around = [](int from, int to, int size, int limit) {
        int start = (from + to) / 2 - size / 2;
        start = std::min(start, from);
        start = std::max(start, to - size);
        return std::max(0, std::min(start, limit - size));
    };
    const int left = around(region.left, region.right, width, m_nWidth);
    const int top = around(region.top, region.bottom, height, m_nHeight);
    return Span{left, top, left + width, top + height};
}

// A rectangle of the same size that overlaps the one held keeps the
// overlap, moved in place (rows in the order that reads each before it is
// overwritten), and reads the band of rows and the strip of columns that
// are new.
bool CZoomedPicture::Hold(const Span& wanted)
{
    const int width = wanted.right - wanted.left, height = wanted.bottom - wanted.top;
    const int dx = wanted.left - m_held.left, dy = wanted.top - m_held.top;
    const bool overlaps = m_bHolding && m_held.right - m_held.left == width && m_held.bottom - m_held.top == height &&
                          std::abs(dx) < width && std::abs(dy) < height;
    m_bHolding = false;
    if (!overlaps) {
        m_pixels.assign(static_cast<std::size_t>(width) * height, 0);
        m_held = wanted;
        m_bHolding = Read(wanted);
        return m_bHolding;
    }
    const std::size_t kept = static_cast<std::size_t>(width - std::abs(dx)) * sizeof(std::uint32_t);
    auto moveRow = [&](int row) {
        std::memmove(&m_pixels[static_cast<std::size_t>(row) * width + std::max(0, -dx)],
                     &m_pixels[static_cast<std::size_t>(row + dy) * width + std::max(0, dx)], kept);
    };
    if (dy >= 0) {
        for (int row = 0; row < height - dy; ++row)
            moveRow(row);
    } else {
        for (int row = height - 1; row >= -dy; --row)
            moveRow(row);
    }
    m_held = wanted;
    const Span rows = dy >= 0 ? Span{wanted.left, wanted.bottom - dy, wanted.right, wanted.bottom}
                              : Span{wanted.left, wanted.top, wanted.right, wanted.top - dy};
    const int keptTop = dy >= 0 ? wanted.top : wanted.top - dy, keptBottom = dy >= 0 ? wanted.bottom - dy : wanted.bottom;
    const Span columns = dx >= 0 ? Span{wanted.right - dx, keptTop, wanted.right, keptBottom}
                                 : Span{wanted.left, keptTop, wanted.left - dx, keptBottom};
    m_bHolding = Read(rows) && Read(columns);
    return m_bHolding;
}

bool CZoomedPicture::Read(const Span& part)
{
    if (part.right <= part.left || part.bottom <= part.top)
        return true;
    m_reading = part;
    m_nRowsRead = 0;
    if (m_nType == IL_TYPE_JPG && !m_bNotesAsked) {
        m_notes.Start(m_file.path);
        m_bNotesAsked = true;
    }
    if (m_nType != IL_TYPE_JPG)
        return ReadWhole(part) && m_nRowsRead == part.bottom - part.top;
    const bool read = ReadJPGRegion(m_file.path.c_str(), m_notes.Ready(), &CZoomedPicture::ChooseRegion,
                                    &CZoomedPicture::TakeRegionRow, this) != 0;
    if (!read)
        m_bMayPass = MayPass(GetLastPicLibError());
    return read && m_nRowsRead == part.bottom - part.top;
}

void CZoomedPicture::TakeRow(int y, const unsigned char* bgr)
{
    ++m_nRowsRead;
    const int width = m_held.right - m_held.left;
    std::uint32_t* to =
        &m_pixels[static_cast<std::size_t>(y - m_held.top) * width + static_cast<std::size_t>(m_reading.left - m_held.left)];
    for (int x = 0; x < m_reading.right - m_reading.left; ++x, bgr += 3)
        to[x] = ScreenPixel(bgr);
}

int __cdecl CZoomedPicture::ChooseRegion(void* self, int width, int height, int* x, int* y, int* regionWidth,
                                         int* regionHeight)
{
    auto* zoomed = static_cast<CZoomedPicture*>(self);
    // A file rewritten since the fit measured it holds another picture.
    if (width != zoomed->m_nWidth || height != zoomed->m_nHeight)
        return 0;
    const Span& part = zoomed->m_reading;
    *x = part.left;
    *y = part.top;
    *regionWidth = part.right - part.left;
    *regionHeight = part.bottom - part.top;
    return 1;
}

int __cdecl CZoomedPicture::TakeRegionRow(void* self, int y, const unsigned char* bgr)
{
    static_cast<CZoomedPicture*>(self)->TakeRow(y, bgr);
    return 1;
}

// Read once while the picture is zoomed: a pan or a step takes its pixels
// from memory, not from its file. The decode takes its turn with the
// cells' (another picture decoded whole meanwhile is the allocation most
// likely to fail).
bool CZoomedPicture::ReadWhole(const Span& part)
{
    if (m_hWhole == nullptr || !SameFile(m_file, m_wholeFile)) {
        if (m_hWhole != nullptr)
            GlobalFree(m_hWhole);
        m_hWhole = nullptr;
        int status = 0;
        {
            std::lock_guard<std::mutex> turn(WholeDecodeTurn());
            m_hWhole = picture::LoadBlockOfType(m_nType, m_file.path.c_str(), &status);
        }
        m_wholeFile = m_file;
        if (m_hWhole == nullptr) {
            m_bMayPass = MayPass(status);
            return false;
        }
    }
    const BYTE* block = static_cast<const BYTE*>(GlobalLock(m_hWhole));
    if (block == nullptr)
        return false;
    const picture::Facts facts = picture::ReadFacts(block);
    const bool read = facts.width == m_nWidth && facts.height == m_nHeight;
    if (read) {
        std::vector<unsigned char> bgr(static_cast<std::size_t>(part.right - part.left) * 3);
        for (int y = part.top; y < part.bottom; ++y) {
            ColoursOfRow(block, facts, y, part.left, part.right, bgr.data());
            TakeRow(y, bgr.data());
        }
    }
    GlobalUnlock(m_hWhole);
    return read;
}

// The region's pixels stretched to their squares (a whole number of view
// pixels each, which the system's stretch in COLORONCOLOR mode repeats
// exactly) at their place on the view, which clips the squares cut by its
// edges; a band of about kBandRows view rows at a time, since the system
// stretches through a bitmap of what it draws. Each band is handed over as
// a bitmap of its own rows, whole: how the system counts the rows of a part
// of a bitmap stored top row first differs between its ways of drawing.
bool CZoomedPicture::Draw(HDC dc)
{
    if (!m_bHolding || m_rcPlace.right <= m_rcPlace.left || m_rcPlace.bottom <= m_rcPlace.top)
        return false;
    const int scale = std::max(m_region.scale, 1);
    const int heldWidth = m_held.right - m_held.left;
    const int width = m_region.right - m_region.left;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = heldWidth;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    const int bandRows = std::max(1, kBandRows / scale);
    bool drawn = true;
    for (int top = m_region.top; top < m_region.bottom; top += bandRows) {
        const int rows = std::min(bandRows, m_region.bottom - top);
        const int viewTop = m_region.viewY + (top - m_region.top) * scale;
        if (viewTop + rows * scale <= 0 || viewTop >= m_nViewHeight)
            continue;
        info.bmiHeader.biHeight = -rows;     // top row first
        const std::uint32_t* band = &m_pixels[static_cast<std::size_t>(top - m_held.top) * heldWidth];
        drawn = StretchDIBits(dc, m_region.viewX, viewTop, width * scale, rows * scale, m_region.left - m_held.left, 0,
                              width, rows, band, &info, DIB_RGB_COLORS, SRCCOPY) > 0 && drawn;
    }
    SetStretchBltMode(dc, oldMode);
    return drawn;
}

void CZoomedPicture::Release()
{
    m_notes.Forget();
    m_bNotesAsked = false;
    std::vector<std::uint32_t>().swap(m_pixels);
    if (m_hWhole != nullptr)
        GlobalFree(m_hWhole);
    m_hWhole = nullptr;
    m_wholeFile = File{"", 0, 0};
    m_file = File{"", 0, 0};
    m_bHolding = false;
    m_rcPlace = RECT{0, 0, 0, 0};
}

std::size_t CZoomedPicture::Bytes() const
{
    return m_pixels.capacity() * sizeof(std::uint32_t) + WholeBytes() + m_notes.Bytes();
}

std::size_t CZoomedPicture::WholeBytes() const
{
    return m_hWhole != nullptr ? GlobalSize(m_hWhole) : 0;
}
