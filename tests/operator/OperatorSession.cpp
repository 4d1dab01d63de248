#include "tests/operator/OperatorSession.h"

#include <cstdio>

#include "res/resource.h"

namespace {

std::string HostArguments(const std::string& folder, const std::string& moreArguments)
{
    std::string arguments = "--open --quit-after-close " + moreArguments;
    if (!folder.empty())
        arguments += " --folder \"" + folder + "\"";
    return arguments;
}

}  // namespace

bool OperatorSession::Open(const std::string& folder, const std::string& moreArguments)
{
    return m_host.Start(HostArguments(folder, moreArguments)) && m_screen.Attach(20000);
}

bool OperatorSession::OpenOutsideHeapValidation(const std::string& folder, const std::string& moreArguments)
{
    return m_host.StartOutsideHeapValidation(HostArguments(folder, moreArguments)) && m_screen.Attach(20000);
}

bool OperatorSession::HostAlive() const
{
    return WaitForSingleObject(m_host.Handle(), 0) == WAIT_TIMEOUT;
}

bool OperatorSession::ExitAndFinish(int openings)
{
    HWND frame = m_screen.Frame();
    m_screen.Choose(ID_ALBUM_RETURN);
    if (!WaitUntil([frame] { return !IsWindow(frame); }, 10000)) {
        std::printf("the frame stayed after E&xit (title \"%s\")\n", m_screen.Title().c_str());
        return false;
    }
    return m_host.EndedWell(openings);
}

namespace {

struct WindowCount {
    DWORD processId;
    int count;
};

BOOL CALLBACK CountVisible(HWND wnd, LPARAM param)
{
    WindowCount* counted = reinterpret_cast<WindowCount*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == counted->processId && IsWindowVisible(wnd))
        ++counted->count;
    return TRUE;
}

}  // namespace

int VisibleWindowsOf(DWORD processId)
{
    WindowCount counted = {processId, 0};
    EnumWindows(CountVisible, reinterpret_cast<LPARAM>(&counted));
    return counted.count;
}
