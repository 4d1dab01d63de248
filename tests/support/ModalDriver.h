// Drives the modal windows that a command opens on the browser thread
// (dialogs, message boxes, popup menus) from a second thread, one scripted
// step per window, the way an operator would: it finds the window, fills
// its controls and presses its buttons. Windows that no step expects are
// recorded and dismissed, so a wrong command fails its test instead of
// hanging it.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class ModalDriver {
public:
    using Action = std::function<void(HWND)>;

    // uiThread: the thread whose modal windows are driven.
    explicit ModalDriver(DWORD uiThread = GetCurrentThreadId()) : m_uiThread(uiThread) {}
    ~ModalDriver();

    // Steps, in the order the windows will appear. A dialog or message box
    // is a window of class "#32770", a popup menu one of class "#32768".
    ModalDriver& OnDialog(Action act) { return Add("#32770", std::move(act)); }
    ModalDriver& OnMenu(Action act) { return Add("#32768", std::move(act)); }

    void Start();
    // Waits until every step ran (or timed out) and stops the thread.
    void Finish();

    int StepsDone() const { return m_done; }
    int StepCount() const { return static_cast<int>(m_steps.size()); }
    // Texts of the windows that appeared beyond the script or too late.
    const std::vector<std::string>& Unexpected() const { return m_unexpected; }

private:
    struct Step {
        std::string windowClass;
        Action act;
    };
    ModalDriver& Add(const char* windowClass, Action act);
    void Run();
    HWND WaitFor(const std::string& windowClass, DWORD timeout);
    void WaitUntilGone(HWND wnd);
    void DismissStrays();

    DWORD m_uiThread;
    std::vector<Step> m_steps;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_done{0};
    std::vector<std::string> m_unexpected;
};

// What an operator reads and does in a dialog or message box.
namespace modal {
// The message of a message box (its static texts joined).
std::string MessageText(HWND box);
std::string ControlText(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const std::string& text);
// Presses a button of a dialog or message box (IDOK, IDCANCEL, IDYES...).
void Press(HWND dialog, int id);

// The system's save dialog: its file name field and its type list.
void SetSaveName(HWND dialog, const std::string& name);
void ChooseSaveType(HWND dialog, int filterIndex);
int ShownSaveType(HWND dialog);   // counted from 1

// A popup menu window: its menu, and keys typed while it is open.
HMENU MenuOf(HWND menuWindow);
void TypeKey(HWND menuWindow, WPARAM key);
void TypeChar(HWND menuWindow, char c);
}  // namespace modal
