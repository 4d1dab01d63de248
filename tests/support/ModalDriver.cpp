#include "tests/support/ModalDriver.h"

#include <dlgs.h>

#include <chrono>

namespace {

const DWORD kStepTimeoutMs = 10000;

struct Search {
    const char* windowClass;
    HWND found;
};

BOOL CALLBACK FindVisible(HWND wnd, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    char name[32] = "";
    GetClassNameA(wnd, name, sizeof name);
    if (lstrcmpA(name, search->windowClass) == 0 && IsWindowVisible(wnd)) {
        search->found = wnd;
        return FALSE;
    }
    return TRUE;
}

HWND VisibleWindowOf(DWORD thread, const char* windowClass)
{
    Search search = {windowClass, nullptr};
    EnumThreadWindows(thread, FindVisible, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr && lstrcmpA(windowClass, "#32768") == 0) {
        // Popup menus may belong to no thread window list: look at the
        // desktop's children for one of this thread.
        HWND menu = nullptr;
        while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr)) != nullptr)
            if (IsWindowVisible(menu) && GetWindowThreadProcessId(menu, nullptr) == thread)
                return menu;
    }
    return search.found;
}

void Sleep20() { Sleep(20); }

// The save dialog's name field: the combo box of newer layouts or the
// plain edit field of older ones.
HWND SaveNameControl(HWND dialog)
{
    HWND control = GetDlgItem(dialog, cmb13);
    return control != nullptr ? control : GetDlgItem(dialog, edt1);
}

}  // namespace

ModalDriver::~ModalDriver()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

ModalDriver& ModalDriver::Add(const char* windowClass, Action act)
{
    m_steps.push_back({windowClass, std::move(act)});
    return *this;
}

void ModalDriver::Start()
{
    m_thread = std::thread([this] { Run(); });
}

void ModalDriver::Finish()
{
    // Let the late steps and strays show up before stopping.
    DWORD end = GetTickCount() + kStepTimeoutMs;
    while (m_done < StepCount() && static_cast<int>(end - GetTickCount()) > 0)
        Sleep20();
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

HWND ModalDriver::WaitFor(const std::string& windowClass, DWORD timeout)
{
    DWORD end = GetTickCount() + timeout;
    while (!m_stop && static_cast<int>(end - GetTickCount()) > 0) {
        if (HWND wnd = VisibleWindowOf(m_uiThread, windowClass.c_str()))
            return wnd;
        Sleep20();
    }
    return nullptr;
}

void ModalDriver::Run()
{
    HWND previous = nullptr;
    for (const Step& step : m_steps) {
        // The next window of a script is never the one just handled.
        WaitUntilGone(previous);
        HWND wnd = WaitFor(step.windowClass, kStepTimeoutMs);
        if (wnd == nullptr) {
            m_unexpected.push_back("step " + std::to_string(m_done + 1) + " found no " + step.windowClass);
            break;
        }
        step.act(wnd);
        previous = wnd;
        ++m_done;
    }
    WaitUntilGone(previous);
    while (!m_stop) {
        DismissStrays();
        Sleep20();
    }
    DismissStrays();
}

void ModalDriver::WaitUntilGone(HWND wnd)
{
    DWORD end = GetTickCount() + kStepTimeoutMs;
    while (wnd != nullptr && IsWindow(wnd) && IsWindowVisible(wnd) && static_cast<int>(end - GetTickCount()) > 0)
        Sleep20();
}

void ModalDriver::DismissStrays()
{
    if (HWND box = VisibleWindowOf(m_uiThread, "#32770")) {
        m_unexpected.push_back("dialog: " + modal::MessageText(box));
        modal::Press(box, IDCANCEL);
        modal::Press(box, IDNO);
        WaitUntilGone(box);
    }
    if (HWND menu = VisibleWindowOf(m_uiThread, "#32768")) {
        m_unexpected.push_back("popup menu");
        modal::TypeKey(menu, VK_ESCAPE);
        WaitUntilGone(menu);
    }
}

namespace modal {

namespace {
BOOL CALLBACK JoinStatics(HWND child, LPARAM param)
{
    char name[32] = "";
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "Static") != 0)
        return TRUE;
    int length = GetWindowTextLengthA(child);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(child, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    std::string* joined = reinterpret_cast<std::string*>(param);
    if (!text.empty())
        *joined += text;
    return TRUE;
}
}  // namespace

std::string MessageText(HWND box)
{
    std::string text;
    EnumChildWindows(box, JoinStatics, reinterpret_cast<LPARAM>(&text));
    return text;
}

std::string ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    int length = GetWindowTextLengthA(control);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(control, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

void SetControlText(HWND dialog, int id, const std::string& text)
{
    SetDlgItemTextA(dialog, id, text.c_str());
}

void Press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SetSaveName(HWND dialog, const std::string& name)
{
    SetWindowTextA(SaveNameControl(dialog), name.c_str());
}

void ChooseSaveType(HWND dialog, int filterIndex)
{
    HWND types = GetDlgItem(dialog, cmb1);
    SendMessageA(types, CB_SETCURSEL, static_cast<WPARAM>(filterIndex - 1), 0);
    // An operator's choice ends with these notifications; the dialog takes
    // the new type from them.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(types));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
}

int ShownSaveType(HWND dialog)
{
    return static_cast<int>(SendMessageA(GetDlgItem(dialog, cmb1), CB_GETCURSEL, 0, 0)) + 1;
}

HMENU MenuOf(HWND menuWindow)
{
    return reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
}

void TypeKey(HWND menuWindow, WPARAM key)
{
    PostMessageA(menuWindow, WM_KEYDOWN, key, 0);
    PostMessageA(menuWindow, WM_KEYUP, key, 0xC0000000);
}

void TypeChar(HWND menuWindow, char c)
{
    PostMessageA(menuWindow, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 0);
}

}  // namespace modal
