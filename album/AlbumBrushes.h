// The album's seven solid brushes and the bevelled frame of a cell.
#pragma once

#include <windows.h>

#include "framework/Gdi.h"

class CAlbumBrushes {
public:
    CAlbumBrushes();

    // Fills the rectangle inset by 2 with the brush (the selected-cell
    // brush when null) and draws its bevelled border with the pen the
    // context holds, a white pen of width 2 and a grey pen of width 1.
    void DrawCellFrame(CDC* dc, const RECT& rc, const CBrush* brush) const;

    CBrush m_brBlue;
    CBrush m_brGreen;
    CBrush m_brRed;
    CBrush m_brCell;
    CBrush m_brCellSel;
    CBrush m_brMagenta;
    CBrush m_brBlack;
    // A marked picture's own colour: a band inside its cell's frame and a
    // tick in the frame's top right corner, both in the margin around the
    // picture.
    CBrush m_brMarked;
    void DrawMark(CDC* dc, const RECT& rc) const;

private:
    // The bevel's pens, made once: a paint draws nine frames.
    CPen m_penGrey;
    CPen m_penWhite;
    CPen m_penTick;
};
