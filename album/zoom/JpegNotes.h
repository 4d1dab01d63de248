// The notes of where a JPEG's rows begin (ImageLoad's IndexJPG), made on a
// thread of their own once a picture is zoomed: making them reads the whole
// file, about as long as skipping all its rows takes, which is longer than
// a step should. Until they are there the view reads by skipping. Used by
// the window thread; the thread ends before its object goes.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
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
    // With wait, once the thread has made them (tests and benchmarks).
    HGLOBAL Ready(bool wait = false);
    // Waits for the thread and lets go of the notes.
    void Forget();
    std::size_t Bytes() const;

private:
    static DWORD WINAPI Make(void* self);
    void Join();

    HANDLE m_hThread = nullptr;
    std::string m_strPath;
    std::atomic<bool> m_bDone{false};
    // Written by the thread before it sets m_bDone, read after.
    HGLOBAL m_hNotes = nullptr;
};
