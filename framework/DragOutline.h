// The inverted outline of a rectangle of the screen, drawn over a frame's
// window (no child is clipped) and taken away by drawing it again: where a
// dragged bar would go.
#pragma once

#include <windows.h>

class CDragOutline {
public:
    explicit CDragOutline(HWND frame);
    ~CDragOutline();
    CDragOutline(const CDragOutline&) = delete;
    CDragOutline& operator=(const CDragOutline&) = delete;

    // rc: on the screen; width: the thickness of the outline's lines.
    void Show(const RECT& rc, int width);
    void Hide();
    bool Shown() const { return m_shown; }

private:
    void Draw() const;

    HWND m_frame;
    HBITMAP m_pattern;
    HBRUSH m_brush;
    RECT m_rect = {0, 0, 0, 0};
    int m_width = 0;
    bool m_shown = false;
};
