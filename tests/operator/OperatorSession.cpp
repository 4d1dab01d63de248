#include "tests/operator/OperatorSession.h"

#include <cstdio>

#include "res/resource.h"
#include "tests/operator/BrowserWindow.h"

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
    ChooseMenuCommand(frame, ID_ALBUM_RETURN);
    if (!WaitForWindowGone(frame, 10000)) {
        std::printf("the frame stayed after E&xit (title \"%s\")\n", m_screen.Title().c_str());
        return false;
    }
    if (!m_host.WaitForExit(20000) || m_host.ExitCode() != 0) {
        std::printf("the host did not end well (exit code %lu)\n", m_host.ExitCode());
        for (const std::string& line : m_host.LogLines())
            std::printf("host log: %s\n", line.c_str());
        return false;
    }
    for (const std::string& line : m_host.LogLines())
        if (line.rfind("resources ", 0) != 0 && line.rfind("heap-flags ", 0) != 0 && line != "load 1" &&
            line != "exit 3 0")
            std::printf("host log: %s\n", line.c_str());
    return m_host.CountLines("load 1") == openings && m_host.CountLines("exit 3 0") == openings;
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
