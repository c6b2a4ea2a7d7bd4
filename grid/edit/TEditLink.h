#pragma once
// A custom cell editor plugged into the string grid (edCustom cells): the
// link makes, places, shows and reads its own edit control; the grid calls
// its operations in a fixed order when an edit starts (see
// TExtStringGrid::ShowEditorControl) and reads the value back when it ends.
//
// The popup form of an esPopup link belongs to the link: the grid makes one
// when an edit starts and frees it whenever the edit ends, however it ends,
// so a link never holds more than one.
//
// The link watches its edit control: a key that ends editing (Tab, Enter,
// Esc, Page Up/Down, End, the arrows; each may be kept by its WantKey...
// flag) closes the edit, Esc without storing, Up and Down then move the
// grid's current cell; losing the focus elsewhere closes the edit too,
// storing the value.

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/kernel/VirtualKeys.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class QWidget;
class TExtStringGrid;

enum TEditStyle { esInplace, esPopup };

class TEditLink : public QObject {
public:
    explicit TEditLink(QObject* owner = nullptr);
    ~TEditLink() override;

    TEditStyle EditStyle = esInplace;
    int PopupWidth = 0;
    int PopupHeight = 0;
    bool AutoPopupWidth = false;
    bool WantKeyLeftRight = false;
    bool WantKeyUpDown = false;
    bool WantKeyHomeEnd = false;
    bool WantKeyPriorNext = false;
    bool WantKeyReturn = false;
    bool WantKeyEscape = false;
    int Tag = 0;

    // Written by the grid when an edit starts.
    // (Forgotten when the grid goes.)
    TExtStringGrid* Grid() const;
    void SetGrid(TExtStringGrid* grid);
    TPoint EditCell() const { return m_editCell; }
    void SetEditCell(TPoint cell) { m_editCell = cell; }
    // The popup form of the edit in progress (esPopup), or nullptr.
    QWidget* PopupForm() const { return m_popup.get(); }
    // Takes a new popup form, freeing a former one.
    void SetPopupForm(std::unique_ptr<QWidget> form);
    // Frees the popup form (after the editor went from it).
    void FreePopupForm();

    // Set while an edit is ended by a key.
    bool EndingByKey() const { return m_endingByKey; }
    // Whether key (a virtual key) ends editing rather than staying in the
    // editor.
    bool KeyEndsEdit(int key) const;
    // A key pressed in the edit control: when it ends editing the grid
    // takes the focus and closes the edit (Esc restores the cell's text),
    // Up and Down go on to the grid's keys; key is 0 when consumed.
    virtual void EditKeyHandler(int& key, TShiftState shift);
    // The edit control lost the focus outside the link: the edit closes,
    // storing the value (later, once the control's event is over).
    virtual void EditExit();
    // Called by the grid once the edit control exists: the link watches it.
    void WatchEditControl();

    // ----- The editor's operations, in the order the grid calls them
    // The link's window control (nullptr in the base).
    virtual QWidget* EditControl() { return nullptr; }
    virtual void CreateEditor(QWidget* parent);
    virtual void DestroyEditor();
    virtual void PlaceEditor(const TRect& rect);
    virtual void ShowEditor(bool visible);
    virtual void ApplyColors(TColor color, const TFont& font);
    virtual void SetProperties() { }
    virtual void FocusEditor(bool focus);
    virtual QString GetEditorValue() { return QString(); }
    virtual void SetEditorValue(const QString&) { }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<TExtStringGrid> m_grid;
    QPointer<QWidget> m_watched; // the edit control of the edit in progress
    bool m_endingByKey = false;
    int m_editSerial = 0; // counts edits, so a late close hits only its own
    TPoint m_editCell;
    std::unique_ptr<QWidget> m_popup;
};
