// One export of pictures into a zip: each picture stored byte for byte
// under its path in the zip and hashed as it is read, then SHA256SUMS and
// manifest.csv; the zip is written under a temporary name beside the
// target, read back and checked against the hashes, and only then renamed
// onto the target. Every failure, and a cancel, leaves no file under the
// target's name that was not there before, and no temporary file.
// Runs on whatever thread calls Run; the cancel flag and the progress
// counters may be read and set from others.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "album/export/ExportManifest.h"

// A picture to export: where it is, and where the zip files it.
struct ExportSource {
    std::string path;           // in the system's code page
    std::string zipPath;        // UTF-8
    std::string day;
    int camera = 0;
    std::string cameraName;     // UTF-8
};

enum class ExportOutcome {
    Done,
    Cancelled,
    DiskFull,           // the target's drive is full
    PictureGone,        // a picture was removed before it was read
    PictureHeld,        // another program holds a picture and does not let it be read
    ReadFailed,         // a picture could not be read (error says why)
    WriteFailed,        // the zip could not be written or renamed (error says why)
    CheckFailed,        // the zip read back is not what was written
    NoHash,             // the system gave no SHA-256
};

struct ExportResult {
    ExportOutcome outcome = ExportOutcome::Done;
    std::string picture;        // the picture concerned, if any
    DWORD error = 0;            // the system's error, if any
};

class CZipExport {
public:
    CZipExport(std::vector<ExportSource> sources, std::string target, std::string albumFolder);

    ExportResult Run();

    // Set from any thread: the export stops at its next piece.
    std::atomic<bool> m_bCancel{false};
    // Bytes of pictures done and in all, and pictures done; total is known
    // once Run has measured the pictures.
    std::atomic<uint64_t> m_nBytesDone{0};
    std::atomic<uint64_t> m_nBytesTotal{0};
    std::atomic<int> m_nPicturesDone{0};
    int PictureCount() const { return static_cast<int>(m_sources.size()); }
    const std::string& Target() const { return m_strTarget; }
    const std::string& TemporaryPath() const { return m_strTemporary; }

    // Called on the exporting thread after each picture, with its index
    // (tests use it to act between two pictures).
    std::function<void(int)> m_afterPicture;

    // How long a picture that another program holds is tried again.
    static DWORD s_nHeldPatienceMs;

private:
    ExportResult WriteZip(std::vector<ExportedPicture>* written);
    ExportResult CheckZip(const std::vector<ExportedPicture>& written);

    std::vector<ExportSource> m_sources;
    std::string m_strTarget;
    std::string m_strTemporary;
    std::string m_strAlbumFolder;
};

// The UTF-8 text of a string in the system's code page.
std::string Utf8OfSystemText(const std::string& text);
