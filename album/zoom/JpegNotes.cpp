#include "album/zoom/JpegNotes.h"

#include "ImageLoad.h"

namespace {
// The notes take a few Huffman tables on the stack; a thread's default
// stack would commit far more of the host's memory than that.
const SIZE_T kStackBytes = 256 * 1024;
}  // namespace

void CJpegNotes::Start(const std::string& path)
{
    Forget();
    try {
        m_strPath = path;
    } catch (...) {
        m_bDone = true;     // no notes: the view reads by skipping
        return;
    }
    m_hThread = CreateThread(nullptr, kStackBytes, &CJpegNotes::Make, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (m_hThread == nullptr)
        m_bDone = true;
}

DWORD WINAPI CJpegNotes::Make(void* self)
{
    auto* notes = static_cast<CJpegNotes*>(self);
    // Behind the host's threads and the window thread.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    notes->m_hNotes = IndexJPG(notes->m_strPath.c_str());
    notes->m_bDone = true;
    return 0;
}

void CJpegNotes::Join()
{
    if (m_hThread == nullptr)
        return;
    WaitForSingleObject(m_hThread, INFINITE);
    CloseHandle(m_hThread);
    m_hThread = nullptr;
}

HGLOBAL CJpegNotes::Ready(bool wait)
{
    if (!wait && !m_bDone)
        return nullptr;
    Join();
    return m_hNotes;
}

void CJpegNotes::Forget()
{
    Join();
    if (m_hNotes != nullptr)
        GlobalFree(m_hNotes);
    m_hNotes = nullptr;
    m_bDone = false;
}

std::size_t CJpegNotes::Bytes() const
{
    return m_bDone && m_hNotes != nullptr ? GlobalSize(m_hNotes) : 0;
}
