// The real frame and view on the test's own thread over a temporary album
// folder, as the album's Windows tests drive them: one-coloured pictures
// written into the folder, the view opened at a chosen size, and clicks on
// the cells where the last paint laid them out.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/Module.h"
#include "tests/support/BrowserOnThisThread.h"
#include "tests/support/TestPictures.h"

const COLORREF kRed = RGB(220, 20, 30);

class AlbumViewFixture : public ::testing::Test {
protected:
    void SetUp() override { FwInitModule(GetModuleHandleA(nullptr)); }

    void Picture(const std::string& name, int w, int h, int bits = 24, COLORREF colour = kRed)
    {
        EXPECT_TRUE(WriteSolidBmp(folder.PathOf(name), w, h, bits, colour)) << name;
    }
    // Opens the browser on the album folder; given a size, the view is
    // made that size.
    void Open(int width = 0, int height = 0)
    {
        ASSERT_TRUE(browser.Open(folder.Path(), host.Handle()));
        if (width == 0)
            return;
        RECT rc;
        GetWindowRect(browser.ViewWindow(), &rc);
        MapWindowPoints(nullptr, browser.Frame(), reinterpret_cast<POINT*>(&rc), 2);
        MoveWindow(browser.ViewWindow(), rc.left, rc.top, width, height, TRUE);
        browser.Pump();
    }
    // Opens the browser on that many empty files named like pictures.
    void OpenWith(int files)
    {
        for (int i = 0; i < files; ++i)
            folder.Touch("snap" + std::to_string(100 + i) + ".jpg");
        Open();
    }
    CAlbumView& View() { return *browser.View(); }

    LPARAM CellCentre(int k)
    {
        browser.Pump();
        const CellRect& rc = View().m_rcCell[k];
        return MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }
    void Click(LPARAM at)
    {
        SendMessageA(browser.ViewWindow(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(browser.ViewWindow(), WM_LBUTTONUP, 0, at);
    }
    void DoubleClick(LPARAM at)
    {
        Click(at);
        SendMessageA(browser.ViewWindow(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageA(browser.ViewWindow(), WM_LBUTTONUP, 0, at);
    }

    TempFolder folder;
    HostWindow host;
    BrowserOnThisThread browser;
};
