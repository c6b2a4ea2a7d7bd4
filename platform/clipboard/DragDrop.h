#pragma once
// The small types and entry points of drag and drop:
// - the formats: plain text, "Rich Text Format", "Grid Column" (one 32-bit
//   column index) and file lists, each with the mime type it travels as;
// - the drop effect of a drag (copy with Ctrl held, else move);
// - the unit-wide flag that lets rich text be offered and accepted;
// - starting a drag of texts or of a grid column.
//
// Data from other programs is hostile: every reader here takes the length
// of what it got and never reads past it (see TEnumFormats).

#include <QString>

class QObject;
class TESGDropSource;

enum class TDropEffect { None = 0, Copy = 1, Move = 2 };
enum class TDragResult { Drop, Cancel };

// The kinds of data a drag carries.
struct TDropKinds {
    bool Text = false;
    bool Files = false;
    bool Column = false;
    bool RTF = false;
    bool operator==(const TDropKinds&) const = default;
};

namespace DragFormats {
// The mime types the formats travel as.
QString Text();   // "text/plain"
QString RTF();    // "text/rtf" (the platform's "Rich Text Format")
QString Column(); // the grid column format
QString Files();  // "text/uri-list"
} // namespace DragFormats

// Copy while Ctrl is held, else move.
TDropEffect DropEffectFromKeys(bool ctrlDown);

// Whether rich text is offered by drags and taken by drops (false at
// start; the grid's DragDropSettings.OleDropRTF sets it).
bool DropFormatFlag();
void SetDropFormatFlag(bool value);

// Drags the texts (rich text offered only with the flag) from dragSource,
// a widget, with the effects allowed (None: copy or move). Cancel when the
// source last showed "no drop" or the drag was abandoned; effect is the
// effect of the drop.
TDragResult StartTextDragDrop(TESGDropSource& source, QObject* dragSource, const QString& text, const QString& rtf,
                              TDropEffect allowed, TDropEffect& effect);
// The same for a column index in the grid column format.
TDragResult StartColumnDragDrop(TESGDropSource& source, QObject* dragSource, int column, TDropEffect allowed,
                                TDropEffect& effect);
