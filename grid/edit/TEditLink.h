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
// Seam: the key decision and the finishing of an edit ended by a key are
// the column grid's editor bases; the base here ends no edit by itself.

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

#include <QObject>
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
    TExtStringGrid* Grid() const { return m_grid; }
    void SetGrid(TExtStringGrid* grid) { m_grid = grid; }
    TPoint EditCell() const { return m_editCell; }
    void SetEditCell(TPoint cell) { m_editCell = cell; }
    // The popup form of the edit in progress (esPopup), or nullptr.
    QWidget* PopupForm() const { return m_popup.get(); }
    // Takes a new popup form, freeing a former one.
    void SetPopupForm(std::unique_ptr<QWidget> form);
    // Frees the popup form (after the editor went from it).
    void FreePopupForm();

    // ----- The editor's operations, in the order the grid calls them
    // The link's window control (nullptr in the base).
    virtual QWidget* EditControl() { return nullptr; }
    virtual void CreateEditor(QWidget* parent);
    virtual void DestroyEditor();
    virtual void PlaceEditor(const TRect& rect);
    virtual void ShowEditor(bool visible);
    virtual void ApplyColors(TColor color, const TFont& font);
    virtual void SetProperties() {}
    virtual void FocusEditor(bool focus);
    virtual QString GetEditorValue() { return QString(); }
    virtual void SetEditorValue(const QString&) {}

private:
    TExtStringGrid* m_grid = nullptr;
    TPoint m_editCell;
    std::unique_ptr<QWidget> m_popup;
};
