#include "album/export/ZipExport.h"

#include <cstdio>
#include <memory>

#include "album/export/Sha256.h"

// The zip library's headers declare C functions themselves; iowin32.h
// needs ioapi.h, which zip.h brings, before it.
#include "zip.h"
#include "unzip.h"
#include "iowin32.h"

namespace {

const DWORD kPieceBytes = 1 << 20;
// A picture held by another program is tried again this often.
const DWORD kHeldWaitMs = 100;
// Names in the zip are UTF-8 (the general purpose flag's bit 11).
const uLong kUtf8Names = 1u << 11;
// Room for a name in the zip read back, its terminator included.
const size_t kNameBytes = 4096;

std::string IsoOf(const SYSTEMTIME& t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    return text;
}

std::string IsoOf(const FILETIME& time)
{
    SYSTEMTIME t = {};
    FileTimeToSystemTime(&time, &t);
    return IsoOf(t);
}

// The zip's own dates are local DOS dates.
uLong DosDateOf(const FILETIME& time)
{
    FILETIME local;
    WORD date = 0, clock = 0;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToDosDateTime(&local, &date, &clock))
        return 0;
    return static_cast<uLong>(date) << 16 | clock;
}

bool IsDiskFull(DWORD error)
{
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
}

// A write that the system cut short without an error (as Wine does on a
// full filesystem) is a full drive when the drive has no room for another
// piece.
bool HasNoRoomLeft(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    ULARGE_INTEGER free = {};
    return GetDiskFreeSpaceExA(folder.c_str(), &free, nullptr, nullptr) && free.QuadPart < 2 * kPieceBytes;
}

// The system's file functions for the zip, with the error of the last write
// that failed kept: the zip library reports only that it failed, and calls
// made after the failure clear the thread's last error.
struct WriteErrorKeeper {
    zlib_filefunc64_def system;
    DWORD error = 0;

    static uLong ZCALLBACK Write(voidpf opaque, voidpf stream, const void* buffer, uLong size)
    {
        auto* self = static_cast<WriteErrorKeeper*>(opaque);
        const uLong written = self->system.zwrite_file(self->system.opaque, stream, buffer, size);
        if (written != size)
            self->error = GetLastError() != 0 ? GetLastError() : ERROR_WRITE_FAULT;
        return written;
    }
    zlib_filefunc64_def Functions()
    {
        fill_win32_filefunc64A(&system);
        zlib_filefunc64_def functions = system;
        functions.zwrite_file = &WriteErrorKeeper::Write;
        functions.opaque = this;
        return functions;
    }
    ExportResult Failure(const std::string& path) const
    {
        DWORD cause = error != 0 ? error : GetLastError();
        if (cause == 0)
            cause = ERROR_WRITE_FAULT;
        if (cause == ERROR_WRITE_FAULT && HasNoRoomLeft(path))
            cause = ERROR_DISK_FULL;
        return {IsDiskFull(cause) ? ExportOutcome::DiskFull : ExportOutcome::WriteFailed, path, cause};
    }
};

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

// Opens a picture to read; others may read it meanwhile but not change it.
ExportResult OpenPicture(const std::string& path, const std::atomic<bool>& cancel, FileHandle* file)
{
    const DWORD started = GetTickCount();
    for (;;) {
        const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            file->reset(handle);
            return {};
        }
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return {ExportOutcome::PictureGone, path, error};
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
        if (!held)
            return {ExportOutcome::ReadFailed, path, error};
        if (GetTickCount() - started >= CZipExport::s_nHeldPatienceMs)
            return {ExportOutcome::PictureHeld, path, error};
        if (cancel)
            return {ExportOutcome::Cancelled, path, 0};
        Sleep(kHeldWaitMs);
    }
}

struct ZipCloser {
    void operator()(zipFile zip) const { zipClose(zip, nullptr); }
};
struct UnzipCloser {
    void operator()(unzFile zip) const { unzClose(zip); }
};

bool AddText(zipFile zip, const char* name, const std::string& text)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    zip_fileinfo info = {};
    info.dosDate = DosDateOf(now);
    if (zipOpenNewFileInZip4_64(zip, name, &info, nullptr, 0, nullptr, 0, nullptr, 0, 0, 0, -MAX_WBITS,
                                DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 0, kUtf8Names, 0) != ZIP_OK)
        return false;
    const bool written = zipWriteInFileInZip(zip, text.data(), static_cast<unsigned>(text.size())) == ZIP_OK;
    return zipCloseFileInZip(zip) == ZIP_OK && written;
}

}  // namespace

std::string Utf8OfSystemText(const std::string& text)
{
    if (text.empty())
        return text;
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring unicode(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &unicode[0], wide);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, unicode.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, unicode.data(), wide, &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

DWORD CZipExport::s_nHeldPatienceMs = 2000;

CZipExport::CZipExport(std::vector<ExportSource> sources, std::string target, std::string albumFolder)
    : m_sources(std::move(sources)),
      m_strTarget(std::move(target)),
      m_strTemporary(m_strTarget + ".partial"),
      m_strAlbumFolder(std::move(albumFolder))
{
}

ExportResult CZipExport::Run()
{
    uint64_t total = 0;
    for (const ExportSource& source : m_sources) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExA(source.path.c_str(), GetFileExInfoStandard, &data))
            total += static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    }
    // Written, then read back: each byte counts twice.
    m_nBytesTotal = 2 * total;

    std::vector<ExportedPicture> written;
    ExportResult result = WriteZip(&written);
    if (result.outcome == ExportOutcome::Done)
        result = CheckZip(written);
    if (result.outcome == ExportOutcome::Done && m_bCancel)
        result = {ExportOutcome::Cancelled, std::string(), 0};
    if (result.outcome == ExportOutcome::Done &&
        !MoveFileExA(m_strTemporary.c_str(), m_strTarget.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        result = {ExportOutcome::WriteFailed, m_strTarget, GetLastError()};
    if (result.outcome != ExportOutcome::Done)
        DeleteFileA(m_strTemporary.c_str());
    return result;
}

ExportResult CZipExport::WriteZip(std::vector<ExportedPicture>* written)
{
    CSha256 sha;
    if (!sha.Ready())
        return {ExportOutcome::NoHash, std::string(), 0};
    WriteErrorKeeper keeper;
    zlib_filefunc64_def io = keeper.Functions();
    std::unique_ptr<void, ZipCloser> zip(zipOpen2_64(m_strTemporary.c_str(), APPEND_STATUS_CREATE, nullptr, &io));
    if (zip == nullptr)
        return keeper.Failure(m_strTarget);
    std::vector<char> piece(kPieceBytes);

    for (size_t i = 0; i < m_sources.size(); ++i) {
        const ExportSource& source = m_sources[i];
        FileHandle file;
        const ExportResult opened = OpenPicture(source.path, m_bCancel, &file);
        if (opened.outcome != ExportOutcome::Done)
            return opened;
        BY_HANDLE_FILE_INFORMATION about = {};
        if (!GetFileInformationByHandle(file.get(), &about))
            return {ExportOutcome::ReadFailed, source.path, GetLastError()};
        const uint64_t size = static_cast<uint64_t>(about.nFileSizeHigh) << 32 | about.nFileSizeLow;
        zip_fileinfo info = {};
        info.dosDate = DosDateOf(about.ftLastWriteTime);
        if (zipOpenNewFileInZip4_64(zip.get(), source.zipPath.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, 0, 0,
                                    0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 0, kUtf8Names,
                                    size >= 0xFFFFFFFFull ? 1 : 0) != ZIP_OK)
            return keeper.Failure(m_strTarget);

        uint64_t read = 0;
        for (;;) {
            if (m_bCancel)
                return {ExportOutcome::Cancelled, std::string(), 0};
            DWORD got = 0;
            if (!ReadFile(file.get(), piece.data(), kPieceBytes, &got, nullptr))
                return {ExportOutcome::ReadFailed, source.path, GetLastError()};
            if (got == 0)
                break;
            sha.Update(piece.data(), got);
            if (zipWriteInFileInZip(zip.get(), piece.data(), got) != ZIP_OK)
                return keeper.Failure(m_strTarget);
            read += got;
            m_nBytesDone += got;
        }
        if (zipCloseFileInZip(zip.get()) != ZIP_OK)
            return keeper.Failure(m_strTarget);
        ExportedPicture picture;
        picture.zipPath = source.zipPath;
        picture.originalPath = Utf8OfSystemText(source.path);
        picture.size = read;
        picture.sha256 = sha.FinishHex();
        picture.writeTimeUtc = IsoOf(about.ftLastWriteTime);
        picture.day = source.day;
        picture.camera = source.camera;
        picture.cameraName = source.cameraName;
        if (picture.sha256.empty())
            return {ExportOutcome::NoHash, std::string(), 0};
        written->push_back(std::move(picture));
        ++m_nPicturesDone;
        if (m_afterPicture)
            m_afterPicture(static_cast<int>(i));
    }

    SYSTEMTIME now;
    GetSystemTime(&now);
    if (!AddText(zip.get(), "SHA256SUMS", Sha256SumsText(*written)) ||
        !AddText(zip.get(), "manifest.csv",
                 ManifestCsv(IsoOf(now), Utf8OfSystemText(m_strAlbumFolder), *written)))
        return keeper.Failure(m_strTarget);
    // The central directory is written now: its failure is the export's.
    if (zipClose(zip.release(), nullptr) != ZIP_OK)
        return keeper.Failure(m_strTarget);
    return {};
}

ExportResult CZipExport::CheckZip(const std::vector<ExportedPicture>& written)
{
    const ExportResult unreadable = {ExportOutcome::CheckFailed, m_strTarget, 0};
    CSha256 sha;
    zlib_filefunc64_def io;
    fill_win32_filefunc64A(&io);
    std::unique_ptr<void, UnzipCloser> zip(unzOpen2_64(m_strTemporary.c_str(), &io));
    unz_global_info64 global = {};
    if (zip == nullptr || unzGetGlobalInfo64(zip.get(), &global) != UNZ_OK ||
        global.number_entry != written.size() + 2)
        return unreadable;
    std::vector<char> piece(kPieceBytes);
    // The entries in the order they were written: a search by name would
    // read the directory from its start for every picture.
    std::vector<char> name(kNameBytes);
    for (size_t i = 0; i < written.size(); ++i) {
        const ExportedPicture& picture = written[i];
        unz_file_info64 about = {};
        const int moved = i == 0 ? unzGoToFirstFile(zip.get()) : unzGoToNextFile(zip.get());
        if (moved != UNZ_OK ||
            unzGetCurrentFileInfo64(zip.get(), &about, name.data(), static_cast<uLong>(name.size()), nullptr, 0,
                                    nullptr, 0) != UNZ_OK ||
            picture.zipPath != name.data() || unzOpenCurrentFile(zip.get()) != UNZ_OK)
            return unreadable;
        uint64_t size = 0;
        int got = 0;
        while ((got = unzReadCurrentFile(zip.get(), piece.data(), kPieceBytes)) > 0) {
            if (m_bCancel) {
                unzCloseCurrentFile(zip.get());
                return {ExportOutcome::Cancelled, std::string(), 0};
            }
            sha.Update(piece.data(), static_cast<size_t>(got));
            size += static_cast<unsigned>(got);
            m_nBytesDone += static_cast<unsigned>(got);
        }
        // Closing checks the entry's CRC too.
        const bool whole = unzCloseCurrentFile(zip.get()) == UNZ_OK && got == 0;
        if (!whole || size != picture.size || sha.FinishHex() != picture.sha256)
            return {ExportOutcome::CheckFailed, m_sources[i].path, 0};
    }
    return {};
}
