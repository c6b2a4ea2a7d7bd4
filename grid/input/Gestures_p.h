#pragma once
// The left button's gestures. A press picks one (Picker, which asks them
// in a fixed order); the gesture keeps what it needs of the press, takes
// the moves and the release, and ends. Press is the plain click, which the
// grid's own selecting, sizing and moving run under; the others are built
// on it and change the steps of its move and release they concern.

#include "grid/TExtStringGrid.h"
#include "grid/TExtStringGrid_p.h"
#include "grid/input/TGridGesture_p.h"

#include <QCursor>
#include <QString>
#include <memory>

struct TExtStringGrid::Gestures {
    // Pixels from a cell's border that count as the border: the hover's
    // cursors and what a press starts agree on it.
    static constexpr int kBorderMargin = 4;

    class Press;
    class FillHandle;
    class FixedColSizing;
    class DragStart;
    class ButtonCell;
    class HtmlButton;
    class HeaderSelect;
    class Sizing;
    class RowColMove;
    class Picker;
    class Hover;
};

// A click: the press went to the grid's own handling (current cell, range
// selection) or was taken whole by the cell it hit.
class TExtStringGrid::Gestures::Press : public TGridGesture {
public:
    explicit Press(TExtStringGrid& grid) : g(grid) { }
    void Move(TShiftState shift, int x, int y) override;
    void Release(TShiftState shift, int x, int y) override;
    // What every move does, a button held or not: the hint of the cell left
    // behind goes, the grid's own move runs, a selection rectangle repaints.
    static void FollowPointer(TExtStringGrid& grid, TShiftState shift, int col, int row, int x, int y);

    // A Ctrl-click on a marked row (column) unmarks it at the release.
    int unmarkRow = -1;
    int unmarkCol = -1;

protected:
    // The gesture's own step of a move, before the grid's; false: the move
    // ends here.
    virtual bool Track(int /*col*/, int /*row*/, int /*x*/, int /*y*/) { return true; }
    // The live size hint after the move; empty: none.
    virtual QString SizeText(int /*x*/, int /*y*/) const { return {}; }
    // True when the release ends a sizing (no click, no sort); a sizing of
    // the gesture's own ends here.
    virtual bool EndsSizing(int /*x*/) { return false; }
    // After the release's click, with the cell under the pointer.
    virtual void Clicked(int /*col*/, int /*row*/) { }
    // Just before and after the grid's own release.
    virtual void BeforeGridUp(int /*x*/, int /*y*/) { }
    virtual void AfterGridUp(TShiftState shift, int x, int y);

    // The disjunct cell selection follows the click.
    void PickCell(TShiftState shift, int x, int y);
    // The marks of a row or column move go, and the cursor they showed.
    void EndMoveMarks();
    TGridInputState& In() const { return g.d->input; }

    TExtStringGrid& g;

private:
    void MarkSelection();
    void ReleaseEvents(int col, int row);
    void SortClick(TShiftState shift, int col, int row, int x);
};

// The selection resizer: the selection was copied; the drag grows it and
// the release fills it from the copy.
class TExtStringGrid::Gestures::FillHandle : public Press {
public:
    FillHandle(TExtStringGrid& grid, const TGridRect& source) : Press(grid), m_source(source) { }

protected:
    void AfterGridUp(TShiftState shift, int x, int y) override;

private:
    TGridRect m_source; // the selection the resizer was taken from
};

// The fixed column sized by dragging its border over the body rows.
class TExtStringGrid::Gestures::FixedColSizing : public Press {
public:
    FixedColSizing(TExtStringGrid& grid, int x) : Press(grid), m_x(x) { }
    void Cancel() override;

protected:
    bool Track(int col, int row, int x, int y) override;
    QString SizeText(int x, int y) const override;
    bool EndsSizing(int x) override;

private:
    // The line and the size hint go.
    void EndLine();
    int m_x; // the sizing line
};

// A press on a selected cell: the OLE drag starts once the pointer left the
// press point; refused, the gesture selects a range; never started, the
// release selects the cell.
class TExtStringGrid::Gestures::DragStart : public Press {
public:
    using Press::Press;

protected:
    bool Track(int col, int row, int x, int y) override;
    void Clicked(int col, int row) override;

private:
    bool m_armed = true;
};

// A button cell, pressed until the release when the press hit its button.
class TExtStringGrid::Gestures::ButtonCell : public Press {
public:
    ButtonCell(TExtStringGrid& grid, int col, int row) : Press(grid), m_col(col), m_row(row) { }
    void Release(TShiftState shift, int x, int y) override;
    void Cancel() override;

private:
    void LetGo();
    int m_col; // display column
    int m_row;
};

// An embedded "BUTTON" of an HTML cell, drawn pressed until the release or
// until the grid loses the focus.
class TExtStringGrid::Gestures::HtmlButton : public Press {
public:
    HtmlButton(TExtStringGrid& grid, int col, int row);
    void Release(TShiftState shift, int x, int y) override;
    void Cancel() override { LetGo(); }
    void FocusLost() override;

private:
    void LetGo();
    int m_col;
    int m_row;
    bool m_down = true;
};

// Whole rows or columns selected from their headers: the selection runs
// from the anchor to the row (column) under the pointer.
class TExtStringGrid::Gestures::HeaderSelect : public Press {
public:
    HeaderSelect(TExtStringGrid& grid, bool rows, int anchor) : Press(grid), m_rows(rows), m_anchor(anchor) { }

protected:
    bool Track(int col, int row, int x, int y) override;

private:
    bool m_rows;
    int m_anchor;
};

// A column (row) sized at its border by the grid's own sizing, its sizing
// event asked at the press. The end-of-sizing steps run once, at the
// release, when the width (height) is set: the grid sets a column's width
// there, while a row follows the pointer and ends at the height it has.
// Released outside the control, none run.
class TExtStringGrid::Gestures::Sizing : public Press {
public:
    Sizing(TExtStringGrid& grid, bool column, int index, int size)
        : Press(grid), m_column(column), m_index(index), m_size(size)
    { }
    // The width (height) the release set: the other columns (rows) follow
    // with AllColumnSize (AllRowSize), then the end-of-sizing event.
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;

protected:
    QString SizeText(int x, int y) const override;
    bool EndsSizing(int x) override;
    void BeforeGridUp(int x, int y) override;
    void AfterGridUp(TShiftState shift, int x, int y) override;

private:
    bool m_column;
    int m_index;
    int m_size;              // at the press
    bool m_pending = true;   // the end-of-sizing steps have not run
    bool m_released = false; // the release has begun: the sizing ends
};

// An enhanced row or column move by the grid's own moving: arrows mark the
// gap before the target, an image of the moved header follows the pointer,
// and the view scrolls past the fixed part or the edge.
class TExtStringGrid::Gestures::RowColMove : public Press {
public:
    using Press::Press;
    const QCursor* Cursor() const override { return m_shown ? &m_cursor : nullptr; }
    void Cancel() override { EndMoveMarks(); }
    int TargetCol() const override { return m_targetCol; }
    int TargetRow() const override { return m_targetRow; }

protected:
    bool Track(int col, int row, int x, int y) override;
    // The grid's own release ends the move; the press is held through it.
    void BeforeGridUp(int x, int y) override;
    void AfterGridUp(TShiftState shift, int x, int y) override;

private:
    void AutoScroll(bool column, int x, int y);
    void MarkColumnGap(int moving, int x);
    void MarkRowGap(int moving, int y);
    void ShowImage(bool column, int moving, int x, int y);
    int m_targetCol = -1;
    int m_targetRow = -1;
    bool m_shown = false;
    QCursor m_cursor{Qt::DragMoveCursor};
};

// What a left press at a point starts, tried in order; each step either
// takes the press (the gesture it starts) or leaves it to the next.
class TExtStringGrid::Gestures::Picker {
public:
    Picker(TExtStringGrid& grid, TShiftState shift, int x, int y) : g(grid), m_shift(shift), m_x(x), m_y(y) { }
    // Ends the gesture still running and starts the one the press picks.
    void Pick();

private:
    // What the pointer hit in a cell's text: the anchor, or an embedded
    // control (its ID, type, value and place).
    struct LinkHit {
        QString anchor;
        QString id, type, value;
        TRect rect;
    };
    using Step = std::shared_ptr<TGridGesture> (Picker::*)();
    template <class G, class... Args>
    std::shared_ptr<TGridGesture> Start(Args&&... args);
    std::shared_ptr<TGridGesture> OnFillHandle();
    std::shared_ptr<TGridGesture> OnFixedColBorder();
    std::shared_ptr<TGridGesture> OutsideCells();
    std::shared_ptr<TGridGesture> OnNode();
    std::shared_ptr<TGridGesture> OnRadio();
    std::shared_ptr<TGridGesture> ArmsDrag();
    std::shared_ptr<TGridGesture> OnButtonCell();
    std::shared_ptr<TGridGesture> OnLink();
    std::shared_ptr<TGridGesture> OnHeader();
    std::shared_ptr<TGridGesture> OnCheckBox();
    std::shared_ptr<TGridGesture> OnFixedLookCell();
    std::shared_ptr<TGridGesture> GridPress();
    std::shared_ptr<TGridGesture> DisjunctMarks();
    std::shared_ptr<TGridGesture> DirectEditFocus();
    void TakeBaseCell();
    bool HitLink(const QString& text, bool html, LinkHit& hit);
    std::shared_ptr<TGridGesture> ControlClick(const QString& text, LinkHit& hit);
    std::shared_ptr<TGridGesture> AnchorClick(const QString& anchor);
    std::shared_ptr<TGridGesture> VetoSizing();
    std::shared_ptr<TGridGesture> AskSizing(bool column, int index);
    bool VetoMove();
    void AfterGridPress(bool inSelection);

    TExtStringGrid& g;
    TShiftState m_shift;
    int m_x, m_y;
    int m_col = -1, m_row = -1, m_realCol = -1; // the cell hit (its base cell)
    TRect m_cellRect;
    bool m_fixedArea = false; // in the fixed rows or columns
    bool m_fixed = false;     // or a cell the grid declares fixed
    bool m_canEdit = false;
    int m_unmarkRow = -1, m_unmarkCol = -1;
    int m_sizing = 0;      // the sizing the press starts: 1 column, 2 row
    bool m_vetoed = false; // its event refused a sizing
};

// The pointer moving with no button held: the cursor state that decides
// what a press starts, the cursors of links and borders, the anchor events.
class TExtStringGrid::Gestures::Hover {
public:
    static void Move(TExtStringGrid& grid, int col, int row, int x, int y);

private:
    static bool OnResizer(TExtStringGrid& grid, int x, int y);
    static int CursorStateAt(TExtStringGrid& grid, int col, int row, int x, int y);
    static bool LinkAt(TExtStringGrid& grid, int col, int row, int x, int y);
    static void ShowCursor(TExtStringGrid& grid, bool link, int x, int y);
};
