#include "album/cells/CellFit.h"

CellFit FitIntoBox(int pictureWidth, int pictureHeight, const CellBox& box)
{
    // One division gives the scale and one multiplication applies it; the
    // height is fitted first, then the width of what that gave.
    const double rw = box.width, rh = box.height;
    double w = pictureWidth, h = pictureHeight;
    if (h > rh - box.margin) {
        const double s = (rh - box.margin) / pictureHeight;
        w = pictureWidth * s;
        h = pictureHeight * s;
    }
    if (w > rw - box.margin) {
        const double s = (rw - box.margin) / w;
        w = w * s;
        h = h * s;
    }
    CellFit fit = {};
    // Too small a space would ask for a negative size: the frame only.
    fit.drawable = rw - box.margin > 0 && rh - box.margin > 0;
    fit.width = static_cast<int>(w);
    fit.height = static_cast<int>(h);
    // Centred by the unrounded size: x = left - trunc((rw - w) * -0.5).
    fit.dx = -static_cast<int>((rw - w) * -0.5);
    fit.dy = -static_cast<int>((rh - h) * -0.5);
    return fit;
}
