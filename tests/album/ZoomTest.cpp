// The zoom of a picture shown alone, without windows: its steps, the pixel
// kept under the anchor, the edges the picture is held to, the part of the
// picture a view shows, and what another picture or view size does to it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "album/zoom/Zoom.h"

namespace {

const int kViewWidth = 1024, kViewHeight = 690;

// A picture shown alone in the view as the album fits it (margin 6).
CZoom ZoomOn(int width, int height, int viewWidth = kViewWidth, int viewHeight = kViewHeight)
{
    CZoom zoom;
    zoom.Show(width, height, FitIntoBox(width, height, CellBox{viewWidth, viewHeight, 6}), viewWidth, viewHeight);
    return zoom;
}

std::string Where(ZoomPoint p) { return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")"; }

TEST(Zoom, StepsFromTheFitThroughOneToOneWhenItShrankUpToSixteenAndBack)
{
    const struct {
        int width, height;
        std::vector<int> in;    // the scale after each step in; the last is the top
        std::vector<int> out;   // then after each step out, down to the fit
        bool actualSizeWhenFitted;
    } cases[] = {
        {3840, 2160, {1, 2, 4, 8, 16, 16}, {8, 4, 2, 1, 0}, true},
        {1920, 1080, {1, 2, 4, 8, 16}, {8, 4, 2, 1, 0}, true},
        {352, 288, {2, 4, 8, 16}, {8, 4, 2, 0}, false},       // fitted is already one to one
        {1020, 600, {1, 2, 4}, {2, 1, 0}, true},              // wider than the view less its margin
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        CZoom zoom = ZoomOn(c.width, c.height);
        EXPECT_FALSE(zoom.IsZoomed());
        EXPECT_EQ(c.actualSizeWhenFitted, zoom.CanShowActualSize());
        std::vector<int> scales;
        for (size_t i = 0; i < c.in.size(); ++i) {
            zoom.ZoomIn(zoom.Centre());
            scales.push_back(zoom.Scale());
        }
        EXPECT_EQ(c.in, scales);
        scales.clear();
        while (zoom.ZoomOut(zoom.Centre()))
            scales.push_back(zoom.Scale());
        EXPECT_EQ(c.out, scales);
    }
}

TEST(Zoom, OneToOneAndTheFitAreStepsOfTheirOwn)
{
    CZoom big = ZoomOn(3840, 2160);
    big.ZoomIn(big.Centre());
    big.ZoomIn(big.Centre());
    EXPECT_TRUE(big.ShowActualSize(big.Centre()));
    EXPECT_EQ(1, big.Scale());
    EXPECT_FALSE(big.CanShowActualSize());
    EXPECT_TRUE(big.Fit());
    EXPECT_FALSE(big.IsZoomed());
    EXPECT_FALSE(big.Fit()) << "already fitted";

    CZoom small = ZoomOn(352, 288);
    small.ZoomIn(small.Centre());
    EXPECT_TRUE(small.ShowActualSize(small.Centre())) << "one to one is the fit";
    EXPECT_FALSE(small.IsZoomed());

    CZoom unknown;
    EXPECT_FALSE(unknown.CanZoomIn()) << "nothing painted yet";
    CZoom cramped = ZoomOn(3840, 2160, 5, 5);
    EXPECT_FALSE(cramped.CanZoomIn()) << "the fit has no room";
}

// Each step keeps the picture pixel under the anchor where it was, on each
// side where the picture is larger than the view (where it is smaller it is
// centred); from the fit, the pixel the fitted picture shows there, by the
// resample's rule.
TEST(Zoom, ThePixelUnderTheAnchorStaysUnderIt)
{
    const struct {
        int width, height;
        ZoomPoint anchor;
    } cases[] = {
        {3840, 2160, {500, 300}}, {3840, 2160, {517, 331}}, {3840, 2160, {100, 400}},
        {1920, 1080, {900, 200}}, {352, 288, {400, 300}},   {352, 288, {511, 401}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " at " + Where(c.anchor));
        CZoom zoom = ZoomOn(c.width, c.height);
        const CellFit fit = FitIntoBox(c.width, c.height, CellBox{kViewWidth, kViewHeight, 6});
        EXPECT_EQ(c.width * (c.anchor.x - fit.dx) / fit.width, zoom.PixelAt(c.anchor).x);
        EXPECT_EQ(c.height * (c.anchor.y - fit.dy) / fit.height, zoom.PixelAt(c.anchor).y);
        auto step = [&](bool in) {
            const ZoomPoint before = zoom.PixelAt(c.anchor);
            const bool changed = in ? zoom.ZoomIn(c.anchor) : zoom.ZoomOut(c.anchor);
            const ZoomPoint after = zoom.PixelAt(c.anchor);
            if (c.width * zoom.Scale() > kViewWidth) {
                EXPECT_EQ(before.x, after.x) << (in ? "in" : "out") << " to " << zoom.Scale();
            }
            if (c.height * zoom.Scale() > kViewHeight) {
                EXPECT_EQ(before.y, after.y) << (in ? "in" : "out") << " to " << zoom.Scale();
            }
            return changed;
        };
        for (int n = 0; n < 4; ++n)
            ASSERT_TRUE(step(true));
        while (step(false)) {
        }
    }
}

// The picture leaves no gap where it is larger than the view and is centred
// where it is smaller; the region names the picture's pixels the view
// shows and where the first one lands.
TEST(Zoom, ThePictureIsHeldToTheEdgesOfTheViewAndCentredWhereSmaller)
{
    const struct {
        int width, height, scale;
        int panX, panY, thenX;
        ZoomRegion region;
        bool canPan;
    } cases[] = {
        // 3840 x 2160 at one to one, dragged far right and down: the top-left corner.
        {3840, 2160, 1, 100000, 100000, 0, {0, 0, 1024, 690, 0, 0, 1}, true},
        // Far left and up: the bottom-right corner.
        {3840, 2160, 1, -100000, -100000, 0, {2816, 1470, 3840, 2160, 0, 0, 1}, true},
        // At 16, at the bottom-right corner and back 3 view pixels: the
        // first column and row shown are parts of pixels.
        {3840, 2160, 16, -100000, -100000, 3, {3775, 2116, 3840, 2160, -13, -14, 16}, true},
        // 352 x 288 at 2 is smaller than the view: centred, it cannot move.
        {352, 288, 2, 500, 500, 0, {0, 0, 352, 288, 160, 57, 2}, false},
        // At 4 it is wider and taller than the view; held at the top-left.
        {352, 288, 4, 100000, 100000, 0, {0, 0, 256, 173, 0, 0, 4}, true},
        // 1920 x 200 at 2: wider than the view, lower than it: centred up and down.
        {1920, 200, 2, -100000, 0, 0, {1408, 0, 1920, 200, 0, 145, 2}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " at " + std::to_string(c.scale));
        CZoom zoom = ZoomOn(c.width, c.height);
        while (zoom.Scale() < c.scale)
            ASSERT_TRUE(zoom.ZoomIn(zoom.Centre()));
        EXPECT_EQ(c.canPan, zoom.CanPan());
        zoom.Pan(c.panX, c.panY);
        zoom.Pan(c.thenX, 0);
        const ZoomRegion r = zoom.Region();
        EXPECT_EQ(c.region.left, r.left);
        EXPECT_EQ(c.region.top, r.top);
        EXPECT_EQ(c.region.right, r.right);
        EXPECT_EQ(c.region.bottom, r.bottom);
        EXPECT_EQ(c.region.viewX, r.viewX);
        EXPECT_EQ(c.region.viewY, r.viewY);
        EXPECT_EQ(c.region.scale, r.scale);
    }
}

TEST(Zoom, AnArrowKeyMovesTheViewAnEighthOfItsSizeOverThePicture)
{
    CZoom zoom = ZoomOn(3840, 2160);
    zoom.ZoomIn(ZoomPoint{0, 0});
    const ZoomRegion before = zoom.Region();
    EXPECT_TRUE(zoom.PanByKey(1, 0));
    EXPECT_EQ(before.left + kViewWidth / 8, zoom.Region().left);
    EXPECT_TRUE(zoom.PanByKey(0, 1));
    EXPECT_EQ(before.top + kViewHeight / 8, zoom.Region().top);
    EXPECT_TRUE(zoom.PanByKey(-1, -1));
    EXPECT_FALSE(zoom.PanByKey(-1, 0)) << "at the left edge";
}

// A picture of the same size keeps the zoom and the view's place on it, so
// that one spot of a fixed camera can be watched across its snapshots.
TEST(Zoom, KeptForAPictureOfTheSameSizeDroppedForAnotherOrAnUnreadableOne)
{
    CZoom zoom = ZoomOn(3840, 2160);
    zoom.ZoomIn(ZoomPoint{700, 400});
    zoom.ZoomIn(ZoomPoint{700, 400});
    const ZoomRegion zoomed = zoom.Region();
    const CellFit fit = FitIntoBox(3840, 2160, CellBox{kViewWidth, kViewHeight, 6});
    zoom.Show(3840, 2160, fit, kViewWidth, kViewHeight);
    EXPECT_EQ(2, zoom.Scale());
    EXPECT_EQ(zoomed.left, zoom.Region().left);
    EXPECT_EQ(zoomed.viewY, zoom.Region().viewY);

    // A larger view keeps the zoom, held to the picture's edges: at the
    // right edge, the picture still ends at the view's.
    zoom.Pan(-100000, 0);
    zoom.Show(3840, 2160, FitIntoBox(3840, 2160, CellBox{1600, 900, 6}), 1600, 900);
    EXPECT_EQ(2, zoom.Scale());
    const ZoomRegion wider = zoom.Region();
    EXPECT_EQ(3840, wider.right);
    EXPECT_EQ(1600, wider.viewX + (wider.right - wider.left) * 2);

    zoom.Show(1920, 1080, FitIntoBox(1920, 1080, CellBox{kViewWidth, kViewHeight, 6}), kViewWidth, kViewHeight);
    EXPECT_FALSE(zoom.IsZoomed());
    zoom.ZoomIn(zoom.Centre());
    zoom.Show(0, 0, CellFit{}, kViewWidth, kViewHeight);
    EXPECT_FALSE(zoom.IsZoomed());
    EXPECT_FALSE(zoom.CanZoomIn());
}

}  // namespace
