// The notes of where a JPEG's rows begin (ImageLoad's IndexJPGUntil), made
// on a thread of their own once a picture is zoomed: making them reads the
// whole file, about as long as skipping all its rows takes, which is longer
// than a step should. Until they are there the view reads by skipping.
//
// The window thread never waits for the walk: forgetting the notes (another
// picture, the fit, the view going) tells the walk to stop and lets it end
// by itself. What the walk uses is its own, shared with this object until
// one of them lets go, so a walk that ends after its object is gone touches
// no freed memory. A walk told to stop looks at that often and ends soon;
// the browser's thread waits briefly for such walks as it ends
// (WaitForStoppedWalks), so that none outlives the browser.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>

class CJpegNotes {
public:
    CJpegNotes() = default;
    ~CJpegNotes() { Forget(); }
    CJpegNotes(const CJpegNotes&) = delete;
    CJpegNotes& operator=(const CJpegNotes&) = delete;

    // Starts making the notes of the file at path; any others are forgotten.
    void Start(const std::string& path);
    // The notes once made; null until then, and for a file that has none.
    // With wait, once the walk has made them (tests and benchmarks).
    HGLOBAL Ready(bool wait = false);
    // Lets go of the notes, and tells a walk under way to stop.
    void Forget();
    std::size_t Bytes() const;

    // Waits up to that long for the walks told to stop to end; true when
    // none is left.
    static bool WaitForStoppedWalks(DWORD milliseconds);

    // Makes the notes of a file (IndexJPGUntil); a test puts one in its
    // place that holds the walk.
    using Maker = HGLOBAL(__cdecl*)(const char* path, const volatile LONG* stop);
    static Maker s_pfnMake;

private:
    struct Walk;
    static DWORD WINAPI Make(void* walk);
    // Takes the notes of a walk that has ended.
    void TakeNotes();
    // The thread goes to the walks that end by themselves.
    void LetGoOfThread();

    std::shared_ptr<Walk> m_walk;
    HANDLE m_hThread = nullptr;
    HGLOBAL m_hNotes = nullptr;
};
