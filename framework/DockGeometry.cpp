#include "framework/DockGeometry.h"

#include <algorithm>

namespace {

// A little below and right of the docked place, so that the floating
// window does not hide where the bar stood.
const long kFirstFloatOffset = 40;

bool Contains(const DockRect& rc, DockPoint at)
{
    return at.x >= rc.left && at.x < rc.right && at.y >= rc.top && at.y < rc.bottom;
}

// The rows of a column of slots for a number of columns: the height of
// the layout and its row ends.
long LayOutRows(const std::vector<bool>& separators, int columns, DockSize button, long separatorHeight,
                std::vector<bool>* wrapAfter)
{
    const size_t count = separators.size();
    wrapAfter->assign(count, false);
    long height = 0;
    int inRow = 0;
    for (size_t slot = 0; slot < count; ++slot) {
        if (separators[slot]) {
            (*wrapAfter)[slot] = true;
            height += separatorHeight;
            continue;
        }
        if (inRow == 0)
            height += button.cy;
        ++inRow;
        const bool last = slot + 1 == count;
        if (inRow == columns || last || separators[slot + 1]) {
            (*wrapAfter)[slot] = true;
            inRow = 0;
        }
    }
    return height;
}

// The most buttons that stand between two separators: more columns than
// that shorten no row.
int LongestGroup(const std::vector<bool>& separators)
{
    int longest = 0, group = 0;
    for (bool separator : separators) {
        group = separator ? 0 : group + 1;
        longest = std::max(longest, group);
    }
    return longest;
}

}  // namespace

bool IsVertical(DockSide side)
{
    return side == DockSide::Left || side == DockSide::Right;
}

unsigned long AlignFlagOf(DockSide side)
{
    switch (side) {
    case DockSide::Top: return CBRS_ALIGN_TOP;
    case DockSide::Bottom: return CBRS_ALIGN_BOTTOM;
    case DockSide::Left: return CBRS_ALIGN_LEFT;
    case DockSide::Right: return CBRS_ALIGN_RIGHT;
    case DockSide::Floating: break;
    }
    return 0;
}

DockSide SideOfStyle(unsigned long style)
{
    if (style & CBRS_ALIGN_BOTTOM)
        return DockSide::Bottom;
    if (style & CBRS_ALIGN_LEFT)
        return DockSide::Left;
    if (style & CBRS_ALIGN_RIGHT)
        return DockSide::Right;
    return DockSide::Top;
}

DockRect Intersection(const DockRect& a, const DockRect& b)
{
    DockRect rc = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                   std::min(a.bottom, b.bottom)};
    rc.right = std::max(rc.left, rc.right);
    rc.bottom = std::max(rc.top, rc.bottom);
    return rc;
}

DockTarget DockTargetFor(const DockDrop& drop)
{
    const DockRect& f = drop.dockArea;
    if (!drop.ctrl && Contains(f, drop.at)) {
        const long row = drop.rowThickness, column = drop.columnThickness;
        // In the order that wins a tie.
        const struct {
            DockSide side;
            long distance;
            long reach;
            DockRect rect;
        } edges[] = {
            {DockSide::Top, drop.at.y - f.top, row, {f.left, f.top, f.right, f.top + row}},
            {DockSide::Bottom, f.bottom - 1 - drop.at.y, row, {f.left, f.bottom - row, f.right, f.bottom}},
            {DockSide::Left, drop.at.x - f.left, column, {f.left, f.top, f.left + column, f.bottom}},
            {DockSide::Right, f.right - 1 - drop.at.x, column, {f.right - column, f.top, f.right, f.bottom}},
        };
        DockTarget nearest = {DockSide::Floating, {}};
        long distance = 0;
        for (const auto& edge : edges) {
            if (edge.distance >= edge.reach || (drop.sides & AlignFlagOf(edge.side)) == 0)
                continue;
            if (nearest.side == DockSide::Floating || edge.distance < distance) {
                nearest = {edge.side, edge.rect};
                distance = edge.distance;
            }
        }
        if (nearest.side != DockSide::Floating)
            return nearest;
    }
    const DockPoint topLeft = {drop.at.x - drop.grab.x, drop.at.y - drop.grab.y};
    const DockRect floating = {topLeft.x, topLeft.y, topLeft.x + drop.floatingSize.cx,
                               topLeft.y + drop.floatingSize.cy};
    return DockTarget{DockSide::Floating, KeptWithin(floating, drop.keepWithin)};
}

DockRect KeptWithin(DockRect rc, const DockRect& within)
{
    auto offset = [&rc](long dx, long dy) {
        rc = {rc.left + dx, rc.top + dy, rc.right + dx, rc.bottom + dy};
    };
    offset(rc.right > within.right ? within.right - rc.right : 0, rc.bottom > within.bottom ? within.bottom - rc.bottom : 0);
    offset(rc.left < within.left ? within.left - rc.left : 0, rc.top < within.top ? within.top - rc.top : 0);
    return rc;
}

DockRect TakeEdge(DockRect* client, const DockRect& dockArea, DockSide side, long thickness)
{
    const DockRect& a = dockArea;
    DockRect& rest = *client;
    switch (side) {
    case DockSide::Top:
        rest.top = std::min(rest.bottom, a.top + thickness);
        return {a.left, a.top, a.right, a.top + thickness};
    case DockSide::Bottom:
        rest.bottom = std::max(rest.top, a.bottom - thickness);
        return {a.left, a.bottom - thickness, a.right, a.bottom};
    case DockSide::Left:
        rest.left = std::min(rest.right, a.left + thickness);
        return {a.left, a.top, a.left + thickness, a.bottom};
    case DockSide::Right:
        rest.right = std::max(rest.left, a.right - thickness);
        return {a.right - thickness, a.top, a.right, a.bottom};
    case DockSide::Floating:
        break;
    }
    return {0, 0, 0, 0};
}

DockPoint FloatingOrigin(bool floatedBefore, DockPoint lastFloat, DockPoint docked)
{
    if (floatedBefore)
        return lastFloat;
    return {docked.x + kFirstFloatOffset, docked.y + kFirstFloatOffset};
}

ColumnLayout WrapColumn(const std::vector<bool>& separators, DockSize button, long separatorHeight, long available)
{
    const int most = std::max(1, LongestGroup(separators));
    ColumnLayout layout = {0, {}, {0, 0}};
    for (int columns = 1; columns <= most; ++columns) {
        const long height = LayOutRows(separators, columns, button, separatorHeight, &layout.wrapAfter);
        layout.columns = columns;
        layout.extent = {columns * button.cx, height};
        if (height <= available)
            break;
    }
    return layout;
}
