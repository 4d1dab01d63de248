// The window base's rule: a handler may destroy its own window while other
// handlers of the same object are still on the stack, and the object ends
// (PostNcDestroy) once, only when the outermost of them has returned. And a
// handler that throws is stopped at the window procedure and leaves a line
// in the debugger output.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>

#include "framework/Module.h"
#include "framework/Window.h"

namespace {

const UINT kOuter = WM_APP + 1;    // sends kInner to the same window
const UINT kInner = WM_APP + 2;
const UINT kThrow = WM_APP + 3;

// What the object did, kept where it outlives the object.
struct Record {
    int ended = 0;                  // PostNcDestroy calls
    int returnedWhenEnded = -1;     // handlers that had returned by then
};

class CNestingWnd : public CWnd {
public:
    // The handler at depth destroyAt (1 the outer, 2 the inner) destroys
    // the window.
    CNestingWnd(Record& record, int destroyAt) : m_record(record), m_nDestroyAt(destroyAt) {}

    bool Create()
    {
        if (!RegisterWindowClass("FwTestNestingWnd", 0, nullptr, nullptr))
            return false;
        const RECT rc = {0, 0, 100, 100};
        return CreateEx(0, "FwTestNestingWnd", "", WS_POPUP, rc, nullptr, nullptr) != FALSE;
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        switch (msg) {
        case kOuter:
            ::SendMessageA(m_hWnd, kInner, 0, 0);
            if (m_nDestroyAt == 1)
                DestroyWindow();
            ++m_nReturned;  // the object must still be there
            return 0;
        case kInner:
            if (m_nDestroyAt == 2)
                DestroyWindow();
            ++m_nReturned;
            return 0;
        case kThrow:
            throw std::runtime_error("the disk went away");
        default:
            return CWnd::WindowProc(msg, wParam, lParam);
        }
    }

    void PostNcDestroy() override
    {
        ++m_record.ended;
        m_record.returnedWhenEnded = m_nReturned;
        delete this;
    }

private:
    Record& m_record;
    int m_nDestroyAt;
    int m_nReturned = 0;
};

// Destroyed by the outer handler or by the inner one.
TEST(WindowObjectLifetime, EndsOnceAfterTheOutermostHandlerReturnsWhenAHandlerDestroysItsWindow)
{
    FwInitModule(GetModuleHandleA(nullptr));
    for (int depth : {1, 2}) {
        Record record;
        auto* wnd = new CNestingWnd(record, depth);
        ASSERT_TRUE(wnd->Create());
        const HWND handle = wnd->m_hWnd;
        SendMessageA(handle, kOuter, 0, 0);
        EXPECT_FALSE(IsWindow(handle)) << depth;
        EXPECT_EQ(1, record.ended) << depth;
        EXPECT_EQ(2, record.returnedWhenEnded) << "ended while a handler still ran, depth " << depth;
    }
}

// The debugger output of this process, caught where a debugger would see
// it: OutputDebugString raises an exception that a vectored handler meets
// first.
std::string g_debugOutput;

LONG CALLBACK CatchDebugOutput(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* exception = info->ExceptionRecord;
    if (exception->ExceptionCode == DBG_PRINTEXCEPTION_C && exception->NumberParameters >= 2)
        g_debugOutput += reinterpret_cast<const char*>(exception->ExceptionInformation[1]);
    return EXCEPTION_CONTINUE_SEARCH;
}

TEST(WindowHandlerFailure, IsWrittenToTheDebuggerOutputAndTheWindowLivesOn)
{
    FwInitModule(GetModuleHandleA(nullptr));
    Record record;
    auto* wnd = new CNestingWnd(record, 0);
    ASSERT_TRUE(wnd->Create());
    const HWND handle = wnd->m_hWnd;
    g_debugOutput.clear();
    void* catcher = AddVectoredExceptionHandler(1, CatchDebugOutput);
    ASSERT_NE(nullptr, catcher);

    EXPECT_EQ(0, SendMessageA(handle, kThrow, 0, 0));

    RemoveVectoredExceptionHandler(catcher);
    EXPECT_NE(std::string::npos, g_debugOutput.find("the disk went away")) << g_debugOutput;
    EXPECT_NE(std::string::npos, g_debugOutput.find("0x8003")) << g_debugOutput;
    EXPECT_TRUE(IsWindow(handle));
    DestroyWindow(handle);
    EXPECT_EQ(1, record.ended);
}

}  // namespace
