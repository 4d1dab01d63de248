// Where a dragged bar lands, where a docked bar stands, where a floating
// window may stand and how a column too tall for its edge wraps, as tables
// without any window.
#include <gtest/gtest.h>

#include <vector>

#include "framework/DockGeometry.h"

bool operator==(const DockRect& a, const DockRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace {

const DockSide Top = DockSide::Top, Bottom = DockSide::Bottom, Left = DockSide::Left, Right = DockSide::Right,
               Floats = DockSide::Floating;
const DockRect kAny = {0, 0, 0, 0};     // a row that names no rectangle

// A dock area of 1000 x 750 from (100, 50), a bar 67 pixels high in a row
// and 61 wide in a column, and a floating window of 800 x 90 held 10
// pixels into its corner and kept within the frame's window.
DockDrop DropAt(long x, long y, unsigned long sides = CBRS_ALIGN_ANY, bool ctrl = false)
{
    return DockDrop{{x, y}, {100, 50, 1100, 800}, 67, 61, sides, ctrl, {800, 90}, {10, 10}, {97, 31, 1103, 803}};
}

// The same frame on a monitor left of and above the primary one.
DockDrop BeyondAt(long x, long y)
{
    DockDrop drop = DropAt(x, y);
    drop.dockArea = {-1280, -1024, -256, -40};
    drop.keepWithin = {-1283, -1043, -253, -37};
    return drop;
}

TEST(DockTarget, TheNearestAllowedEdgeWithinReachUnlessCtrlIsHeldElseFloatingKeptWithinTheFrame)
{
    const struct {
        const char* what;
        DockDrop drop;
        DockSide side;
        DockRect rect;
    } cases[] = {
        {"near the top", DropAt(600, 60), Top, {100, 50, 1100, 117}},
        {"one pixel inside the top reach", DropAt(600, 50 + 66), Top, kAny},
        {"at the top reach", DropAt(600, 50 + 67), Floats, kAny},
        {"near the bottom", DropAt(600, 790), Bottom, {100, 733, 1100, 800}},
        {"one pixel inside the bottom reach", DropAt(600, 799 - 66), Bottom, kAny},
        {"at the bottom reach", DropAt(600, 799 - 67), Floats, kAny},
        {"near the left", DropAt(110, 400), Left, {100, 50, 161, 800}},
        {"one pixel inside the left reach", DropAt(100 + 60, 400), Left, kAny},
        {"at the left reach", DropAt(100 + 61, 400), Floats, kAny},
        {"near the right", DropAt(1090, 400), Right, {1039, 50, 1100, 800}},
        {"top-left corner, nearer the left", DropAt(105, 60), Left, kAny},
        {"top-left corner, nearer the top", DropAt(110, 55), Top, kAny},
        {"a tie of top and left goes to the top", DropAt(110, 60), Top, kAny},
        {"a tie of bottom and right goes to the bottom", DropAt(1089, 789), Bottom, kAny},
        {"the top not allowed", DropAt(600, 52, CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT), Floats, kAny},
        {"the nearer left not allowed", DropAt(105, 60, CBRS_ALIGN_TOP), Top, kAny},
        {"Ctrl held at an edge", DropAt(600, 52, CBRS_ALIGN_ANY, true), Floats, kAny},
        {"just right of the client area", DropAt(1100, 400), Floats, kAny},
        {"floating from the pointer", DropAt(300, 400), Floats, {290, 390, 1090, 480}},
        {"floating, pushed back from the right", DropAt(600, 400), Floats, {303, 390, 1103, 480}},
        {"floating above the frame, pushed down", DropAt(300, 20), Floats, {290, 31, 1090, 121}},
        {"left on a monitor left of and above", BeyondAt(-1275, -500), Left, {-1280, -1024, -1219, -40}},
        {"bottom there", BeyondAt(-700, -45), Bottom, {-1280, -107, -256, -40}},
        {"floating there", BeyondAt(-700, -500), Floats, {-1053, -510, -253, -420}},
    };
    for (const auto& c : cases) {
        const DockTarget target = DockTargetFor(c.drop);
        EXPECT_EQ(static_cast<int>(c.side), static_cast<int>(target.side)) << c.what;
        EXPECT_TRUE(c.rect == kAny || c.rect == target.rect) << c.what;
    }
}

TEST(DockPlaces, ADockedBarTakesItsEdgeOfTheVisibleAreaAndTheViewTheRest)
{
    // A maximised frame's client area reaches 3 pixels beyond the screen
    // at the left, right and bottom.
    EXPECT_TRUE((DockRect{0, 16, 1024, 768}) == Intersection({-3, 16, 1027, 771}, {0, 0, 1024, 768}));
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
        EXPECT_TRUE(c.bar == TakeEdge(&rest, visible, c.side, c.thickness)) << static_cast<int>(c.side);
        EXPECT_TRUE(c.rest == rest) << static_cast<int>(c.side);
    }
}

TEST(DockPlaces, ABarFloatsWhereItFloatedLastWhereverThatWasElseNearItsDockedPlace)
{
    const DockPoint floated = FloatingOrigin(true, {-900, -300}, {0, 16});
    const DockPoint first = FloatingOrigin(false, {-900, -300}, {0, 16});
    EXPECT_EQ(-900, floated.x);
    EXPECT_EQ(-300, floated.y);
    EXPECT_EQ(40, first.x);
    EXPECT_EQ(56, first.y);
}

TEST(ColumnWrap, AColumnTallerThanItsEdgeWrapsIntoAsFewColumnsAsFit)
{
    // The toolbar's 18 slots: 13 buttons of 57 x 63 in groups of 2, 3, 2,
    // 1, 3 and 2 between 5 separators 8 pixels high.
    const std::vector<bool> slots = {false, false, true,  false, false, false, true,  false, false,
                                     true,  false, true,  false, false, false, true,  false, false};
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
        const ColumnLayout layout = WrapColumn(slots, {57, 63}, 8, c.available);
        EXPECT_EQ(c.columns, layout.columns) << c.available;
        EXPECT_EQ(c.extent.cx, layout.extent.cx) << c.available;
        EXPECT_EQ(c.extent.cy, layout.extent.cy) << c.available;
    }
    // A row ends at its last button before a separator, and after every
    // separator.
    EXPECT_EQ(std::vector<bool>(slots.size(), true), WrapColumn(slots, {57, 63}, 8, 900).wrapAfter);
    const std::vector<bool> two = {false, true, true, false, true, true, true, false, true,
                                   true,  true, true, false, true, true, true, false, true};
    EXPECT_EQ(two, WrapColumn(slots, {57, 63}, 8, 740).wrapAfter);
}

}  // namespace
