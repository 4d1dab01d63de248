/* A host written in C: loads the browser, hands it a folder, opens it over
 * a window of its own and waits for the message that it has ended.
 *
 *   CHost.exe FOLDER
 *
 * Prints "load N" when the browser was asked to open and "exit W L" when
 * its message came; ends with 0 when one exit message with the documented
 * wParam came, else 1. Build (32-bit or 64-bit MinGW):
 *   gcc -std=c99 -Wall -Wextra -pedantic -Iinclude CHost.c -o CHost.exe */
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "ImageBrowse.h"

static int g_exits;

static LRESULT CALLBACK HostProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == UM_BROWSE_EXIT) {
        printf("exit %u %ld\n", (unsigned)wParam, (long)lParam);
        fflush(stdout);
        g_exits += wParam == BROWSE_EXIT_WPARAM ? 1 : 100;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

int main(int argc, char** argv)
{
    WNDCLASSA wc;
    BrowseSettings settings;
    HMODULE library;
    SetImageBrowsePathFn setPath;
    LoadImageBrowseFn load;
    HWND host;
    MSG msg;
    int started;

    if (argc != 2) {
        fprintf(stderr, "usage: CHost FOLDER\n");
        return 2;
    }
    library = LoadLibraryA("ImageBrowse.dll");
    if (library == NULL) {
        fprintf(stderr, "ImageBrowse.dll not loaded (%lu)\n", (unsigned long)GetLastError());
        return 1;
    }
    /* A function pointer cannot be cast from the data pointer that
     * GetProcAddress's type is in strict C: copy its bytes instead. */
    {
        FARPROC a = GetProcAddress(library, "SetImageBrowsePath");
        FARPROC b = GetProcAddress(library, "LoadImageBrowse");
        if (a == NULL || b == NULL) {
            fprintf(stderr, "entry points missing\n");
            return 1;
        }
        memcpy(&setPath, &a, sizeof setPath);
        memcpy(&load, &b, sizeof load);
    }

    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "CHostWindow";
    RegisterClassA(&wc);
    host = CreateWindowA("CHostWindow", "C host", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 400, 300,
                         NULL, NULL, wc.hInstance, NULL);

    /* No channels described: the browser offers no chooser rows. */
    memset(&settings, 0, sizeof settings);
    setPath(NULL, argv[1], 0, 0, settings);
    started = load(NULL, (int)(INT_PTR)host);
    printf("load %d\n", started);
    fflush(stdout);
    if (!started)
        return 1;

    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DestroyWindow(host);
    return g_exits == 1 ? 0 : 1;
}
