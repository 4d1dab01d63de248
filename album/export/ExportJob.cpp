#include "album/export/ExportJob.h"

#include <system_error>

CExportJob::CExportJob(std::vector<ExportSource> sources, std::string target, std::string albumFolder)
    : m_export(std::move(sources), std::move(target), std::move(albumFolder))
{
}

CExportJob::~CExportJob()
{
    Finish(true);
}

bool CExportJob::Start(HWND owner, HWND notify, UINT doneMessage)
{
    // Without its window the export still runs; it only cannot be cancelled.
    m_progress.Create(owner, &m_export);
    try {
        m_thread = std::thread([this, notify, doneMessage] {
            try {
                m_result = m_export.Run();
            } catch (...) {
                m_result = {ExportOutcome::WriteFailed, m_export.Target(), ERROR_NOT_ENOUGH_MEMORY};
                DeleteFileA(m_export.TemporaryPath().c_str());
            }
            PostMessageA(notify, doneMessage, 0, 0);
        });
    } catch (const std::system_error&) {
        m_progress.Destroy();
        return false;
    }
    return true;
}

ExportResult CExportJob::Finish(bool cancel)
{
    if (cancel)
        m_export.m_bCancel = true;
    if (m_thread.joinable())
        m_thread.join();
    m_progress.Destroy();
    return m_result;
}
