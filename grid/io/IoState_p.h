#pragma once
// State of the clipboard, the cell stream and the imports.

#include "platform/graphics/Geometry.h"

#include <QChar>
#include <QtGlobal>

struct TGridIoState {
    // Tells this grid's own cell streams from others' (never 0 once set).
    qint32 streamId = 0;
    // The block of the last stream read.
    int lastBlockCols = 0;
    int lastBlockRows = 0;
    qint64 lastBlockId = 0;
    // Top-left of the last copy, and whether the last clipboard action was
    // a copy rather than a cut.
    TPoint copyOrigin{-1, -1};
    bool lastWasCopy = false;
    // Columns and rows of the last paste (the smart fill repeats them).
    int lastPasteCols = 0;
    int lastPasteRows = 0;
    // Delimiter of the delimited import; the null character: detected.
    QChar delimiter;
    bool oemConvert = false;
};
