#include "tests/operator/HostProcess.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

std::string HostProcess::BinFolder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/"));
}

HostProcess::~HostProcess()
{
    if (m_info.hProcess != nullptr) {
        if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_info.hProcess, 99);
            WaitForSingleObject(m_info.hProcess, 5000);
        }
        CloseHandle(m_info.hProcess);
        CloseHandle(m_info.hThread);
    }
    if (!m_logPath.empty())
        DeleteFileA(m_logPath.c_str());
}

bool HostProcess::Start(const std::string& arguments)
{
    return StartProgram(BinFolder() + "\\SnapHost.exe", arguments);
}

bool HostProcess::StartOutsideHeapValidation(const std::string& arguments)
{
    return StartCopy("SnapHostOutsideHeapValidation.exe", BinFolder() + "\\ImageBrowse.dll", arguments);
}

bool HostProcess::StartWithBrowser(const std::string& browserLibrary, const std::string& arguments)
{
    return StartCopy("SnapHost.exe", browserLibrary, arguments);
}

bool HostProcess::StartCopy(const std::string& name, const std::string& browserLibrary, const std::string& arguments)
{
    const std::string program = CopyHost(name, browserLibrary);
    return !program.empty() && StartProgram(program, arguments);
}

std::string HostProcess::CopyHost(const std::string& name, const std::string& browserLibrary)
{
    m_copy.reset(new TempFolder("host"));
    const std::string bin = BinFolder();
    const std::string program = m_copy->PathOf(name);
    const bool copied = CopyFileA((bin + "\\SnapHost.exe").c_str(), program.c_str(), FALSE) &&
                        CopyFileA(browserLibrary.c_str(), m_copy->PathOf("ImageBrowse.dll").c_str(), FALSE) &&
                        CopyFileA((bin + "\\ImageLoad.dll").c_str(), m_copy->PathOf("ImageLoad.dll").c_str(), FALSE);
    return copied ? program : std::string();
}

bool HostProcess::StartCHost(const std::string& folder)
{
    return StartProgram(BinFolder() + "\\CHost.exe", "\"" + folder + "\"", false);
}

bool HostProcess::StartProgram(const std::string& program, const std::string& arguments, bool logged)
{
    std::string command = "\"" + program + "\" " + arguments;
    if (logged) {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        char logFile[MAX_PATH];
        GetTempFileNameA(temp, "hst", 0, logFile);
        m_logPath = logFile;
        command += " --log \"" + m_logPath + "\"";
    }
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_info))
        return false;
    // Wine's messages carry the process number; the test summary names the
    // host by it.
    std::printf("[host] %s is process %04lx\n", program.substr(program.find_last_of('\\') + 1).c_str(),
                m_info.dwProcessId);
    std::fflush(stdout);
    return true;
}

bool HostProcess::WaitForExit(DWORD milliseconds)
{
    if (WaitForSingleObject(m_info.hProcess, milliseconds) == WAIT_OBJECT_0)
        return true;
    TerminateProcess(m_info.hProcess, 98);
    WaitForSingleObject(m_info.hProcess, 5000);
    return false;
}

bool HostProcess::EndedWell(int openings)
{
    const bool ended = WaitForExit(30000) && ExitCode() == 0;
    const std::vector<std::string> lines = LogLines();
    size_t loads = 0, exits = 0, figures = 0;
    for (const std::string& line : lines) {
        loads += line == "load 1" ? 1 : 0;
        exits += line == "exit 3 0" ? 1 : 0;
        figures += line.rfind("resources ", 0) == 0 || line.rfind("heap-flags ", 0) == 0 ? 1 : 0;
        // What the heap checks' self-test must find, under the checks.
        figures += line == "heap self-test ran" || line == "heap damaged by the heap guard's self-test" ? 1 : 0;
    }
    const size_t expected = static_cast<size_t>(openings);
    if (ended && loads == expected && exits == expected && loads + exits + figures == lines.size())
        return true;
    std::printf("the host ended with code %lu after %d openings\n", ExitCode(), openings);
    for (const std::string& line : lines)
        std::printf("host log: %s\n", line.c_str());
    return false;
}

DWORD HostProcess::ExitCode() const
{
    DWORD code = 0;
    GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

std::vector<std::string> HostProcess::LogLines() const
{
    std::vector<std::string> lines;
    std::ifstream in(m_logPath);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

int HostProcess::CountLines(const std::string& wanted) const
{
    int n = 0;
    for (const std::string& line : LogLines())
        n += line == wanted ? 1 : 0;
    return n;
}

std::vector<ResourceSample> HostProcess::ResourceSamples() const
{
    std::vector<ResourceSample> samples;
    for (const std::string& line : LogLines()) {
        ResourceSample s;
        if (std::sscanf(line.c_str(), "resources gdi=%ld user=%ld private=%ld threads=%ld", &s.gdi, &s.user,
                        &s.privateKb, &s.threads) == 4)
            samples.push_back(s);
    }
    return samples;
}
