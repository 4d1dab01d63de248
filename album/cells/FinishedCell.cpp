#include "album/cells/FinishedCell.h"

#include <mutex>

#include "ImageLoad.h"
#include "album/cells/AlbumCells.h"
#include "framework/Gdi.h"
#include "picture/Picture.h"
#include "picture/PictureBlock.h"

namespace {

// A picture block locked for the while.
class BlockLock {
public:
    explicit BlockLock(HGLOBAL block) : m_block(block), m_bytes(static_cast<const BYTE*>(GlobalLock(block))) {}
    ~BlockLock()
    {
        if (m_bytes != nullptr)
            GlobalUnlock(m_block);
    }
    BlockLock(const BlockLock&) = delete;
    BlockLock& operator=(const BlockLock&) = delete;
    const BYTE* Bytes() const { return m_bytes; }

private:
    HGLOBAL m_block;
    const BYTE* m_bytes;
};

}  // namespace

// A picture other than a JPEG is decoded whole before it is fitted: up to
// 256 MB of pixels, beside the file. In a 32-bit host that also records
// video, two of those at once are the allocation most likely to fail, so
// the workers and the zoom take turns; a JPEG goes straight to its cell's
// size and needs no turn.
std::mutex& WholeDecodeTurn()
{
    static std::mutex turn;
    return turn;
}

ResizedBlockMaker g_pfnResizedBlock = picture::ResizedBlock;
CellPreparer g_pfnPrepareCell = &CFinishedCell::Prepare;

CFinishedCell::~CFinishedCell()
{
    if (m_hBlock != nullptr)
        GlobalFree(m_hBlock);
}

std::size_t CFinishedCell::Bytes() const
{
    return sizeof *this + (m_hBlock != nullptr ? GlobalSize(m_hBlock) : 0);
}

bool CFinishedCell::Draw(CDC* dc, const RECT& rc) const
{
    if (m_hBlock == nullptr)
        return false;
    BlockLock lock(m_hBlock);
    return lock.Bytes() != nullptr &&
           picture::DrawBlock(dc->GetSafeHdc(), lock.Bytes(), rc.left + m_fit.dx, rc.top + m_fit.dy) > 0;
}

std::shared_ptr<const CFinishedCell> CFinishedCell::Prepare(const CellKey& key)
{
    auto cell = std::make_shared<CFinishedCell>();
    const int fileType = FileType(key.path.c_str());
    const Shown shown = fileType == IL_TYPE_UNKNOWN ? Failed(GetLastPicLibError())
                        : fileType == IL_TYPE_JPG   ? cell->DecodeJpegIntoTheCell(key)
                                                    : cell->DecodeWholeAndFit(fileType, key);
    if (shown.mayPass)
        return nullptr;
    cell->m_hBlock = key.screenBits == 32 ? WidenedForTheScreen(shown.block) : shown.block;
    return cell;
}

// The library's failures that may pass: a file it could not open or read
// (held without sharing by a recorder or a scanner, or still empty), and
// memory that ran out. Any other failure says the file is not a picture it
// can show, and stays so until the file changes.
CFinishedCell::Shown CFinishedCell::Failed(int error)
{
    return {nullptr, error == IL_ERR_FILE || error == IL_ERR_NO_MEMORY};
}

// The fit chosen from the picture's size as the file gives it: the picture
// is decoded straight to that size, and no buffer of it whole is made.
int __cdecl CFinishedCell::FitJpeg(void* context, int width, int height, int* targetWidth, int* targetHeight)
{
    auto* cell = static_cast<JpegFit*>(context);
    cell->width = width;
    cell->height = height;
    cell->fit = FitIntoBox(width, height, cell->box);
    // No room: decoded all the same, to tell a readable file from a broken one.
    *targetWidth = cell->fit.drawable ? cell->fit.width : 0;
    *targetHeight = cell->fit.drawable ? cell->fit.height : 0;
    return 1;
}

CFinishedCell::Shown CFinishedCell::DecodeJpegIntoTheCell(const CellKey& key)
{
    JpegFit fitted = {key.box, {}, 0, 0};
    HGLOBAL block = LoadJPGFitted(key.path.c_str(), &CFinishedCell::FitJpeg, &fitted);
    if (block == nullptr)
        return Failed(GetLastPicLibError());
    {
        BlockLock lock(block);
        if (lock.Bytes() == nullptr) {
            GlobalFree(block);
            return Failed(IL_ERR_NO_MEMORY);
        }
        m_nColours = picture::ReadFacts(lock.Bytes()).colours;
    }
    m_bLoaded = true;
    m_nWidth = fitted.width;
    m_nHeight = fitted.height;
    m_fit = fitted.fit;
    // A side of no pixels, as a thin picture may shrink to, shows nothing.
    if (!m_fit.drawable || m_fit.width == 0 || m_fit.height == 0)
        return FreedBlock(block);
    return {block, false};
}

CFinishedCell::Shown CFinishedCell::DecodeWholeAndFit(int fileType, const CellKey& key)
{
    std::lock_guard<std::mutex> turn(WholeDecodeTurn());
    int status = 0;
    HGLOBAL whole = picture::LoadBlockOfType(fileType, key.path.c_str(), &status);
    if (whole == nullptr)
        return Failed(status);
    Shown shown = Failed(IL_ERR_NO_MEMORY);
    {
        BlockLock lock(whole);
        if (lock.Bytes() != nullptr)
            shown = Fit(whole, lock.Bytes(), key.box);
    }
    if (shown.block != whole)
        GlobalFree(whole);
    return shown;
}

CFinishedCell::Shown CFinishedCell::FreedBlock(HGLOBAL block)
{
    GlobalFree(block);
    return Nothing();
}

// A 32-bit screen takes four bytes a pixel as they are and converts three,
// which costs the window thread eight times as long per draw.
HGLOBAL CFinishedCell::WidenedForTheScreen(HGLOBAL shown)
{
    if (shown == nullptr)
        return nullptr;
    HGLOBAL wide = nullptr;
    {
        BlockLock lock(shown);
        if (lock.Bytes() != nullptr && picture::ReadFacts(lock.Bytes()).bitCount == 24)
            wide = picture::WidenedTo32Bits(lock.Bytes());
    }
    if (wide == nullptr)
        return shown;
    GlobalFree(shown);
    return wide;
}

CFinishedCell::Shown CFinishedCell::Fit(HGLOBAL whole, const BYTE* bytes, const CellBox& box)
{
    const picture::Facts facts = picture::ReadFacts(bytes);
    m_bLoaded = true;
    m_nWidth = facts.width;
    m_nHeight = facts.height;
    m_nColours = facts.colours;
    m_fit = FitIntoBox(facts.width, facts.height, box);
    if (!m_fit.drawable)
        return Nothing();
    if (m_fit.width == facts.width && m_fit.height == facts.height)
        return {whole, false};
    // Without its fitted copy the picture is not shown at all: at its own
    // size it would cover the cells around it. Memory may come back.
    int status = 0;
    HGLOBAL fitted = g_pfnResizedBlock(bytes, m_fit.width, m_fit.height, &status);
    return fitted != nullptr ? Shown{fitted, false} : Failed(IL_ERR_NO_MEMORY);
}

bool CurrentCellKey(const std::string& path, const CellBox& box, int screenBits, CellKey* key)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    key->path = path;
    key->fileSize = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    key->writeTime = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                     data.ftLastWriteTime.dwLowDateTime;
    key->box = box;
    key->screenBits = screenBits;
    return true;
}
