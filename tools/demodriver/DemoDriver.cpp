// Drives the open browser for the demo's screenshots, the way an operator
// would: "single" double-clicks the second cell, "multi" goes back to the
// page, "menu" opens the File menu, "command ID" sends a menu command,
// "wait" only waits for the browser (up to a minute: the first program
// after Wine changed its language starts slowly); "dock-left" and "float"
// drag the toolbar by its gripper with the real mouse to the frame's left
// edge or into its middle; "zoom" opens the print preview and zooms in once;
// "alone TEXT" shows the first picture of the page alone and pages on
// until the picture's path (the frame's title) holds TEXT; "zoom-at X Y W
// H N" turns the
// wheel N notches with Ctrl held over the pixel (X, Y) of the W x H picture
// shown alone and fitted.
//
//   demo_driver.exe wait|single|multi|menu|escape|command ID|dock-left|float|zoom|alone TEXT|zoom-at X Y W H N
#include "framework/FwResource.h"
#include "framework/PrintPreview.h"
#include "res/resource.h"
#include "tests/support/Gripper.h"
#include "tests/support/RealInput.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
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

void DragBar(HWND frame, bool toLeftEdge)
{
    RECT client;
    GetClientRect(frame, &client);
    MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const POINT middle = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    const POINT to = toLeftEdge ? POINT{client.left + 4, middle.y} : middle;
    SetForegroundWindow(frame);
    RealInput().Drag(GripperOf(GetDlgItem(frame, AFX_IDW_TOOLBAR)), to);
}

// Where the view shows pixel (x, y) of a width x height picture fitted into
// it, as the album fits a picture shown alone (a margin of 6).
POINT FittedPixel(HWND view, int x, int y, int width, int height)
{
    RECT client;
    GetClientRect(view, &client);
    const double scale = std::min(1.0, std::min((client.right - 6.0) / width, (client.bottom - 6.0) / height));
    POINT at = {static_cast<LONG>((client.right - width * scale) / 2 + x * scale),
                static_cast<LONG>((client.bottom - height * scale) / 2 + y * scale)};
    ClientToScreen(view, &at);
    return at;
}

bool TitleHolds(HWND frame, const char* text)
{
    char title[MAX_PATH] = "";
    GetWindowTextA(frame, title, sizeof title);
    return std::strstr(title, text) != nullptr;
}

bool ShowAlone(HWND frame, HWND view, const RECT& client, const char* text)
{
    DoubleClick(view, client.right / 6, client.bottom / 6);
    for (int step = 0; step < 40; ++step) {
        Sleep(500);
        if (TitleHolds(frame, text))
            return true;
        PostMessageA(frame, WM_COMMAND, ID_PAGE_NEXT, 0);
    }
    return false;
}

bool ZoomInPreview(HWND frame)
{
    PostMessageA(frame, WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
    for (int i = 0; i < 100; ++i) {
        HWND preview = FindWindowA("FwPrintPreview", nullptr);
        if (preview != nullptr && IsWindowVisible(preview)) {
            PostMessageA(preview, WM_COMMAND, MAKEWPARAM(CPrintPreview::kZoomInButton, BN_CLICKED), 0);
            return true;
        }
        Sleep(100);
    }
    return false;
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
    } else if (std::strcmp(argv[1], "mark") == 0 && argc > 2) {
        // Ctrl+click on each cell named, as the system sends it.
        for (int arg = 2; arg < argc; ++arg) {
            const int cell = std::atoi(argv[arg]);
            const LPARAM at = MAKELPARAM(client.right / 6 + cell % 3 * client.right / 3,
                                         client.bottom / 6 + cell / 3 * client.bottom / 3);
            PostMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, at);
            PostMessageA(view, WM_LBUTTONUP, MK_CONTROL, at);
        }
    } else if (std::strcmp(argv[1], "command") == 0 && argc > 2) {
        PostMessageA(frame, WM_COMMAND, static_cast<WPARAM>(std::strtoul(argv[2], nullptr, 0)), 0);
    } else if (std::strcmp(argv[1], "dock-left") == 0 || std::strcmp(argv[1], "float") == 0) {
        DragBar(frame, std::strcmp(argv[1], "dock-left") == 0);
    } else if (std::strcmp(argv[1], "alone") == 0 && argc > 2) {
        if (!ShowAlone(frame, view, client, argv[2])) {
            std::fprintf(stderr, "no picture named like %s\n", argv[2]);
            return 1;
        }
    } else if (std::strcmp(argv[1], "zoom-at") == 0 && argc > 6) {
        const POINT at = FittedPixel(view, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
        for (int notch = 0; notch < std::atoi(argv[6]); ++notch)
            PostMessageA(view, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), MAKELPARAM(at.x, at.y));
    } else if (std::strcmp(argv[1], "zoom") == 0) {
        if (!ZoomInPreview(frame)) {
            std::fprintf(stderr, "no print preview\n");
            return 1;
        }
    } else {
        return 2;
    }
    return 0;
}
