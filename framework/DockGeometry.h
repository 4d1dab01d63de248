// The arithmetic of docking, on plain numbers: where a dragged bar lands,
// where a docked bar stands along its edge, where a floating window may
// stand, and how a column of buttons too tall for its edge wraps into
// several. No window is involved: the callers measure, these rules decide,
// and they are tested as tables without any window.
#pragma once

#include <vector>

// The edges a bar may dock at, as control-bar style flags.
constexpr unsigned long CBRS_ALIGN_LEFT = 0x1000;
constexpr unsigned long CBRS_ALIGN_TOP = 0x2000;
constexpr unsigned long CBRS_ALIGN_RIGHT = 0x4000;
constexpr unsigned long CBRS_ALIGN_BOTTOM = 0x8000;
constexpr unsigned long CBRS_ALIGN_ANY = 0xF000;

enum class DockSide { Top, Bottom, Left, Right, Floating };

struct DockPoint {
    long x, y;
};
struct DockSize {
    long cx, cy;
};
// Right and bottom are outside, as in the system's rectangles.
struct DockRect {
    long left, top, right, bottom;
};

bool IsVertical(DockSide side);
// The style flag of an edge; 0 for floating.
unsigned long AlignFlagOf(DockSide side);
// The edge a bar's style names (the first of bottom, left, right), else top.
DockSide SideOfStyle(unsigned long style);

// The part of a rectangle that lies within another; empty (right = left,
// bottom = top) when they do not meet.
DockRect Intersection(const DockRect& a, const DockRect& b);

// A drop of a dragged bar as the rule sees it. Points and rectangles are
// on the screen, which may begin left of or above 0 (a monitor left of or
// above the primary one).
struct DockDrop {
    DockPoint at;               // the pointer
    DockRect dockArea;          // the part of the frame's client area a docked bar uses
    long rowThickness;          // the bar's height docked at the top or bottom
    long columnThickness;       // its width docked at the left or right
    unsigned long sides;        // CBRS_ALIGN_ flags of the edges it may dock at
    bool ctrl;                  // held down: float wherever the pointer is
    DockSize floatingSize;      // the floating window's outer size
    DockPoint grab;             // where the pointer holds the floating window
    DockRect keepWithin;        // where a floating window must stay
};
struct DockTarget {
    DockSide side;
    DockRect rect;              // docked: the bar's place; floating: the window's
};

// An edge when the pointer is inside the dock area and nearer to an
// allowed edge than the bar is thick (the nearest edge, and of equal ones
// the first of top, bottom, left, right), unless Ctrl is held; else
// floating with the window hanging from the pointer where it was grabbed,
// kept within its bounds.
DockTarget DockTargetFor(const DockDrop& drop);

// Moves a rectangle into another as far as it fits: its right and bottom
// first, then its left and top, so that a window larger than its bounds
// keeps its caption inside.
DockRect KeptWithin(DockRect rc, const DockRect& within);

// A docked bar's place along its edge of the dock area, thickness across
// the edge and the whole edge long. client, the rest of the frame's client
// area, loses the room the bar takes (never less than nothing).
DockRect TakeEdge(DockRect* client, const DockRect& dockArea, DockSide side, long thickness);

// Where a bar floats when it is not dropped somewhere: where it floated
// last if it ever floated, else a little below and right of where it
// stands docked.
DockPoint FloatingOrigin(bool floatedBefore, DockPoint lastFloat, DockPoint docked);

// A column of slots (buttons and separators, in order) laid out in rows
// of at most `columns` buttons; a separator ends the row before it and
// lies across the column as a thin row of its own.
struct ColumnLayout {
    int columns;
    std::vector<bool> wrapAfter;    // per slot: the row ends after it
    DockSize extent;                // of the buttons and separators
};
// The layout in as few columns as fit within `available` pixels from top
// to bottom, or, when none fits, the one with the fewest rows.
// separators: per slot, true for a separator.
ColumnLayout WrapColumn(const std::vector<bool>& separators, DockSize button, long separatorHeight, long available);
