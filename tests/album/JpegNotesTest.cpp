// The walk that makes a zoomed JPEG's notes, with a walk held by the test in
// place of the library's: the window thread never waits for it (forgetting
// the notes, and the object going, return while the walk is held), a walk
// told to stop ends, and the browser's end finds every such walk ended.
#include <gtest/gtest.h>

#include <windows.h>

#include "ImageLoad.h"
#include "album/zoom/JpegNotes.h"

namespace {

// A walk that runs until it is told to stop or the test releases it.
struct HeldWalk {
    HeldWalk()
    {
        s_entered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        s_release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        s_stopped = 0;
        CJpegNotes::s_pfnMake = &Make;
    }
    ~HeldWalk()
    {
        SetEvent(s_release);
        CJpegNotes::WaitForStoppedWalks(10000);
        CJpegNotes::s_pfnMake = &IndexJPGUntil;
        CloseHandle(s_entered);
        CloseHandle(s_release);
    }
    static HGLOBAL __cdecl Make(const char*, const volatile LONG* stop)
    {
        SetEvent(s_entered);
        while (*stop == 0 && WaitForSingleObject(s_release, 1) == WAIT_TIMEOUT) {
        }
        InterlockedExchange(&s_stopped, *stop);
        return nullptr;
    }
    static HANDLE s_entered, s_release;
    static volatile LONG s_stopped;
};
HANDLE HeldWalk::s_entered = nullptr;
HANDLE HeldWalk::s_release = nullptr;
volatile LONG HeldWalk::s_stopped = 0;

// Runs f on a thread of its own; true when it returned before the held
// walk was released (the release comes after a long wait, so that a run
// that waits for the walk fails instead of hanging).
template <class F>
bool ReturnsWhileTheWalkIsHeld(F f)
{
    struct Call {
        static DWORD WINAPI Run(void* p)
        {
            (*static_cast<F*>(p))();
            return 0;
        }
    };
    const HANDLE thread = CreateThread(nullptr, 0, &Call::Run, &f, 0, nullptr);
    const bool returned = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
    SetEvent(HeldWalk::s_release);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return returned;
}

TEST(JpegNotes, TheWindowThreadNeverWaitsForTheWalkAndAStoppedWalkEnds)
{
    const struct {
        const char* how;
        bool destroy;   // the object goes, else its notes are forgotten
    } rows[] = {{"forgotten", false}, {"destroyed", true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.how);
        HeldWalk held;
        auto* notes = new CJpegNotes;
        notes->Start("held.jpg");
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(HeldWalk::s_entered, 10000));
        EXPECT_EQ(nullptr, notes->Ready()) << "not made yet, and not waited for";
        EXPECT_TRUE(ReturnsWhileTheWalkIsHeld([&] {
            if (row.destroy) {
                delete notes;
                notes = nullptr;
            } else {
                notes->Forget();
            }
        }));
        EXPECT_TRUE(CJpegNotes::WaitForStoppedWalks(10000));
        EXPECT_EQ(1, HeldWalk::s_stopped) << "the walk was told to stop";
        delete notes;
    }
}

}  // namespace
