#pragma once
// The grid's combo box (combo-edit and combo-list cells build on it). It
// keeps its items sorted when Sorted is on, and in the owner-drawn styles
// (csOwnerDrawFixed, csOwnerDrawVariable) its owner draws the items, in the
// list and in the field (in the flat and the plain look), through
// OnDrawItem; in csOwnerDrawVariable
// OnMeasureItem gives each item of the list its height. Without OnDrawItem
// an item is drawn as its text.

#include "controls/ESGCustomCombo.h"

#include <functional>

class QAbstractItemDelegate;

class TESGComboBox : public TESGCustomCombo {
public:
    explicit TESGComboBox(QWidget* parent, const QString& name = QString());
    ~TESGComboBox() override;

    bool Sorted() const;
    void SetSorted(bool value);

    // Draws item Index (-1: none chosen, in the field) in Rect of Canvas();
    // the brush and the font colour are set for State when it is fired.
    std::function<void(QObject* Control, int Index, const TRect& Rect, TOwnerDrawState State)> OnDrawItem;
    // The height of item Index in the list (csOwnerDrawVariable); Height
    // comes in as the list's own item height.
    std::function<void(QObject* Control, int Index, int& Height)> OnMeasureItem;
    // The canvas OnDrawItem draws on; nullptr outside it.
    TCanvas* Canvas() const { return m_canvas; }

    bool OwnerDrawn() const { return Style() == csOwnerDrawFixed || Style() == csOwnerDrawVariable; }
    // Draws an owner-drawn item as the platform asks its owner to.
    void DrawItem(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state);
    // The height of an item of the list, from the list's own height.
    int MeasureItem(int index, int height);

protected:
    void DrawField(TCanvas& canvas, const TRect& field) override;
    // The plain look (not Flat) draws an owner-drawn field through
    // OnDrawItem too, inside the style's own frame and button.
    void paintEvent(QPaintEvent* event) override;

private:
    TCanvas* m_canvas = nullptr;
};
