// Where a picture goes in a cell: shrunk (never enlarged) to fit the cell's
// rectangle less a margin, and centred. The arithmetic is in doubles and
// truncates: it decides the thumbnail's pixels, so every path that paints a
// cell (the window thread, the workers that prepare cells) takes it from here.
#pragma once

struct CellBox {
    int width;      // of the cell's rectangle
    int height;
    int margin;     // taken once off each side's length, split by the centring
};

struct CellFit {
    bool drawable;  // false when the box less its margin leaves no room
    int width;      // the size the picture is resampled to
    int height;
    int dx;         // its top-left corner from the rectangle's
    int dy;
};

CellFit FitIntoBox(int pictureWidth, int pictureHeight, const CellBox& box);
