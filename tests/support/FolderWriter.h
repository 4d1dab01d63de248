// Another program that writes, renames and removes files in a folder while
// the browser shows it, as a recorder does (folder_writer.exe, beside the
// test program). Each call waits for the program's answer; a burst may be
// started and waited for apart, while the test pumps the browser.
#pragma once

#include <windows.h>

#include <string>

class FolderWriter {
public:
    explicit FolderWriter(const std::string& folder);
    ~FolderWriter();
    FolderWriter(const FolderWriter&) = delete;
    FolderWriter& operator=(const FolderWriter&) = delete;

    bool Started() const { return m_process != nullptr; }
    bool Copy(const std::string& source, const std::string& name) { return Do("copy\t" + source + "\t" + name); }
    // The first bytes of source only, as a file still being written.
    bool CopyPart(const std::string& source, const std::string& name, size_t bytes)
    {
        return Do("part\t" + source + "\t" + name + "\t" + std::to_string(bytes));
    }
    bool Remove(const std::string& name) { return Do("remove\t" + name); }
    bool Rename(const std::string& from, const std::string& to) { return Do("rename\t" + from + "\t" + to); }
    // Starts writing count copies of source named prefix0000.ext on, gapMs
    // apart; Answered tells when they are all written.
    bool StartBurst(const std::string& source, const std::string& prefix, int count, int gapMs);
    // Whether the program answered the last command, and with "ok" (read
    // once, when it has).
    bool Answered();
    bool AnsweredOk() const { return m_bOk; }

private:
    bool Send(const std::string& line);
    bool Do(const std::string& line);

    HANDLE m_process = nullptr;
    HANDLE m_toProgram = nullptr;
    HANDLE m_fromProgram = nullptr;
    std::string m_answer;
    bool m_bOk = false;
};
