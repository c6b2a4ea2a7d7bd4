#pragma once
// The small types of the class library's grids: cell coordinates and cell
// rectangles, the options set, the drawing state of a cell and the grid's
// error.

#include "platform/core/Exception.h"
#include "platform/core/Set.h"

enum class TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking
};
using TGridOptions = TSet<TGridOption>;

enum class TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
// What a press or the pointer is doing to the grid.
enum class TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };
using TGridDrawState = TSet<TGridDrawStateItem>;

struct TGridCoord {
    int X = 0;
    int Y = 0;
    constexpr TGridCoord() = default;
    constexpr TGridCoord(int x, int y) : X(x), Y(y) { }
    constexpr bool operator==(const TGridCoord&) const = default;
};

// A block of cells, both corners included.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr TGridRect() = default;
    constexpr TGridRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) { }
    constexpr bool operator==(const TGridRect&) const = default;
    constexpr bool Contains(int col, int row) const
    {
        return col >= Left && col <= Right && row >= Top && row <= Bottom;
    }
};

class EInvalidGridOperation : public Exception {
public:
    using Exception::Exception;
};
