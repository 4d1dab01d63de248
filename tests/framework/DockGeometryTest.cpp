// Where a dragged bar lands, where a docked bar stands, where a floating
// window may stand and how a column too tall for its edge wraps, as tables
// without any window.
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "framework/DockGeometry.h"

bool operator==(const DockRect& a, const DockRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
std::ostream& operator<<(std::ostream& out, const DockRect& rc)
{
    return out << "{" << rc.left << ", " << rc.top << ", " << rc.right << ", " << rc.bottom << "}";
}

namespace {

const DockSide Top = DockSide::Top, Bottom = DockSide::Bottom, Left = DockSide::Left, Right = DockSide::Right,
               Floats = DockSide::Floating;

// A frame whose dock area is 1000 x 750 from (100, 50), with a bar 67
// pixels high in a row and 61 wide in a column, and a floating window of
// 800 x 90 held 10 pixels into its corner.
DockDrop DropAt(long x, long y, unsigned long sides = CBRS_ALIGN_ANY, bool ctrl = false)
{
    return DockDrop{{x, y}, {100, 50, 1100, 800}, 67, 61, sides, ctrl, {800, 90}, {10, 10}, {97, 31, 1103, 803}};
}

TEST(DockTarget, TheNearestAllowedEdgeWithinReachUnlessCtrlIsHeld)
{
    const struct {
        const char* what;
        DockDrop drop;
        DockSide side;
    } cases[] = {
        {"on the top edge", DropAt(600, 50), Top},
        {"one pixel inside the top reach", DropAt(600, 50 + 66), Top},
        {"at the top reach", DropAt(600, 50 + 67), Floats},
        {"on the bottom edge", DropAt(600, 799), Bottom},
        {"one pixel inside the bottom reach", DropAt(600, 799 - 66), Bottom},
        {"at the bottom reach", DropAt(600, 799 - 67), Floats},
        {"one pixel inside the left reach", DropAt(100 + 60, 400), Left},
        {"at the left reach", DropAt(100 + 61, 400), Floats},
        {"on the right edge", DropAt(1099, 400), Right},
        {"in the middle", DropAt(600, 400), Floats},
        {"top-left corner, nearer the left", DropAt(105, 60), Left},
        {"top-left corner, nearer the top", DropAt(110, 55), Top},
        {"a tie of top and left goes to the top", DropAt(110, 60), Top},
        {"a tie of bottom and right goes to the bottom", DropAt(1089, 789), Bottom},
        {"the top not allowed", DropAt(600, 52, CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT), Floats},
        {"the nearer left not allowed", DropAt(105, 60, CBRS_ALIGN_TOP), Top},
        {"Ctrl held at an edge", DropAt(600, 52, CBRS_ALIGN_ANY, true), Floats},
        {"just above the client area", DropAt(600, 49), Floats},
        {"just right of it", DropAt(1100, 400), Floats},
    };
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<int>(c.side), static_cast<int>(DockTargetFor(c.drop).side)) << c.what;
}

TEST(DockTarget, TheOutlineShowsTheBarsPlaceOrTheFloatingWindowKeptWithinTheFrame)
{
    // A monitor left of and above the primary one.
    DockDrop beyond = DropAt(-1275, -500);
    beyond.dockArea = {-1280, -1024, -256, -40};
    beyond.keepWithin = {-1283, -1043, -253, -37};
    DockDrop bottomThere = beyond;
    bottomThere.at = {-700, -45};
    DockDrop middleThere = beyond;
    middleThere.at = {-700, -500};
    const struct {
        const char* what;
        DockDrop drop;
        DockSide side;
        DockRect rect;
    } cases[] = {
        {"top", DropAt(600, 60), Top, {100, 50, 1100, 117}},
        {"bottom", DropAt(600, 790), Bottom, {100, 733, 1100, 800}},
        {"left", DropAt(110, 400), Left, {100, 50, 161, 800}},
        {"right", DropAt(1090, 400), Right, {1039, 50, 1100, 800}},
        {"floating, hanging from the pointer", DropAt(300, 400), Floats, {290, 390, 1090, 480}},
        {"floating, pushed back from the right", DropAt(600, 400), Floats, {303, 390, 1103, 480}},
        {"floating above the frame, pushed down", DropAt(300, 20), Floats, {290, 31, 1090, 121}},
        {"left on a monitor left of and above", beyond, Left, {-1280, -1024, -1219, -40}},
        {"bottom there", bottomThere, Bottom, {-1280, -107, -256, -40}},
        {"floating there", middleThere, Floats, {-1053, -510, -253, -420}},
    };
    for (const auto& c : cases) {
        const DockTarget target = DockTargetFor(c.drop);
        EXPECT_EQ(static_cast<int>(c.side), static_cast<int>(target.side)) << c.what;
        EXPECT_EQ(c.rect, target.rect) << c.what;
    }
}

TEST(DockPlaces, KeptWithinMovesRightAndBottomInFirstSoTheTopLeftCornerStaysInside)
{
    const DockRect within = {-100, -50, 300, 250};
    const struct {
        DockRect rc, kept;
    } cases[] = {
        {{0, 0, 100, 50}, {0, 0, 100, 50}},
        {{250, 240, 350, 290}, {200, 200, 300, 250}},
        {{-150, -80, -50, -30}, {-100, -50, 0, 0}},
        {{-200, 0, 400, 50}, {-100, 0, 500, 50}},      // wider than its bounds
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.kept, KeptWithin(c.rc, within)) << c.rc;
}

TEST(DockPlaces, ADockedBarTakesItsEdgeOfTheVisibleAreaAndTheViewTheRest)
{
    // A maximised frame's client area reaches 3 pixels beyond the screen
    // at the left, right and bottom.
    const DockRect client = {0, 0, 1030, 755}, visible = {3, 0, 1027, 752};
    const struct {
        DockSide side;
        long thickness;
        DockRect bar, rest;
    } cases[] = {
        {Top, 67, {3, 0, 1027, 67}, {0, 67, 1030, 755}},
        {Bottom, 67, {3, 685, 1027, 752}, {0, 0, 1030, 685}},
        {Left, 122, {3, 0, 125, 752}, {125, 0, 1030, 755}},
        {Right, 122, {905, 0, 1027, 752}, {0, 0, 905, 755}},
        {Top, 900, {3, 0, 1027, 900}, {0, 755, 1030, 755}},      // never less than nothing
    };
    for (const auto& c : cases) {
        DockRect rest = client;
        EXPECT_EQ(c.bar, TakeEdge(&rest, visible, c.side, c.thickness)) << static_cast<int>(c.side);
        EXPECT_EQ(c.rest, rest) << static_cast<int>(c.side);
    }
    // The visible part of that client area, on the screen.
    EXPECT_EQ((DockRect{0, 16, 1024, 768}), Intersection({-3, 16, 1027, 771}, {0, 0, 1024, 768}));
}

TEST(DockPlaces, ABarFloatsWhereItFloatedLastWhereverThatWasElseNearItsDockedPlace)
{
    EXPECT_EQ(-900, FloatingOrigin(true, {-900, -300}, {0, 16}).x);
    EXPECT_EQ(-300, FloatingOrigin(true, {-900, -300}, {0, 16}).y);
    EXPECT_EQ(40, FloatingOrigin(false, {-900, -300}, {0, 16}).x);
    EXPECT_EQ(56, FloatingOrigin(false, {-900, -300}, {0, 16}).y);
}

// The toolbar's 18 slots: 13 buttons of 57 x 63 in groups of 2, 3, 2, 1,
// 3 and 2 between 5 separators 8 pixels high.
const std::vector<bool> kSlots = {false, false, true,  false, false, false, true,  false, false,
                                  true,  false, true,  false, false, false, true,  false, false};

TEST(ColumnWrap, AColumnTallerThanItsEdgeWrapsIntoAsFewColumnsAsFit)
{
    const struct {
        long available;
        int columns;
        DockSize extent;
    } cases[] = {
        {900, 1, {57, 859}},
        {859, 1, {57, 859}},
        {858, 2, {114, 544}},       // 1024 x 768: 740 pixels
        {544, 2, {114, 544}},       // 800 x 600: about 560
        {543, 3, {171, 418}},
        {100, 3, {171, 418}},       // nothing fits: the fewest rows
    };
    for (const auto& c : cases) {
        const ColumnLayout layout = WrapColumn(kSlots, {57, 63}, 8, c.available);
        EXPECT_EQ(c.columns, layout.columns) << c.available;
        EXPECT_EQ(c.extent.cx, layout.extent.cx) << c.available;
        EXPECT_EQ(c.extent.cy, layout.extent.cy) << c.available;
    }
}

TEST(ColumnWrap, ARowEndsAtItsLastButtonBeforeASeparatorAndAfterEverySeparator)
{
    const std::vector<bool> one(kSlots.size(), true);
    EXPECT_EQ(one, WrapColumn(kSlots, {57, 63}, 8, 900).wrapAfter);
    const std::vector<bool> two = {false, true,  true, false, true, true, true,  false, true,
                                   true,  true,  true, false, true, true, true,  false, true};
    EXPECT_EQ(two, WrapColumn(kSlots, {57, 63}, 8, 740).wrapAfter);
}

}  // namespace
