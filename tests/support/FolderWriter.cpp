#include "tests/support/FolderWriter.h"

#include <algorithm>
#include <vector>

#include "tests/support/WaitUntil.h"

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/"));
}

const DWORD kAnswerWaitMs = 10000;

}  // namespace

FolderWriter::FolderWriter(const std::string& folder)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE childIn = nullptr, childOut = nullptr;
    if (!CreatePipe(&childIn, &m_toProgram, &inherit, 0))
        return;
    if (!CreatePipe(&m_fromProgram, &childOut, &inherit, 0)) {
        CloseHandle(childIn);
        return;
    }
    SetHandleInformation(m_toProgram, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(m_fromProgram, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = childIn;
    si.hStdOutput = childOut;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::string command = "\"" + ProgramFolder() + "\\folder_writer.exe\" \"" + folder + "\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    PROCESS_INFORMATION info = {};
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &info)) {
        m_process = info.hProcess;
        CloseHandle(info.hThread);
    }
    CloseHandle(childIn);
    CloseHandle(childOut);
}

FolderWriter::~FolderWriter()
{
    if (m_process != nullptr) {
        Send("quit");
        if (WaitForSingleObject(m_process, kAnswerWaitMs) != WAIT_OBJECT_0) {
            TerminateProcess(m_process, 99);
            WaitForSingleObject(m_process, kAnswerWaitMs);
        }
        CloseHandle(m_process);
    }
    for (HANDLE pipe : {m_toProgram, m_fromProgram})
        if (pipe != nullptr)
            CloseHandle(pipe);
}

bool FolderWriter::Send(const std::string& line)
{
    if (m_process == nullptr)
        return false;
    const std::string text = line + "\n";
    DWORD written = 0;
    return WriteFile(m_toProgram, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

bool FolderWriter::Answered()
{
    for (;;) {
        const size_t end = m_answer.find('\n');
        if (end != std::string::npos) {
            m_bOk = m_answer.compare(0, 2, "ok") == 0;
            m_answer.erase(0, end + 1);
            return true;
        }
        DWORD waiting = 0;
        if (!PeekNamedPipe(m_fromProgram, nullptr, 0, nullptr, &waiting, nullptr) || waiting == 0)
            return false;
        char bytes[256];
        DWORD read = 0;
        if (!ReadFile(m_fromProgram, bytes, std::min<DWORD>(waiting, sizeof bytes), &read, nullptr) || read == 0)
            return false;
        m_answer.append(bytes, read);
    }
}

bool FolderWriter::Do(const std::string& line)
{
    return Send(line) && WaitUntil([&] { return Answered(); }, kAnswerWaitMs) && m_bOk;
}

bool FolderWriter::StartBurst(const std::string& source, const std::string& prefix, int count, int gapMs)
{
    return Send("burst\t" + source + "\t" + prefix + "\t" + std::to_string(count) + "\t" + std::to_string(gapMs));
}
