// The picture library DLL: files in and out, movable global memory blocks,
// and each thread's last error number. The codecs themselves live in core/
// and work on memory only; nothing else is kept between calls, so that
// threads may load and save at once.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ImageLoad.h"
#include "imageload/core/Codecs.h"
#include "imageload/core/JpegIndex.h"

static_assert(IL_MAX_PIXELS == il::kMaxPixels, "the header states the core's limit");
// One numbering of file types: the core's is the header's.
static_assert(static_cast<int>(il::Format::Unknown) == IL_TYPE_UNKNOWN && static_cast<int>(il::Format::Bmp) == IL_TYPE_BMP &&
                  static_cast<int>(il::Format::Gif) == IL_TYPE_GIF && static_cast<int>(il::Format::Pcx) == IL_TYPE_PCX &&
                  static_cast<int>(il::Format::Tga) == IL_TYPE_TGA && static_cast<int>(il::Format::Jpg) == IL_TYPE_JPG &&
                  static_cast<int>(il::Format::Tif) == IL_TYPE_TIF,
              "FileType answers the core's format");

namespace {

// Larger files cannot hold a picture within the size limit in any format
// we read, and reading them whole would exhaust a 32-bit address space.
constexpr LONGLONG kMaxFileBytes = 512ll * 1024 * 1024;

// Each thread's last error number lives in a thread-local slot, as the
// system's own last error does; the slot holds the number itself.
DWORD g_errorSlot = TLS_OUT_OF_INDEXES;

int Failed(il::Status status)
{
    TlsSetValue(g_errorSlot, reinterpret_cast<LPVOID>(static_cast<INT_PTR>(status)));
    return 0;
}

int LastError()
{
    // TlsGetValue clears the system's last error, which is the caller's.
    const DWORD systemError = GetLastError();
    const int error = static_cast<int>(reinterpret_cast<INT_PTR>(TlsGetValue(g_errorSlot)));
    SetLastError(systemError);
    return error;
}

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle()
    {
        if (Valid()) CloseHandle(h_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    void Reset(HANDLE h)
    {
        if (Valid()) CloseHandle(h_);
        h_ = h;
    }
    // Closes now and reports whether the close (the last write) succeeded.
    bool Close()
    {
        HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return CloseHandle(h) != 0;
    }

private:
    HANDLE h_;
};

// Opens a file for reading. The program that writes the file (the host
// recording its snapshots) may overwrite, rename or delete it meanwhile.
HANDLE OpenForReading(const char* path)
{
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

bool StopAsked(const volatile LONG* stop) { return stop != nullptr && *stop != 0; }

// Reads count bytes at offset into to, a few megabytes at a time, looking
// at stop (null: never) between them; the number read, fewer when the file
// ends first.
il::Status ReadAt(HANDLE file, LONGLONG offset, uint8_t* to, size_t count, size_t* read,
                  const volatile LONG* stop = nullptr)
{
    *read = 0;
    LARGE_INTEGER at;
    at.QuadPart = offset;
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) return il::Status::File;
    while (*read < count) {
        if (StopAsked(stop)) return il::Status::Stopped;
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(count - *read, 1u << 22));
        if (!ReadFile(file, to + *read, want, &got, nullptr)) return il::Status::File;
        if (got == 0) break;  // the file shrank while we read it
        *read += got;
    }
    return il::Status::Ok;
}

// Opens a file and learns its size, up to limit bytes (above it TooLarge
// when the whole file is wanted); a missing, unreadable or empty file is
// IL_ERR_FILE.
il::Status OpenSized(const char* path, LONGLONG limit, bool wholeFile, FileHandle& file, size_t* size)
{
    if (!path || !*path) return il::Status::File;
    file.Reset(OpenForReading(path));
    LARGE_INTEGER bytes;
    if (!file.Valid() || !GetFileSizeEx(file.Get(), &bytes) || bytes.QuadPart == 0) return il::Status::File;
    if (bytes.QuadPart > limit) {
        if (wholeFile) return il::Status::TooLarge;
        bytes.QuadPart = limit;
    }
    *size = static_cast<size_t>(bytes.QuadPart);
    return il::Status::Ok;
}

// Reads up to limit bytes of a file (see OpenSized), looking at stop
// between pieces.
il::Status ReadFileBytes(const char* path, LONGLONG limit, bool wholeFile, std::vector<uint8_t>& bytes,
                         const volatile LONG* stop = nullptr)
{
    FileHandle file(INVALID_HANDLE_VALUE);
    size_t size = 0;
    il::Status s = OpenSized(path, limit, wholeFile, file, &size);
    if (s != il::Status::Ok) return s;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        return il::Status::NoMemory;
    }
    size_t done = 0;
    s = ReadAt(file.Get(), 0, bytes.data(), bytes.size(), &done, stop);
    if (s != il::Status::Ok) return s;
    bytes.resize(done);
    return done ? il::Status::Ok : il::Status::File;
}

// A JPEG read as far as a region decode asks: at first the headers its
// notes name, then the band it decodes (or the whole file where the notes
// do not serve); the rest of the bytes stay zero and are never looked at.
class RangeReader : public il::JpegFileRanges {
public:
    il::Status Open(const char* path, size_t head)
    {
        size_t size = 0;
        il::Status s = OpenSized(path, kMaxFileBytes, true, file_, &size);
        if (s != il::Status::Ok) return s;
        try {
            bytes_.assign(size, 0);
        } catch (const std::bad_alloc&) {
            return il::Status::NoMemory;
        }
        return Fill(0, std::min(head, size)) ? il::Status::Ok : il::Status::File;
    }
    bool Fill(size_t from, size_t to) noexcept override
    {
        size_t read = 0;
        return from <= to && to <= bytes_.size() &&
               ReadAt(file_.Get(), static_cast<LONGLONG>(from), bytes_.data() + from, to - from, &read) ==
                   il::Status::Ok &&
               read == to - from;
    }
    il::Bytes Bytes() const { return {bytes_.data(), bytes_.size()}; }

private:
    FileHandle file_{INVALID_HANDLE_VALUE};
    std::vector<uint8_t> bytes_;
};

// Decoders write straight into a movable global block, locked while they work.
class GlobalBlockAllocator : public il::DibAllocator {
public:
    GlobalBlockAllocator() = default;
    GlobalBlockAllocator(const GlobalBlockAllocator&) = delete;
    GlobalBlockAllocator& operator=(const GlobalBlockAllocator&) = delete;
    ~GlobalBlockAllocator() override { Discard(); }

    uint8_t* Allocate(size_t bytes) override
    {
        Discard();
        handle_ = GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (!handle_) return nullptr;
        pointer_ = static_cast<uint8_t*>(GlobalLock(handle_));
        if (!pointer_) Discard();
        return pointer_;
    }

    // Hands the unlocked block to the caller.
    HGLOBAL Release()
    {
        HGLOBAL h = handle_;
        if (pointer_) GlobalUnlock(h);
        handle_ = nullptr;
        pointer_ = nullptr;
        return h;
    }

private:
    void Discard()
    {
        if (!handle_) return;
        if (pointer_) GlobalUnlock(handle_);
        GlobalFree(handle_);
        handle_ = nullptr;
        pointer_ = nullptr;
    }

    HGLOBAL handle_ = nullptr;
    uint8_t* pointer_ = nullptr;
};

// Reads the file and hands its bytes to a decoder that writes the block.
template <typename Decoder>
HGLOBAL Load(const char* path, Decoder decode)
{
    try {
        std::vector<uint8_t> bytes;
        il::Status s = ReadFileBytes(path, kMaxFileBytes, true, bytes);
        if (s != il::Status::Ok) return reinterpret_cast<HGLOBAL>(Failed(s));
        GlobalBlockAllocator block;
        s = decode(il::Bytes{bytes.data(), bytes.size()}, block);
        if (s != il::Status::Ok) return reinterpret_cast<HGLOBAL>(Failed(s));
        return block.Release();
    } catch (...) {
        return reinterpret_cast<HGLOBAL>(Failed(il::Status::NoMemory));
    }
}

HGLOBAL Load(il::Format format, const char* path)
{
    return Load(path, [format](il::Bytes file, il::DibAllocator& out) { return il::Decode(format, file, out); });
}

// The caller's fit procedure; none keeps the picture's own size.
class FitProcedure : public il::JpegFit {
public:
    FitProcedure(IL_FIT_PROC procedure, void* context) : procedure_(procedure), context_(context) {}

    bool Choose(uint32_t width, uint32_t height, int64_t& targetWidth, int64_t& targetHeight) noexcept override
    {
        int chosenWidth = static_cast<int>(width), chosenHeight = static_cast<int>(height);
        if (procedure_) {
            try {
                if (!procedure_(context_, chosenWidth, chosenHeight, &chosenWidth, &chosenHeight)) return false;
            } catch (...) {
                return false;
            }
        }
        targetWidth = chosenWidth;
        targetHeight = chosenHeight;
        return true;
    }

private:
    IL_FIT_PROC procedure_;
    void* context_;
};

// The caller's region and row procedures.
class RegionProcedures : public il::JpegRegion {
public:
    RegionProcedures(IL_REGION_PROC region, IL_ROW_PROC row, void* context)
        : region_(region), row_(row), context_(context)
    {
    }

    bool Choose(uint32_t width, uint32_t height, il::JpegRect& rect) noexcept override
    {
        int x = 0, y = 0, w = 0, h = 0;
        try {
            if (!region_ || !region_(context_, static_cast<int>(width), static_cast<int>(height), &x, &y, &w, &h))
                return false;
        } catch (...) {
            return false;
        }
        // A rectangle reaching out of the picture is clipped; one starting
        // left of or above it loses what lies there.
        const int64_t right = static_cast<int64_t>(x) + w, bottom = static_cast<int64_t>(y) + h;
        const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
        rect.x = static_cast<uint32_t>(std::min<int64_t>(left, width));
        rect.y = static_cast<uint32_t>(std::min<int64_t>(top, height));
        rect.width = static_cast<uint32_t>(std::max<int64_t>(0, std::min<int64_t>(right, width) - rect.x));
        rect.height = static_cast<uint32_t>(std::max<int64_t>(0, std::min<int64_t>(bottom, height) - rect.y));
        return true;
    }

    bool Row(uint32_t y, const uint8_t* bgr) noexcept override
    {
        try {
            return row_ != nullptr && row_(context_, static_cast<int>(y), bgr) != 0;
        } catch (...) {
            return false;
        }
    }

private:
    IL_REGION_PROC region_;
    IL_ROW_PROC row_;
    void* context_;
};

// A block given to a saver, locked for the duration of the save.
class LockedBlock {
public:
    explicit LockedBlock(HGLOBAL h) : handle_(h)
    {
        if (!h) return;
        pointer_ = static_cast<const uint8_t*>(GlobalLock(h));
        if (pointer_) size_ = GlobalSize(h);
    }
    ~LockedBlock()
    {
        if (pointer_) GlobalUnlock(handle_);
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    il::Bytes Bytes() const { return {pointer_, size_}; }
    bool Valid() const { return pointer_ != nullptr; }

private:
    HGLOBAL handle_;
    const uint8_t* pointer_ = nullptr;
    size_t size_ = 0;
};

bool WriteAll(HANDLE file, const std::vector<uint8_t>& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        if (!WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0) return false;
        done += wrote;
    }
    return true;
}

// The system's long form ("\\?\C:\...") of a path that fits MAX_PATH once
// made absolute; empty for one that does not. The temporary file beside the
// target may then lie a little beyond MAX_PATH.
std::wstring LongFormOfFittingPath(const char* path)
{
    const UINT codePage = AreFileApisANSI() ? CP_ACP : CP_OEMCP;
    int units = MultiByteToWideChar(codePage, 0, path, -1, nullptr, 0);
    if (units <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(codePage, 0, path, -1, &wide[0], units);
    wchar_t full[MAX_PATH];
    DWORD length = GetFullPathNameW(wide.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    std::wstring absolute(full, length);
    if (absolute.compare(0, 4, L"\\\\?\\") == 0) return absolute;
    if (absolute.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + absolute.substr(2);
    return L"\\\\?\\" + absolute;
}

// A short name for a temporary file in the target's folder: a target name
// may be as long as one name can be (255 characters), so the temporary
// name cannot be made from it. Unique per process, thread and call, since
// saves may run on several threads at once.
std::wstring TemporaryBeside(const std::wstring& target)
{
    static volatile LONG s_saves = 0;
    const size_t slash = target.find_last_of(L'\\');
    wchar_t name[64];
    swprintf(name, 64, L"~il%lx-%lx-%lx.tmp", static_cast<unsigned long>(GetCurrentProcessId()),
             static_cast<unsigned long>(GetCurrentThreadId()),
             static_cast<unsigned long>(InterlockedIncrement(&s_saves)));
    return target.substr(0, slash + 1) + name;
}

// Writes beside the target under a temporary name and renames it over the
// target, so a failure (full disk, power cut) never leaves a partial file
// under the target name.
il::Status WriteFileAtomically(const char* path, const std::vector<uint8_t>& bytes)
{
    if (!path || !*path) return il::Status::Write;
    const std::wstring target = LongFormOfFittingPath(path);
    if (target.empty()) return il::Status::Write;
    // A file left by an earlier process of the same number is passed over.
    std::wstring temporary;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 8 && created == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = TemporaryBeside(target);
        created = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    FileHandle file(created);
    if (!file.Valid()) return il::Status::Write;
    bool written = WriteAll(file.Get(), bytes);
    written = file.Close() && written;
    if (!written || !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary.c_str());
        return il::Status::Write;
    }
    return il::Status::Ok;
}

template <typename Encoder>
int Save(const char* path, HGLOBAL dib, Encoder encode)
{
    try {
        std::vector<uint8_t> bytes;
        il::Status s = il::Status::NoPicture;
        {
            LockedBlock block(dib);
            if (!block.Valid()) return Failed(il::Status::NoPicture);
            s = encode(block.Bytes(), bytes);
        }
        if (s != il::Status::Ok) return Failed(s);
        s = WriteFileAtomically(path, bytes);
        return s == il::Status::Ok ? 1 : Failed(s);
    } catch (...) {
        return Failed(il::Status::NoMemory);
    }
}

const char* ExtensionOf(const char* path)
{
    const char* dot = nullptr;
    for (const char* p = path; *p; ++p) {
        if (*p == '.') dot = p;
        if (*p == '\\' || *p == '/') dot = nullptr;
    }
    return dot ? dot : "";
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_errorSlot = TlsAlloc();
        return g_errorSlot != TLS_OUT_OF_INDEXES;
    }
    if (reason == DLL_PROCESS_DETACH && g_errorSlot != TLS_OUT_OF_INDEXES) TlsFree(g_errorSlot);
    return TRUE;
}

int __cdecl FileType(const char* path)
{
    try {
        std::vector<uint8_t> head;
        il::Status s = ReadFileBytes(path, 4096, false, head);
        if (s != il::Status::Ok) return Failed(s);
        il::Format f = il::DetectFormat({head.data(), head.size()}, ExtensionOf(path));
        if (f == il::Format::Unknown) return Failed(il::Status::Corrupt);
        return static_cast<int>(f);
    } catch (...) {
        return Failed(il::Status::NoMemory);
    }
}

HGLOBAL __cdecl LoadBMP(const char* path) { return Load(il::Format::Bmp, path); }
HGLOBAL __cdecl LoadGIF(const char* path) { return Load(il::Format::Gif, path); }
HGLOBAL __cdecl LoadPCX(const char* path) { return Load(il::Format::Pcx, path); }
HGLOBAL __cdecl LoadTGA(const char* path) { return Load(il::Format::Tga, path); }
HGLOBAL __cdecl LoadJPG(const char* path) { return Load(il::Format::Jpg, path); }
HGLOBAL __cdecl LoadTIF(const char* path) { return Load(il::Format::Tif, path); }

HGLOBAL __cdecl LoadJPGFitted(const char* path, IL_FIT_PROC fit, void* context)
{
    return Load(path, [fit, context](il::Bytes file, il::DibAllocator& out) {
        FitProcedure procedure(fit, context);
        return il::DecodeJpegFitted(file, procedure, out);
    });
}

HGLOBAL __cdecl IndexJPG(const char* path) { return IndexJPGUntil(path, nullptr); }

HGLOBAL __cdecl IndexJPGUntil(const char* path, const volatile LONG* stop)
{
    try {
        std::vector<uint8_t> bytes;
        il::Status s = ReadFileBytes(path, kMaxFileBytes, true, bytes, stop);
        if (s != il::Status::Ok) return reinterpret_cast<HGLOBAL>(Failed(s));
        std::vector<uint8_t> notes;
        if (!il::IndexJpeg(il::Bytes{bytes.data(), bytes.size()}, notes, stop))
            return reinterpret_cast<HGLOBAL>(Failed(StopAsked(stop) ? il::Status::Stopped : il::Status::Unsupported));
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, notes.size());
        void* to = block != nullptr ? GlobalLock(block) : nullptr;
        if (to == nullptr) {
            if (block != nullptr) GlobalFree(block);
            return reinterpret_cast<HGLOBAL>(Failed(il::Status::NoMemory));
        }
        std::copy(notes.begin(), notes.end(), static_cast<uint8_t*>(to));
        GlobalUnlock(block);
        return block;
    } catch (...) {
        return reinterpret_cast<HGLOBAL>(Failed(il::Status::NoMemory));
    }
}

int __cdecl ReadJPGRegion(const char* path, HGLOBAL index, IL_REGION_PROC region, IL_ROW_PROC row, void* context)
{
    try {
        LockedBlock notes(index);
        const il::Bytes noted = notes.Valid() ? notes.Bytes() : il::Bytes{nullptr, 0};
        RangeReader file;
        il::Status s = file.Open(path, il::NotedHeadBytes(noted));
        if (s != il::Status::Ok) return Failed(s);
        RegionProcedures procedures(region, row, context);
        s = il::DecodeJpegRegion(file.Bytes(), procedures, il::kMaxPixels, noted, &file);
        return s == il::Status::Ok ? 1 : Failed(s);
    } catch (...) {
        return Failed(il::Status::NoMemory);
    }
}

int __cdecl SaveBMP(const char* path, HGLOBAL dib) { return Save(path, dib, il::EncodeBmp); }
int __cdecl SaveGIF(const char* path, HGLOBAL dib) { return Save(path, dib, il::EncodeGif); }
int __cdecl SavePCX(const char* path, HGLOBAL dib) { return Save(path, dib, il::EncodePcx); }
int __cdecl SaveTGA(const char* path, HGLOBAL dib) { return Save(path, dib, il::EncodeTga); }
int __cdecl SaveTIF(const char* path, HGLOBAL dib) { return Save(path, dib, il::EncodeTiff); }

int __cdecl SaveJPG(const char* path, HGLOBAL dib, int quality)
{
    return Save(path, dib, [quality](il::Bytes b, std::vector<uint8_t>& out) { return il::EncodeJpeg(b, quality, out); });
}

int __cdecl GetLastPicLibError(void) { return LastError(); }

}  // extern "C"
