// The commands on the marked pictures: export them into a zip with their
// checksums and manifest (on a thread of its own, the browser answering
// meanwhile), and delete them. With nothing marked the export takes the
// current picture.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "album/AlbumMessages.h"
#include "album/AlbumView.h"
#include "archive/DayFolderName.h"
#include "bridge/ModuleGlobals.h"
#include "framework/FileDialog.h"
#include "framework/Frame.h"
#include "framework/Module.h"
#include "res/resource.h"

namespace {

// The name the host's settings give the camera of a day folder's number;
// entries the host left empty read as channel 0 without a name.
std::string CameraName(int folderNumber)
{
    for (const ChannelEntry& entry : g_settings.channels) {
        const std::string name(entry.szName, strnlen(entry.szName, sizeof entry.szName));
        if (entry.nFolderChannel == folderNumber - 1 && !name.empty())
            return name;
    }
    return std::string();
}

std::string SystemErrorText(DWORD error)
{
    char* text = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length != 0 && text != nullptr ? std::string(text, length) : "error " + std::to_string(error);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message;
}

std::string OutcomeMessage(const ExportResult& result, const std::string& target, int pictures)
{
    switch (result.outcome) {
    case ExportOutcome::Done:
        return MessageWith(IDS_EXPORT_DONE, target, pictures);
    case ExportOutcome::Cancelled:
        return MessageWith(IDS_EXPORT_CANCELLED, target);
    case ExportOutcome::DiskFull:
        return MessageWith(IDS_EXPORT_DISK_FULL, target);
    case ExportOutcome::PictureGone:
        return MessageWith(IDS_EXPORT_PICTURE_GONE, result.picture);
    case ExportOutcome::PictureHeld:
        return MessageWith(IDS_EXPORT_PICTURE_HELD, result.picture);
    case ExportOutcome::CheckFailed:
        return MessageWith(IDS_EXPORT_CHECK_FAILED, result.picture);
    case ExportOutcome::NoHash:
        return MessageWith(IDS_EXPORT_FAILED, "SHA-256");
    case ExportOutcome::ReadFailed:
    case ExportOutcome::WriteFailed:
        break;
    }
    return MessageWith(IDS_EXPORT_FAILED, result.picture + ": " + SystemErrorText(result.error));
}

}  // namespace

// Each marked file once (a name of two patterns is listed twice), in list
// order; the current picture when none is marked.
std::vector<ExportSource> CAlbumView::MarkedExportSources() const
{
    std::vector<int> indices = MarkedIndices();
    if (indices.empty() && HasCurrent())
        indices.push_back(m_nCurrent);
    std::vector<ExportSource> sources;
    std::set<std::string> taken;
    for (int index : indices) {
        const std::string& path = m_arrPaths[static_cast<size_t>(index)];
        if (!taken.insert(path).second)
            continue;
        ExportSource source;
        source.path = path;
        if (ReadDayFolderOfFile(path, &source.day, &source.camera))
            source.cameraName = Utf8OfSystemText(CameraName(source.camera));
        else
            source.camera = 0;
        source.zipPath = ZipPathOf(Utf8OfSystemText(m_arrNames[static_cast<size_t>(index)]), source.day, source.camera);
        sources.push_back(std::move(source));
    }
    return sources;
}

void CAlbumView::OnExportMarked()
{
    // One export at a time.
    if (m_pExport != nullptr)
        return;
    std::vector<ExportSource> sources = MarkedExportSources();
    if (sources.empty())
        return;
    const std::string filter = MessageWith(IDS_EXPORT_FILTER);
    CFileDialog dialog(filter.c_str(), 1);
    dialog.SetDefaultExtension("zip");
    // The dialog asks before an existing file is replaced; the export
    // replaces it only once the new zip is complete.
    if (dialog.DoModal() != IDOK)
        return;
    auto job = std::make_unique<CExportJob>(std::move(sources), dialog.GetPathName(), m_strListFolder);
    if (!job->Start(GetParentFrame() != nullptr ? GetParentFrame()->m_hWnd : m_hWnd, m_hWnd, UM_EXPORT_DONE)) {
        FwMessageBox(MessageWith(IDS_EXPORT_FAILED, SystemErrorText(ERROR_NOT_ENOUGH_MEMORY)).c_str());
        return;
    }
    m_pExport = std::move(job);
}

void CAlbumView::OnExportDone()
{
    if (m_pExport == nullptr)
        return;
    std::unique_ptr<CExportJob> job = std::move(m_pExport);
    const ExportResult result = job->Finish(false);
    const std::string target = job->Export().Target();
    const int pictures = job->Export().PictureCount();
    job.reset();
    FwMessageBox(OutcomeMessage(result, target, pictures).c_str());
}

void CAlbumView::OnDeleteMarked()
{
    const std::vector<int> marked = MarkedIndices();
    if (marked.empty())
        return;
    // The files the question counts, whatever the album does while it is open.
    std::vector<std::pair<std::string, std::string>> files;
    for (int index : marked)
        files.emplace_back(m_arrPaths[static_cast<size_t>(index)], m_arrNames[static_cast<size_t>(index)]);
    if (FwMessageBox(MessageWith(IDS_DELETE_MARKED_QUESTION, std::string(), static_cast<int>(files.size())).c_str(),
                     MB_YESNO) != IDYES)
        return;
    std::string stayed;
    for (const auto& file : files) {
        const std::string error = DeletePictureFile(file.first);
        if (error.empty())
            RemoveListed(file.first);
        else
            stayed += file.second + ": " + error + "\n";
    }
    Invalidate(TRUE);
    if (!stayed.empty())
        FwMessageBox(MessageWith(IDS_DELETE_MARKED_FAILED, stayed).c_str());
}
