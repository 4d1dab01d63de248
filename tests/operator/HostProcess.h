// Starts SnapHost.exe (or the C host) from the test's folder and reads what
// it logged.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/FileTree.h"

// One "resources" line of the host's log.
struct ResourceSample {
    long gdi = 0, user = 0, privateKb = 0, threads = 0;
};

class HostProcess {
public:
    HostProcess() = default;
    ~HostProcess();
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    // Starts the host with the given arguments; a log file is added.
    bool Start(const std::string& arguments);
    // The same with a copy of the host that the heap validation of the
    // tests does not reach, since it goes by program name: under it freed
    // blocks are held back and the heap grows for dozens of openings, which
    // would hide a leak. The copy and the two libraries lie in a temporary
    // folder while the host runs.
    bool StartOutsideHeapValidation(const std::string& arguments);
    // The same with a copy of the host under its own name (so under the
    // heap validation) beside the browser library given instead of ours.
    bool StartWithBrowser(const std::string& browserLibrary, const std::string& arguments);
    // Starts the C host of examples/ (CHost.exe) on the album folder; it
    // keeps no log, and ends with 0 once one exit message came.
    bool StartCHost(const std::string& folder);
    // The same under another name, which the heap validation reaches as the
    // registry names it.
    bool StartCopy(const std::string& name, const std::string& browserLibrary, const std::string& arguments);
    // Waits for the host to end; false on timeout (the host is then killed).
    bool WaitForExit(DWORD milliseconds);
    // Waits for the host to end: true when it ended with code 0 and logged
    // one load and one exit message per opening and else only its figures
    // (and, under the heap checks, what their self-test found); what it
    // logged is printed otherwise.
    bool EndedWell(int openings);
    std::vector<std::string> LogLines() const;
    int CountLines(const std::string& line) const;
    std::vector<ResourceSample> ResourceSamples() const;
    HANDLE Handle() const { return m_info.hProcess; }
    DWORD ExitCode() const;

    static std::string BinFolder();

private:
    bool StartProgram(const std::string& program, const std::string& arguments, bool logged = true);
    // Copies the host under the name given, and the libraries, into a
    // temporary folder; the copied host's path, empty on failure.
    std::string CopyHost(const std::string& name, const std::string& browserLibrary);

    std::unique_ptr<TempFolder> m_copy;    // goes after the process has ended
    PROCESS_INFORMATION m_info = {};
    std::string m_logPath;
};
