#pragma once
// The grid's combo box painted flat: a thin border that blends with the
// parent until the mouse is over the control or it holds the focus, and a
// drop-down button drawn as a flat scroll arrow inside a raised or etched
// edge, or through the visual style when the grid's flag says so. Disabled,
// a flat combo takes its parent's colour and gets its own back when enabled.
// Its items are a TWideStrings.

#include "controls/ComboBoxStrings.h"
#include "platform/widgets/CustomComboBox.h"

class TESGCustomCombo : public TCustomComboBox {
public:
    explicit TESGCustomCombo(QWidget* parent, const QString& name = QString());
    ~TESGCustomCombo() override;

    TWideStrings& Items() { return m_items; }
    const TWideStrings& Items() const { return m_items; }
    void SetItems(const TWideStrings& items) { m_items.Assign(items); }

    bool AutoFocus() const { return m_autoFocus; }
    void SetAutoFocus(bool value) { m_autoFocus = value; }
    // Also sets Ctl3D to the opposite.
    bool Flat() const { return m_flat; }
    void SetFlat(bool value);
    bool Etched() const { return m_etched; }
    void SetEtched(bool value);
    bool FocusBorder() const { return m_focusBorder; }
    void SetFocusBorder(bool value);
    // 14 to 32; other values are ignored.
    int ButtonWidth() const { return m_buttonWidth; }
    void SetButtonWidth(int value);
    // The dropped list's width when above 0 (else the control's).
    int DropWidth() const { return m_dropWidth; }
    void SetDropWidth(int value);
    // The grid's visual-style flag: the button is drawn through the style.
    bool ButtonStyleFlag() const { return m_styleFlag; }
    void SetButtonStyleFlag(bool value);

    bool MouseInControl() const { return m_mouseInControl; }
    // The mouse is over the control, or it holds the focus.
    bool Active() const;
    // Active with FocusBorder: the border is sunken.
    bool Highlighted() const;

    // Paints the flat look (what the paint message does while Flat).
    void PaintFlat(TCanvas& canvas);

protected:
    TComboBoxStrings& ComboItems() { return m_items; }
    const TComboBoxStrings& ComboItems() const { return m_items; }
    // Draws the chosen item in the field of a list-only combo (flat look);
    // field is the field's rectangle.
    virtual void DrawField(TCanvas& canvas, const TRect& field);

    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void DoEnter() override;
    void DoExit() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void EnabledChanged() override;
    void Resize() override;
    void FontChanged() override;
    void DropDown() override;
    void CloseUp() override;

private:
    void RedrawBorders(TCanvas& canvas);
    void PaintButton(TCanvas& canvas);
    void PlaceEditField();

    TComboBoxStrings m_items;
    bool m_autoFocus = false;
    bool m_flat = true;
    bool m_etched = false;
    bool m_focusBorder = false;
    int m_buttonWidth = 0;
    int m_dropWidth = 0;
    bool m_styleFlag = false;
    bool m_mouseInControl = false;
    TColor m_savedColor = clWindow;
    bool m_savedParentColor = false;
    bool m_lastEnabled = true;
};
