#include "album/zoom/Zoom.h"

#include <algorithm>
#include <cstdint>

namespace {

// Division rounding toward minus infinity, for view coordinates left of or
// above the picture.
int FloorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// A view coordinate on one axis of the picture: the pixel it shows and the
// view pixel within that pixel's square (0 to scale - 1), held inside the
// picture.
struct AxisPosition {
    int pixel, within;
};

AxisPosition ZoomedPosition(int at, int origin, int scale, int size)
{
    const int offset = at - origin;
    if (offset < 0)
        return {0, 0};
    if (offset >= size * scale)
        return {size - 1, scale - 1};
    return {offset / scale, offset % scale};
}

// The fitted picture is resampled by the nearest-neighbour rule: its column
// j shows the picture's column size * j / fitted.
AxisPosition FittedPosition(int at, int offset, int fitted, int size)
{
    if (fitted <= 0)
        return {0, 0};
    const int j = std::min(std::max(at - offset, 0), fitted - 1);
    return {static_cast<int>(static_cast<int64_t>(size) * j / fitted), 0};
}

// A picture larger than the view leaves no gap at either end; a smaller one
// is centred, as the fit centres it.
int HeldOrigin(int origin, int size, int scale, int view)
{
    const int shown = size * scale;
    if (shown <= view)
        return (view - shown) / 2;
    return std::min(0, std::max(view - shown, origin));
}

}  // namespace

void CZoom::Show(int pictureWidth, int pictureHeight, const CellFit& fit, int viewWidth, int viewHeight)
{
    if (pictureWidth != m_nWidth || pictureHeight != m_nHeight)
        m_nScale = 0;
    m_nWidth = pictureWidth;
    m_nHeight = pictureHeight;
    m_fit = fit;
    m_nViewWidth = viewWidth;
    m_nViewHeight = viewHeight;
    if (!Known())
        m_nScale = 0;
    if (IsZoomed())
        HoldToEdges();
}

void CZoom::Reset(bool forget)
{
    m_nScale = 0;
    if (forget)
        m_nWidth = m_nHeight = 0;
}

bool CZoom::CanZoomIn() const
{
    return Known() && m_nScale < kMaxScale;
}

bool CZoom::CanShowActualSize() const
{
    return Known() && m_nScale != (FitShrank() ? 1 : 0);
}

bool CZoom::CanPan() const
{
    return IsZoomed() && (m_nWidth * m_nScale > m_nViewWidth || m_nHeight * m_nScale > m_nViewHeight);
}

// Fitted, a picture the fit did not shrink is already at one view pixel per
// picture pixel: its steps go from the fit straight to 2.
int CZoom::NextScale(int direction) const
{
    if (direction > 0) {
        if (m_nScale == 0)
            return FitShrank() ? 1 : 2;
        return std::min(m_nScale * 2, static_cast<int>(kMaxScale));
    }
    if (m_nScale == 2)
        return FitShrank() ? 1 : 0;
    return m_nScale / 2;
}

bool CZoom::ZoomIn(ZoomPoint anchor)
{
    return CanZoomIn() && ZoomTo(NextScale(+1), anchor);
}

bool CZoom::ZoomOut(ZoomPoint anchor)
{
    return CanZoomOut() && ZoomTo(NextScale(-1), anchor);
}

bool CZoom::ShowActualSize(ZoomPoint anchor)
{
    return Known() && ZoomTo(FitShrank() ? 1 : 0, anchor);
}

bool CZoom::Fit()
{
    return ZoomTo(0, Centre());
}

// The anchor's pixel, and its place within that pixel's square scaled to
// the new square, stay under the anchor; then the edges have their say.
bool CZoom::ZoomTo(int scale, ZoomPoint anchor)
{
    if (scale == m_nScale)
        return false;
    const int from = std::max(m_nScale, 1);
    const AxisPosition x = IsZoomed() ? ZoomedPosition(anchor.x, m_nOriginX, m_nScale, m_nWidth)
                                      : FittedPosition(anchor.x, m_fit.dx, m_fit.width, m_nWidth);
    const AxisPosition y = IsZoomed() ? ZoomedPosition(anchor.y, m_nOriginY, m_nScale, m_nHeight)
                                      : FittedPosition(anchor.y, m_fit.dy, m_fit.height, m_nHeight);
    m_nScale = scale;
    if (IsZoomed()) {
        m_nOriginX = anchor.x - (x.pixel * scale + x.within * scale / from);
        m_nOriginY = anchor.y - (y.pixel * scale + y.within * scale / from);
        HoldToEdges();
    }
    return true;
}

bool CZoom::Pan(int dx, int dy)
{
    if (!CanPan())
        return false;
    const int oldX = m_nOriginX, oldY = m_nOriginY;
    m_nOriginX += dx;
    m_nOriginY += dy;
    HoldToEdges();
    return m_nOriginX != oldX || m_nOriginY != oldY;
}

bool CZoom::PanByKey(int dx, int dy)
{
    return Pan(-dx * std::max(m_nViewWidth / 8, 1), -dy * std::max(m_nViewHeight / 8, 1));
}

// Asked of a copy, so that the rule is the move itself.
bool CZoom::CanPanByKey(int dx, int dy) const
{
    CZoom moved = *this;
    return moved.PanByKey(dx, dy);
}

void CZoom::HoldToEdges()
{
    m_nOriginX = HeldOrigin(m_nOriginX, m_nWidth, m_nScale, m_nViewWidth);
    m_nOriginY = HeldOrigin(m_nOriginY, m_nHeight, m_nScale, m_nViewHeight);
}

ZoomRegion CZoom::Region() const
{
    ZoomRegion region = {0, 0, 0, 0, 0, 0, m_nScale};
    if (!IsZoomed())
        return region;
    const int scale = m_nScale;
    region.left = std::max(0, FloorDiv(-m_nOriginX, scale));
    region.top = std::max(0, FloorDiv(-m_nOriginY, scale));
    region.right = std::min(m_nWidth, FloorDiv(m_nViewWidth - m_nOriginX + scale - 1, scale));
    region.bottom = std::min(m_nHeight, FloorDiv(m_nViewHeight - m_nOriginY + scale - 1, scale));
    if (region.right <= region.left || region.bottom <= region.top)
        region.right = region.left, region.bottom = region.top;
    region.viewX = m_nOriginX + region.left * scale;
    region.viewY = m_nOriginY + region.top * scale;
    return region;
}

ZoomPoint CZoom::PixelAt(ZoomPoint at) const
{
    if (!Known())
        return {0, 0};
    if (IsZoomed())
        return {ZoomedPosition(at.x, m_nOriginX, m_nScale, m_nWidth).pixel,
                ZoomedPosition(at.y, m_nOriginY, m_nScale, m_nHeight).pixel};
    return {FittedPosition(at.x, m_fit.dx, m_fit.width, m_nWidth).pixel,
            FittedPosition(at.y, m_fit.dy, m_fit.height, m_nHeight).pixel};
}
