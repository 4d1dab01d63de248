// Starts SnapHost.exe from the test's folder and reads what it logged.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

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
    // Waits for the host to end; false on timeout (the host is then killed).
    bool WaitForExit(DWORD milliseconds);
    std::vector<std::string> LogLines() const;
    int CountLines(const std::string& line) const;
    std::vector<ResourceSample> ResourceSamples() const;
    HANDLE Handle() const { return m_info.hProcess; }
    DWORD ExitCode() const;

    static std::string BinFolder();
    // True when the host runs under the heap validation of the tests: its
    // private memory then grows with the blocks the validation holds back
    // after they are freed, and says nothing about leaks (the test run
    // measures it again with the host unchecked).
    static bool MemoryIsHeapChecked();

private:
    PROCESS_INFORMATION m_info = {};
    std::string m_logPath;
};
