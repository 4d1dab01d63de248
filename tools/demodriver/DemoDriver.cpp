// Drives the open browser for the demo's screenshots, the way an operator
// would: "single" double-clicks the second cell, "multi" goes back to the
// page, "menu" opens the File menu, "command ID" sends a menu command,
// "wait" only waits for the browser (up to a minute: the first program
// after Wine changed its language starts slowly).
//
//   demo_driver.exe wait|single|multi|menu|escape|command ID
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HWND BrowserFrame()
{
    for (int i = 0; i < 600; ++i) {
        HWND frame = FindWindowA("FwFrame", nullptr);
        if (frame != nullptr && IsWindowVisible(frame))
            return frame;
        Sleep(100);
    }
    return nullptr;
}

void DoubleClick(HWND view, int x, int y)
{
    LPARAM at = MAKELPARAM(x, y);
    PostMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(view, WM_LBUTTONUP, 0, at);
    PostMessageA(view, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(view, WM_LBUTTONUP, 0, at);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    HWND frame = BrowserFrame();
    if (frame == nullptr) {
        std::fprintf(stderr, "no browser window\n");
        return 1;
    }
    HWND view = GetDlgItem(frame, 0xE900);
    RECT client;
    GetClientRect(view, &client);
    if (std::strcmp(argv[1], "wait") == 0) {
        Sleep(1500);    // and let it paint
    } else if (std::strcmp(argv[1], "single") == 0) {
        DoubleClick(view, client.right / 3 + client.right / 6, client.bottom / 6);
    } else if (std::strcmp(argv[1], "multi") == 0) {
        PostMessageA(frame, WM_COMMAND, 0x8031, 0);
    } else if (std::strcmp(argv[1], "menu") == 0) {
        SetForegroundWindow(frame);
        PostMessageA(frame, WM_SYSCOMMAND, SC_KEYMENU, 0);
        PostMessageA(frame, WM_KEYDOWN, VK_RETURN, 0);
    } else if (std::strcmp(argv[1], "escape") == 0) {
        HWND focus = GetForegroundWindow();
        PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0);
    } else if (std::strcmp(argv[1], "command") == 0 && argc > 2) {
        PostMessageA(frame, WM_COMMAND, static_cast<WPARAM>(std::strtoul(argv[2], nullptr, 0)), 0);
    } else {
        return 2;
    }
    return 0;
}
