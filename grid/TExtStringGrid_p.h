#pragma once
// Private state of TExtStringGrid, one record per room; each room keeps
// its record in its own header.

#include "controls/HTMLPicture.h"
#include "platform/graphics/ImageList.h"
#include "grid/GridSettings.h"
#include "grid/cells/CellsState_p.h"
#include "grid/draw/DrawState_p.h"
#include "grid/edit/EditState_p.h"
#include "grid/footer/FooterState_p.h"
#include "grid/dnd/DndState_p.h"
#include "grid/hidden/HiddenState_p.h"
#include "grid/input/InputState_p.h"
#include "grid/io/IoState_p.h"
#include "grid/scroll/ScrollState_p.h"
#include "grid/size/SizeState_p.h"
#include "grid/sort/SortState_p.h"
#include "grid/typed/TypedState_p.h"

#include <QPointer>
#include <memory>

struct TExtStringGridPrivate {
    // ----- Settings objects and published values
    TCellNode cellNode;
    TSizeWhileTyping sizeWhileTyping;
    TMouseActions mouseActions;
    TColumnSize columnSize;
    TNavigation navigation;
    THTMLSettings htmlSettings;
    TPrintSettings printSettings;
    TSortSettings sortSettings;
    TDragDropSettings dragDropSettings;
    TControlLook controlLook;
    TBands bands;
    TBackGround backGround;
    TFloatingFooter floatingFooter;
    TFilter filter;
    TFont fixedFont;
    TFont activeCellFont;
    TColor activeCellColor = clGray;
    bool activeCellShow = false;
    TColor selectionColor = clHighlight;
    TColor selectionTextColor = clHighlightText;
    bool showSelection = true;
    bool hideFocusRect = false;
    bool selectionRectangle = false;
    bool selectionResizer = false;
    bool selectionRTFKeep = false;
    TColor urlColor = clBlue;
    bool urlShow = false;
    bool urlFull = false;
    TColor hintColor = clInfoBk;
    bool enableHTML = true;
    bool enableWheel = true;
    bool intelliZoom = true;
    TVAlignment vAlignment = vtaTop;
    bool wordWrap = false;
    bool multilineCells = false;
    bool enhTextSize = false;
    bool autoNumAlign = false;
    bool autoSize = false;
    QString floatFormat = QStringLiteral("%.2f");
    TGridLook look = glSoft;
    bool flat = false;
    int fixedRightCols = 0;
    int fixedFooters = 0;
    bool fixedRowAlways = false;
    bool fixedColAlways = false;
    std::unique_ptr<TBitmap> rowIndicator;
    // Forgotten when the list goes first.
    TWatchedImageList gridImages;
    // Cleared when the container goes first.
    QPointer<TPictureContainer> pictureContainer;
    QString checkTrue = QStringLiteral("Y");
    QString checkFalse = QStringLiteral("N");
    bool editWithTags = false;
    int updateCount = 0;
    // The window was shown once (CreateWnd ran).
    bool windowCreated = false;

    // ----- Rooms
    TGridCellsState cells;
    TGridDrawState_p draw;
    TGridEditState edit;
    TGridHiddenState hidden;
    TGridInputState input;
    TGridScrollState scroll;
    TGridSizeState size;
    TGridTypedState typed;
    TGridSortState sort;
    TGridFooterState footer;
    TGridIoState io;
    TGridDndState dnd;
};

// BeginUpdate for a scope; the count comes back also when an error passes.
class TUpdateScope {
public:
    explicit TUpdateScope(TExtStringGrid& grid) : m_grid(grid) { m_grid.BeginUpdate(); }
    ~TUpdateScope() { m_grid.EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TExtStringGrid& m_grid;
};
