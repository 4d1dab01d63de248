// One operator session: the host started on an album folder with the
// browser open, the browser's screen, and the checks every scenario ends
// with (the browser leaves through "E&xit", exactly one exit message
// arrives, no window of the host is left over).
#pragma once

#include <windows.h>

#include <string>

#include "tests/operator/BrowserScreen.h"
#include "tests/operator/HostProcess.h"

class OperatorSession {
public:
    // Starts the host on the folder (empty: the host's own default) and
    // waits for the browser's first paint.
    bool Open(const std::string& folder, const std::string& moreArguments = "");
    // The same with the host outside the heap validation, for the tests of
    // its figures (HostProcess::StartOutsideHeapValidation).
    bool OpenOutsideHeapValidation(const std::string& folder, const std::string& moreArguments = "");
    BrowserScreen& Screen() { return m_screen; }
    HostProcess& Host() { return m_host; }
    bool HostAlive() const;

    // Leaves by File > E&xit and waits for the host to end; false when the
    // frame stayed, the host hung, or the log is not one load and one exit
    // per opening.
    bool ExitAndFinish(int openings = 1);

private:
    HostProcess m_host;
    BrowserScreen m_screen;
};

// Top-level windows of the given process that are visible (left-over
// dialogs, message boxes, frames).
int VisibleWindowsOf(DWORD processId);
