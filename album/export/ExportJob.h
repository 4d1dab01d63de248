// An export running on a thread of its own while the browser's window goes
// on answering: its progress window, and the message to the view when it
// has ended. The thread is joined (cancelled first) before the job goes.
#pragma once

#include <windows.h>

#include <thread>

#include "album/export/ExportProgressWnd.h"
#include "album/export/ZipExport.h"

class CExportJob {
public:
    CExportJob(std::vector<ExportSource> sources, std::string target, std::string albumFolder);
    ~CExportJob();
    CExportJob(const CExportJob&) = delete;
    CExportJob& operator=(const CExportJob&) = delete;

    // Starts the thread; doneMessage is posted to notify when it has ended.
    // False when no thread could be started.
    bool Start(HWND owner, HWND notify, UINT doneMessage);
    // Waits for the thread (cancelled first when asked) and closes the
    // progress window; the export's result.
    ExportResult Finish(bool cancel);
    CZipExport& Export() { return m_export; }

private:
    CZipExport m_export;
    CExportProgressWnd m_progress;
    std::thread m_thread;
    ExportResult m_result;
};
