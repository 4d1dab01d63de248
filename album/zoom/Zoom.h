// How a picture shown alone is zoomed: fitted into the view as the album
// fits every picture, or at a whole number of view pixels per picture pixel
// (1, 2, 4, 8, 16), so that every view pixel shows exactly one pixel of the
// picture. Pure arithmetic: the steps, the point kept under the pointer, and
// the edges the picture is held to.
#pragma once

#include "album/cells/CellFit.h"

struct ZoomPoint {
    int x, y;
};

// The part of the picture the view shows at a whole scale: picture columns
// [left, right) and rows [top, bottom), the top-left corner of pixel (left,
// top) at (viewX, viewY) of the view, each pixel a square of scale x scale
// view pixels. Empty (left == right) when nothing of the picture is shown.
struct ZoomRegion {
    int left, top, right, bottom;
    int viewX, viewY;
    int scale;
};

class CZoom {
public:
    static const int kMaxScale = 16;

    // The picture shown alone, as the fit placed it in a view of that size.
    // A picture of another size than the one zoomed goes back to the fit; a
    // view of another size keeps the zoom, held to the picture's edges.
    void Show(int pictureWidth, int pictureHeight, const CellFit& fit, int viewWidth, int viewHeight);
    // Back to the fitted picture; with forget, the picture is unknown until
    // the next Show (another picture is about to be shown).
    void Reset(bool forget = false);

    bool IsZoomed() const { return m_nScale > 0; }
    // A picture to zoom is known (its size, and a fit that shows it).
    bool KnowsPicture() const { return Known(); }
    // View pixels per picture pixel; 0 while fitted.
    int Scale() const { return m_nScale; }
    int ViewWidth() const { return m_nViewWidth; }
    int ViewHeight() const { return m_nViewHeight; }
    bool CanZoomIn() const;
    bool CanZoomOut() const { return IsZoomed(); }
    // One view pixel per picture pixel differs from what is shown.
    bool CanShowActualSize() const;
    // Zoomed and larger than the view on some side.
    bool CanPan() const;
    // An arrow key would move the view (PanByKey): the picture reaches
    // past the view's edge that way.
    bool CanPanByKey(int dx, int dy) const;

    // The steps: the fit; one view pixel per picture pixel when the fit
    // shrank the picture; then 2, 4, 8 and 16. Each keeps the picture pixel
    // under the anchor (view coordinates) under it, as far as the edges
    // allow. True when what is shown changed.
    bool ZoomIn(ZoomPoint anchor);
    bool ZoomOut(ZoomPoint anchor);
    bool ShowActualSize(ZoomPoint anchor);
    bool Fit();
    // Moves the picture by (dx, dy) view pixels, held to its edges.
    bool Pan(int dx, int dy);
    // An arrow key moves the view over the picture by an eighth of the
    // view's width or height in that direction (dx, dy: -1, 0 or 1).
    bool PanByKey(int dx, int dy);

    ZoomPoint Centre() const { return {m_nViewWidth / 2, m_nViewHeight / 2}; }
    ZoomRegion Region() const;
    // The picture pixel shown at a view point, the nearest one outside the
    // picture; as the fit shows it while fitted.
    ZoomPoint PixelAt(ZoomPoint at) const;

private:
    bool Known() const { return m_nWidth > 0 && m_nHeight > 0 && m_fit.drawable; }
    bool FitShrank() const { return m_fit.width < m_nWidth || m_fit.height < m_nHeight; }
    int NextScale(int direction) const;
    bool ZoomTo(int scale, ZoomPoint anchor);
    void HoldToEdges();

    int m_nWidth = 0;       // the picture; 0 while unknown
    int m_nHeight = 0;
    CellFit m_fit = {};
    int m_nViewWidth = 0;
    int m_nViewHeight = 0;
    int m_nScale = 0;       // 0: fitted
    int m_nOriginX = 0;     // the picture's top-left corner on the view, zoomed
    int m_nOriginY = 0;
};
